#include "app/dialogs/ParamDialog.h"

#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/dialogs/FitToScreen.h"
#include "app/dialogs/KeepAbove.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/TranslateWindow.h"

#include <QShowEvent>

CParamDialog::CParamDialog(UINT nCaptionID, QWidget* pParent) : QDialog(pParent), m_nCaptionID(nCaptionID)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    KeepModalAbove(*this);
}

int CParamDialog::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

QWidget* CParamDialog::GetDlgItem(int nID) const
{
    return FindControl(this, Controls(), nID);
}

QWidget* CParamDialog::FindControl(const QWidget* pRoot, std::span<const CONTROL_NAME> controls, int nID)
{
    for (const CONTROL_NAME& c : controls) {
        if (c.nID == nID) {
            return pRoot->findChild<QWidget*>(QLatin1String(c.pName));
        }
    }
    return nullptr;
}

BOOL CParamDialog::OnInitDialog()
{
    // Translated once: a second pass would look the translations up as keys.
    // Lists that are filled later (font faces, sizes) are not translated.
    if (!m_bTranslated) {
        m_bTranslated = true;
        TranslateChildWindows(this);
    }
    setWindowTitle(GetProgramString(m_nCaptionID));
    return TRUE;
}

void CParamDialog::ShowMessage(UINT nID, UINT nIcon)
{
    AfxMessageBox(nID, MB_OK | nIcon, this);
}

void CParamDialog::EnableDlgItem(int nID, bool bEnable)
{
    if (QWidget* p = GetDlgItem(nID)) {
        p->setEnabled(bEnable);
    }
}

void CParamDialog::showEvent(QShowEvent* pEvent)
{
    // A dialog restored from the task bar keeps what the user typed.
    if (!m_bInitialised && !pEvent->spontaneous()) {
        m_bInitialised = true;
        OnInitDialog();
        FitSizeToScreen(this);
        // Where the dialog lands is known once it is shown.
        m_bPlacing = true;
        QMetaObject::invokeMethod(this, [this] { PlaceOnScreen(); }, Qt::QueuedConnection);
    }
    QDialog::showEvent(pEvent);
}

void CParamDialog::moveEvent(QMoveEvent* pEvent)
{
    QDialog::moveEvent(pEvent);
    if (m_bPlacing) {
        PlaceOnScreen();
    }
}

void CParamDialog::resizeEvent(QResizeEvent* pEvent)
{
    QDialog::resizeEvent(pEvent);
    if (m_bPlacing) {
        PlaceOnScreen();
    }
}

void CParamDialog::PlaceOnScreen()
{
    if (!isVisible()) {
        return;
    }
    MoveIntoScreen(this);
    // Framed, the place is final; the user may move it anywhere from here.
    if (frameGeometry() != geometry()) {
        m_bPlacing = false;
    }
}

void CParamDialog::done(int nResult)
{
    m_bInitialised = false;
    m_bPlacing = false;
    QDialog::done(nResult);
}
