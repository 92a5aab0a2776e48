// What every parameter dialog shares: the captions of its form translated
// once, its title from the string table, its controls filled from the
// caller's values each time it is shown, its controls reachable by template
// number, and its messages shown through the program's message boxes.
#pragma once

#include "platform/WinTypes.h"

#include <QDialog>

#include <span>

class CParamDialog : public QDialog {
    Q_OBJECT
public:
    // The template numbers of a form's controls and their object names.
    struct CONTROL_NAME {
        int nID;
        const char* pName;
    };

    // Runs the dialog; IDOK when it closed with OK, IDCANCEL otherwise.
    int DoModal();

    // The control with template number nID, or null.
    QWidget* GetDlgItem(int nID) const;
    // The child of pRoot that controls names nID, or null.
    static QWidget* FindControl(const QWidget* pRoot, std::span<const CONTROL_NAME> controls, int nID);

protected:
    CParamDialog(UINT nCaptionID, QWidget* pParent);

    // Each time the dialog is shown: the first time the captions are
    // translated, then the title is set. Derived dialogs fill their
    // controls after calling this.
    virtual BOOL OnInitDialog();
    virtual std::span<const CONTROL_NAME> Controls() const = 0;

    // Message nID of the string table, translated, with OK and nIcon.
    void ShowMessage(UINT nID, UINT nIcon);
    void EnableDlgItem(int nID, bool bEnable);

    void showEvent(QShowEvent* pEvent) override;
    void moveEvent(QMoveEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void done(int nResult) override;

private:
    // Keeps the dialog inside its screen until the window manager's frame is
    // known: placed on an estimated frame, it is placed again on the real one.
    void PlaceOnScreen();

    UINT m_nCaptionID;
    bool m_bTranslated = false;
    bool m_bInitialised = false;
    bool m_bPlacing = false;
};
