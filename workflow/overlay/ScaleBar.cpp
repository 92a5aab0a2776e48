#include "workflow/overlay/ScaleBar.h"

#include "app/LogFile.h"
#include "app/MainWindowMessages.h"
#include "app/MultiLanguageTranslator.h"
#include "app/SystemSetting.h"
#include "app/dialogs/EnabledCtrl.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/SetScaleDlg.h"
#include "app/dialogs/StatusLine.h"
#include "engine/LayeredWnd.h"
#include "workflow/MainStrings.h"
#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/ToolControls.h"
#include "workflow/toolwnd/ToolStrings.h"

#include <QCheckBox>

#include <algorithm>

namespace {
constexpr int kDefaultCorner = 3;
} // namespace

int CScaleBar::Corner(int nDispScalPos)
{
    return nDispScalPos >= 0 && nDispScalPos <= 3 ? nDispScalPos : kDefaultCorner;
}

void CScaleBar::UncheckPageButton()
{
    CMeasureModeDlg* pTool = m_pTool;
    auto* pCheck = pTool != nullptr ? qobject_cast<QCheckBox*>(pTool->GetDlgItem(IDC_CHECK_SCALE)) : nullptr;
    if (pCheck != nullptr) {
        pCheck->setChecked(false);
        pCheck->setToolTip(GetProgramString(IDS_TIP_SCALE_SHOW));
    }
}

bool CScaleBar::AskScale()
{
    SYSTEM_SETTING& s = m_Setting;
    const int32_t nIndex = std::clamp(s.CalibrationIndex, 0, CALIBRATION_NUM - 1);
    CSetScaleDlg dlg(m_pOwner);
    dlg.m_nUnitKind = s.Calibration[nIndex].UnitKind;
    dlg.m_nScalePos = Corner(s.DispScalPos);
    dlg.m_dScaleSizeX = s.ScaleSizeX;
    dlg.m_dScaleSizeY = s.ScaleSizeY;
    int nResult = IDCANCEL;
    {
        // The windows that take input stay off while the dialog is open.
        const CWndEnabledCtrl tool(m_pTool, FALSE);
        const CWndEnabledCtrl magnifier(m_pMagnifier, FALSE);
        const CWndEnabledCtrl overlay(m_pOverlay, FALSE);
        nResult = dlg.DoModal();
    }
    if (nResult != IDOK) {
        return false;
    }
    // They reach the file with the next write of the settings.
    s.DispScalPos = dlg.m_nScalePos;
    s.ScaleSizeX = dlg.m_dScaleSizeX;
    s.ScaleSizeY = dlg.m_dScaleSizeY;
    return true;
}

void CScaleBar::OnDispScale(WPARAM wShow)
{
    WriteLog(QStringLiteral("[MAIN]OnDispScale()"));
    const BOOL bShow = wShow == 1 ? TRUE : FALSE;
    m_bDispScale = bShow;
    const SYSTEM_SETTING& s = m_Setting;
    if (bShow && (s.DispScaleKind == 1 || (s.DispScaleKind == 0 && s.ScaleSizeX == 0.0))) {
        if (!AskScale()) {
            m_Status.SetStatusString(IDS_SCALE_CANCELLED);
            UncheckPageButton();
            m_bDispScale = FALSE;
            WriteLog(QStringLiteral("[MAIN]OnDispScale() Cancel"));
            return;
        }
    }
    if (CLayeredWnd* pOverlay = m_pOverlay) {
        CRgnDataCtrl& eng = pOverlay->Engine();
        const bool bReady = eng.GetImageWidth() > 0 && eng.IsCalibrationValid();
        if (bShow && bReady && s.ScaleSizeX > 0.0) {
            eng.SetScaleParam(s.ScaleSizeX, s.ScaleSizeY, Corner(s.DispScalPos));
            eng.m_bDispScale = TRUE;
        } else {
            // Hiding always takes the bar away, whatever else changed since it was shown.
            eng.m_bDispScale = FALSE;
        }
        pOverlay->Redraw();
    }
    m_Status.SetStatusString(bShow ? IDS_SCALE_SHOWN : IDS_SCALE_HIDDEN);
}
