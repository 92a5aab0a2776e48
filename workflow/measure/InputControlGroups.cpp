#include "workflow/measure/InputControlGroups.h"

#include "engine/kinds/MeasureKindInfo.h"
#include "workflow/MainControls.h"
#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/PageCalibration.h"
#include "workflow/toolwnd/PageMeasurement.h"
#include "workflow/toolwnd/ToolControls.h"

#include <QTabBar>
#include <QTabWidget>

namespace {

// The main window's buttons of both groups: display, load and save image,
// cross lines and settings; with a camera also continuous save, video and
// camera settings.
constexpr int kMainButtons[] = {IDC_BTN_DISP_IMAGE, IDC_BTN_LOAD_IMAGE, IDC_BTN_SAVE_IMAGE, IDC_BTN_CROSS_LINE,
                                IDC_BTN_SETTING};
constexpr int kCameraButtons[] = {IDC_BTN_SAVE_CONTINUE, IDC_BTN_SAVE_VIDEO, IDC_BTN_CAMERA_SETTING};
// Measurement page besides the start buttons: the scale, the results list,
// export and both deletes. Undo, cancel and text edit stay usable.
constexpr int kMeasurementPage[] = {IDC_CHECK_SCALE, IDC_LIST_RESULTS, IDC_BTN_SAVE_CSV, IDC_BTN_DELETE_ROW,
                                    IDC_BTN_DELETE_ALL};
// Calibration page; its set button stops a reference line, so the
// calibration group leaves it on.
constexpr int kCalibrationPage[] = {IDC_LIST_CALIBRATION,     IDC_BTN_DELETE_CALIBRATION, IDC_EDIT_CALIB_NAME,
                                    IDC_RADIO_TWO_POINTS,     IDC_RADIO_THREE_POINTS,     IDC_RADIO_UNIT_UM,
                                    IDC_RADIO_UNIT_MM,        IDC_RADIO_UNIT_CM,          IDC_BTN_LOAD_CALIBRATION,
                                    IDC_BTN_SAVE_CALIBRATION};

int Slot(int nGroup)
{
    return nGroup == INPUT_GROUP_CALIBRATION ? 0 : nGroup == INPUT_GROUP_MEASURE ? 1 : -1;
}

} // namespace

CCtrlEnabledCtrl::Group CInputControlGroups::Collect(int nGroup, const ItemFn& fnMain,
                                                     const CMeasureModeDlg* pTool, bool bCamera)
{
    CCtrlEnabledCtrl::Group g;
    auto add = [&g](QWidget* p) {
        if (p != nullptr) {
            g.push_back(p);
        }
    };
    for (int nID : kMainButtons) {
        add(fnMain(nID));
    }
    if (bCamera) {
        for (int nID : kCameraButtons) {
            add(fnMain(nID));
        }
    }
    if (pTool == nullptr) {
        return g;
    }
    // Only the tab bar: the pages beneath it hold undo and cancel, which stay usable.
    if (auto* pTab = qobject_cast<QTabWidget*>(pTool->GetDlgItem(IDC_TAB_MODE))) {
        add(pTab->tabBar());
    }
    if (nGroup == INPUT_GROUP_CALIBRATION) {
        add(pTool->GetDlgItem(IDC_CHECK_DISP_RESULT));
    }
    // Both pages number some controls alike: each is asked for its own.
    for (const MEASURE_KIND_INFO& kind : kMeasureKinds) {
        add(pTool->PageMeasurement()->GetDlgItem(kind.nButtonID));
    }
    for (int nID : kMeasurementPage) {
        add(pTool->PageMeasurement()->GetDlgItem(nID));
    }
    for (int nID : kCalibrationPage) {
        add(pTool->PageCalibration()->GetDlgItem(nID));
    }
    if (nGroup == INPUT_GROUP_MEASURE) {
        add(pTool->PageCalibration()->GetDlgItem(IDC_BTN_SET_CALIBRATION));
    }
    return g;
}

void CInputControlGroups::Disable(int nGroup, const ItemFn& fnMain, const CMeasureModeDlg* pTool, bool bCamera)
{
    const int n = Slot(nGroup);
    if (n < 0 || m_nHeld[n]) {
        return;
    }
    m_Groups[n] = Collect(nGroup, fnMain, pTool, bCamera);
    m_Enabler.DisableGroup(m_Groups[n]);
    m_nHeld[n] = true;
}

void CInputControlGroups::Restore(int nGroup)
{
    const int n = Slot(nGroup);
    if (n < 0 || !m_nHeld[n]) {
        return;
    }
    m_Enabler.RestoreGroup(m_Groups[n]);
    m_Groups[n].clear();
    m_nHeld[n] = false;
}

bool CInputControlGroups::IsHeld(int nGroup) const
{
    const int n = Slot(nGroup);
    return n >= 0 && m_nHeld[n];
}

void CInputControlGroups::KeepDisabled() const
{
    for (int n = 0; n < 2; ++n) {
        if (!m_nHeld[n]) {
            continue;
        }
        for (QWidget* p : m_Groups[n]) {
            if (p != nullptr) {
                p->setEnabled(false);
            }
        }
    }
}
