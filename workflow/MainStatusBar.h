// The main window's status bar: eight sunken parts, each as wide as its
// text, the last taking what is left; a window too narrow for all of them
// takes the room from the least needed parts first. A row above them
// shows what lies under the pointer, whole even on a laptop's window.
#pragma once

#include "workflow/StatusParts.h"

#include <QWidget>

#include <array>

class QLabel;

constexpr int STATUS_PART_COUNT = 8;

class CMainStatusBar : public QWidget, public IStatusParts {
public:
    CMainStatusBar(QWidget* pParent, double dDisplayScale);

    void SetStatusPart(int nPart, const QString& text) override;
    QString GetStatusPartText(int nPart) const override;
    // Along the bottom of a window of the given client size.
    void Layout(int nWidth, int nWindowHeight);
    // The pixel under the pointer, in the row above the parts; empty while
    // the pointer is off the picture.
    void SetPointerReadout(const QString& text);
    QString GetPointerReadout() const;
    // How many times a part's text was measured (a text's width is dear to find).
    int MeasureCount() const { return m_nMeasured; }

private:
    // The width part nPart needs for its (widest) text.
    int PartNeed(int nPart) const;

    // Whether text could be wider than a text measured to fit: longer, or
    // other than digits changed.
    static bool MayOutgrow(const QString& fitted, const QString& text);

    std::array<QLabel*, STATUS_PART_COUNT> m_Parts{};
    // Per part, the text last measured and found to fit.
    std::array<QString, STATUS_PART_COUNT> m_Fitted;
    QLabel* m_pReadout = nullptr;
    double m_dDisplayScale;
    bool m_bLaidOut = false;
    mutable int m_nMeasured = 0;
};
