// The floating, always-on-top tool window beside the main window: the
// calibration and measurement tabs, the check boxes for drawing the results
// and the magnifier, and the calibration in use. It cannot be closed by the
// user; it lives as long as the main window.
#pragma once

#include "app/SystemSetting.h"
#include "engine/RgnData.h"
#include "platform/MessageSink.h"

#include <QWidget>

#include <memory>
#include <vector>

class CPageCalibration;
class CPageMeasurement;
class QCheckBox;
class QLabel;
class QTabWidget;

namespace Ui {
class CMeasureModeDlg;
}

constexpr int MEAS_TAB_CALIBRATION = 0;
constexpr int MEAS_TAB_MEASUREMENT = 1;

class CMeasureModeDlg : public QWidget {
public:
    explicit CMeasureModeDlg(QWidget* pOwner = nullptr);
    ~CMeasureModeDlg() override;

    // pMain receives the window's messages; the settings, results and
    // selection are the main window's own.
    BOOL InitMeasDlg(IMessageSink* pMain, SYSTEM_SETTING* pSetting, const std::vector<MEASURE_DATA>* pResults,
                     std::vector<int>* pSelection);
    BOOL SetSystemSettings();
    void ClearMeasureData();
    void EnableMeasure(bool bEnable);
    // bUser: a change by the user, refused with 584 when the current
    // calibration slot is not enabled.
    void SelChangeTab(int nTab, bool bUser = false);
    // The calibration name and value texts.
    void UpdateCalibrationTexts();
    // 12 px right of the owner's frame and 12 px below its top, kept on the
    // owner's screen; a saved position (MeasWndLeft/Top) wins when on screen.
    void PlaceBeside(const QRect& ownerFrame);
    // Lies inside area (screen coordinates, its frame of the given margins
    // included) at its bottom-right corner, made smaller, down to what its
    // controls need, where the area is smaller than the window.
    void PlaceInside(const QRect& area, const QMargins& frame);

    int GetCurrentTab() const { return m_nCurTab; }
    // Check box 1143: the magnifier is wanted.
    BOOL IsDispZoomWindow() const { return m_bDispZoomWindow; }
    void SetDispZoomWindow(BOOL bShow);
    CPageCalibration* PageCalibration() const { return m_pPageCalibration; }
    CPageMeasurement* PageMeasurement() const { return m_pPageMeasurement; }
    QWidget* GetDlgItem(int nID) const;

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    void Post(UINT nMessage, WPARAM wParam = 0, LPARAM lParam = 0);
    bool CurrentCalibrationEnabled() const;

    std::unique_ptr<Ui::CMeasureModeDlg> m_pUi;
    IMessageSink* m_pMain = nullptr;
    SYSTEM_SETTING* m_pSetting = nullptr;
    BOOL m_bInit = FALSE;
    int m_nCurTab = -1;
    bool m_bEnabled = false;
    BOOL m_bDispResult = TRUE;
    BOOL m_bDispZoomWindow = FALSE;
    QTabWidget* m_pTab = nullptr;
    QCheckBox* m_pDispResult = nullptr;
    QCheckBox* m_pDispZoom = nullptr;
    QLabel* m_pCalibName = nullptr;
    QLabel* m_pCalibValue = nullptr;
    CPageCalibration* m_pPageCalibration = nullptr;
    CPageMeasurement* m_pPageMeasurement = nullptr;
    QPoint m_NormalPos;
};
