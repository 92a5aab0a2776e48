// The main window's status bar: eight sunken parts, each as wide as its
// text, the last taking what is left; a window too narrow for all of them
// takes the room from the least needed parts first.
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

private:
    // The width part nPart needs for its (widest) text.
    int PartNeed(int nPart) const;

    std::array<QLabel*, STATUS_PART_COUNT> m_Parts{};
    double m_dDisplayScale;
    bool m_bLaidOut = false;
};
