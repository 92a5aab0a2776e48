#include "app/dialogs/EnabledCtrl.h"

#include <algorithm>

CCtrlEnabledCtrl::SAVED_STATE* CCtrlEnabledCtrl::Find(const QWidget* pWnd)
{
    for (SAVED_STATE& s : m_Saved) {
        if (s.pWnd == pWnd) {
            return &s;
        }
    }
    return nullptr;
}

BOOL CCtrlEnabledCtrl::DisableGroup(const Group& group)
{
    // Controls destroyed meanwhile are forgotten.
    std::erase_if(m_Saved, [](const SAVED_STATE& s) { return s.pWnd.isNull(); });
    for (QWidget* pWnd : group) {
        if (pWnd == nullptr) {
            continue;
        }
        if (SAVED_STATE* pSaved = Find(pWnd)) {
            ++pSaved->nHolds;
        } else {
            // isEnabledTo the parent: the control's own state, not one it
            // shows because a parent is disabled.
            const bool bOwn = pWnd->parentWidget() != nullptr ? pWnd->isEnabledTo(pWnd->parentWidget())
                                                               : pWnd->isEnabled();
            m_Saved.push_back({pWnd, bOwn, 1});
        }
        pWnd->setEnabled(false);
    }
    return TRUE;
}

BOOL CCtrlEnabledCtrl::RestoreGroup(const Group& group)
{
    bool bAny = false;
    for (QWidget* pWnd : group) {
        if (pWnd == nullptr) {
            continue;
        }
        SAVED_STATE* pSaved = Find(pWnd);
        if (pSaved == nullptr) {
            continue;
        }
        bAny = true;
        if (--pSaved->nHolds == 0) {
            pWnd->setEnabled(pSaved->bEnabled);
            pSaved->pWnd = nullptr;
        }
    }
    std::erase_if(m_Saved, [](const SAVED_STATE& s) { return s.pWnd.isNull(); });
    return bAny ? TRUE : FALSE;
}

size_t CCtrlEnabledCtrl::GetSavedCount() const
{
    return static_cast<size_t>(
        std::count_if(m_Saved.begin(), m_Saved.end(), [](const SAVED_STATE& s) { return !s.pWnd.isNull(); }));
}

CWndEnabledCtrl::CWndEnabledCtrl(QWidget* pWnd, BOOL bEnable) : m_pWnd(pWnd), m_bEnable(bEnable)
{
    if (m_pWnd != nullptr) {
        m_pWnd->setEnabled(m_bEnable != FALSE);
    }
}

CWndEnabledCtrl::~CWndEnabledCtrl()
{
    if (m_pWnd != nullptr) {
        m_pWnd->setEnabled(m_bEnable == FALSE);
    }
}
