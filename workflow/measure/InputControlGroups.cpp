#include "workflow/measure/InputControlGroups.h"

#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/PageCalibration.h"
#include "workflow/toolwnd/PageMeasurement.h"

#include <QTabBar>
#include <QTabWidget>

namespace {

// The main window's buttons of both groups: display, load and save image,
// cross lines and settings; with a camera also continuous save, video and
// camera settings.
constexpr int kMainButtons[] = {1128, 1015, 1016, 1038, 1013};
constexpr int kCameraButtons[] = {1017, 1021, 1014};
// Measurement page: the start buttons, the results list, export and both
// deletes. Undo 1045, cancel 1046 and text edit 1120 stay usable.
constexpr int kMeasurementPage[] = {1030, 1031, 1032, 1033, 1034, 1035, 1036, 1037,
                                    1039, 1040, 1042, 1047, 1102, 1041, 1043, 1044};
// Calibration page; the set button 1012 stops a reference line, so group 4 leaves it on.
constexpr int kCalibrationPage[] = {1010, 1120, 1009, 1020, 1021, 1023, 1024, 1025, 1027, 1026};
constexpr int kCalibrationSet = 1012;
constexpr int kTab = 1000;
constexpr int kDispResult = 1004;

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
    if (auto* pTab = qobject_cast<QTabWidget*>(pTool->GetDlgItem(kTab))) {
        add(pTab->tabBar());
    }
    if (nGroup == INPUT_GROUP_CALIBRATION) {
        add(pTool->GetDlgItem(kDispResult));
    }
    // Both pages number some controls alike (1120): each is asked for its own.
    for (int nID : kMeasurementPage) {
        add(pTool->PageMeasurement()->GetDlgItem(nID));
    }
    for (int nID : kCalibrationPage) {
        add(pTool->PageCalibration()->GetDlgItem(nID));
    }
    if (nGroup == INPUT_GROUP_MEASURE) {
        add(pTool->PageCalibration()->GetDlgItem(kCalibrationSet));
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
