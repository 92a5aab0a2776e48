// The camera adjustment dialog: the video and RGB pages on two tabs, the
// defaults button, and the close button that hands back the resolution the
// user chose (applied by the opener, never by the dialog).
#pragma once

#include "app/dialogs/ParamDialog.h"
#include "camera/CameraCtrl.h"
#include "platform/MessageSink.h"

#include <memory>

namespace Ui {
class CCameraSettingDlg;
}
class CPageRGBControl;
class CPageVideoControl;
class IStatusLine;

class CCameraSettingDlg : public CParamDialog {
    Q_OBJECT
public:
    enum { IDD = 147 };
    static constexpr int IDC_TAB_CAMERA_SETTING = 1044;
    static constexpr int IDC_BTN_DEFAULT = 1045;
    static constexpr int IDC_OK = 1;

    explicit CCameraSettingDlg(QWidget* pParent = nullptr);
    ~CCameraSettingDlg() override;

    // Before the dialog runs: the controller, the current resolution
    // position, whether measurement data exist, and where the question's Yes
    // sends the clearing of the data.
    void SetParam(CCameraCtrl* pCameraCtrl, int nResolutionIdx, BOOL bMeasureData, IMessageSink* pMainWnd);
    // Where the pages report a value the camera refused (the main window's message line).
    void SetStatusLine(IStatusLine* pStatus);
    // The resolution position chosen (the one at opening unless the user chose another).
    int GetResolutionIndex() const { return m_nResolutionIdx; }

    BOOL OnInitDialog() override;
    void OnTcnSelchangeTab(int nTab);
    void OnBnClickedBtnDefault();
    // The close button: asks 565 first when the resolution changes with data present.
    void OnOK();

    CPageVideoControl* PageVideo() const { return m_pPageVideo; }
    CPageRGBControl* PageRGB() const { return m_pPageRGB; }

protected:
    std::span<const CONTROL_NAME> Controls() const override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    std::unique_ptr<Ui::CCameraSettingDlg> m_pUi;
    CCameraCtrl* m_pCameraCtrl = nullptr;
    IMessageSink* m_pMainWnd = nullptr;
    int m_nResolutionIdx = -1;
    int m_nResolutionIdxAtOpen = -1;
    BOOL m_bMeasureData = FALSE;
    CPageVideoControl* m_pPageVideo = nullptr;
    CPageRGBControl* m_pPageRGB = nullptr;
};
