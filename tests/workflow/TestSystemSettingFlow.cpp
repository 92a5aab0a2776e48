// The settings window run from the main window: what it wrote reaches the
// overlay at once, cross lines go only when their counts change or they were
// asked to, and another camera is reconnected with the window at its size.
#include "MainWndFixture.h"

#include "app/dialogs/ColorDialog.h"
#include "app/dialogs/SystemSettingDlg.h"
#include "engine/LayeredWnd.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

class CFixedColor : public IColorDialogProvider {
public:
    BOOL SelectColor(QWidget*, COLORREF& color) override
    {
        color = 0x123456;
        return TRUE;
    }
};

void SetText(CSystemSettingDlg* p, int nID, const QString& text)
{
    qobject_cast<QLineEdit*>(p->GetDlgItem(nID))->setText(text);
}

} // namespace

TEST_F(SettingsFlowTest, SettingsApplyToTheOverlayAndReconnectTheCamera)
{
    CFixedColor color;
    SetColorDialogProvider(&color);
    CPixmetraDlg& main = Start();
    ASSERT_EQ(main.Parts().camera.GetCurrentCamera(), 0);
    main.Parts().setting.CrossLinePos.XCrossLinePos[0] = 100;

    // Colours and widths only: the overlay draws with them at once, the cross lines stay.
    WhenModal<CSystemSettingDlg>([](CSystemSettingDlg* p) {
        SetText(p, CSystemSettingDlg::IDC_EDIT_LINE_WIDTH, QStringLiteral("6"));
        p->OnBnClickedColor(CSystemSettingDlg::IDC_BTN_MAKE_RGN_COLOR);
        p->OnBnClickedOk();
    });
    main.OnBnClickedBtnSystemSetting();
    EXPECT_EQ(main.Parts().pOverlay->Engine().GetDrawSetting().DrawLineWidth, 6);
    EXPECT_EQ(main.Parts().pOverlay->Engine().GetDrawSetting().MakeRgnColor, COLORREF(0x123456));
    EXPECT_EQ(main.Parts().setting.CrossLinePos.XCrossLinePos[0], 100);
    EXPECT_EQ(main.Parts().camera.GetCurrentCamera(), 0);

    // "十字線削除" then OK: the cross lines go.
    WhenModal<CSystemSettingDlg>([](CSystemSettingDlg* p) {
        p->OnBnClickedButtonClearCrossline();
        QCoreApplication::processEvents();
        p->OnBnClickedOk();
    });
    main.OnBnClickedBtnSystemSetting();
    EXPECT_EQ(main.Parts().setting.CrossLinePos.XCrossLinePos[0], 0);

    // The other camera: reopened, and nothing of the old size stays in the window.
    WhenModal<CSystemSettingDlg>([](CSystemSettingDlg* p) {
        qobject_cast<QComboBox*>(p->GetDlgItem(CSystemSettingDlg::IDC_COMBO_CONNECT_CAMERA))->setCurrentIndex(1);
        p->OnBnClickedOk();
    });
    main.OnBnClickedBtnSystemSetting();
    SetColorDialogProvider(nullptr);
    EXPECT_TRUE(m_Boxes.Texts.empty());
    EXPECT_EQ(main.Parts().camera.GetCurrentCamera(), 1);
    ASSERT_TRUE(main.Parts().live.IsCameraOK());
    EXPECT_TRUE(main.Parts().camera.IsStreaming());
    EXPECT_EQ(main.GetStatusPartText(0), QStringLiteral(" MONO ［ 1280×1024 ］"));
    EXPECT_EQ(main.Parts().live.Image().GetWidth(), 1280);
    EXPECT_EQ(main.Parts().live.Image().GetHeight(), 1024);
    EXPECT_EQ(main.Parts().geometry.CurrentView().ImageInfo.nWidth, 1280);
    EXPECT_EQ(main.Parts().pOverlay->Engine().GetImageWidth(), 1280);
    // The drawing settings survive the overlay's new start.
    EXPECT_EQ(main.Parts().pOverlay->Engine().GetDrawSetting().DrawLineWidth, 6);
    CAMERA_SETTING stored{};
    ASSERT_TRUE(ReadCameraSetting(stored));
    EXPECT_EQ(stored.CurConnectCameraIdx, 1);
    EXPECT_EQ(stored.CurConectCameraName, main.Parts().camera.GetCameraName(1));
    EXPECT_EQ(stored.ResolutionIdx, 0);
    const uint64_t nShown = main.Parts().live.GetShownFrameCount();
    EXPECT_TRUE(QTest::qWaitFor([&] { return main.Parts().live.GetShownFrameCount() > nShown + 2; }, 5000));
    EXPECT_EQ(main.Parts().live.Image().GetWidth(), 1280);
}

// No camera at the start, one attached later: the settings window lists it
// (the list is made anew while no camera runs), and OK opens it live.
TEST_F(SettingsFlowTest, CameraAttachedAfterTheStartIsListedAndOpens)
{
    qputenv("PIXMETRA_SIMCAM_CAMERAS", "0");
    CPixmetraDlg& main = Start();
    ASSERT_FALSE(main.Parts().live.IsCameraOK());
    ASSERT_EQ(main.Parts().camera.GetCameraCount(), 0);
    m_Boxes.Texts.clear();

    qputenv("PIXMETRA_SIMCAM_CAMERAS", "2");
    int nListed = -1;
    WhenModal<CSystemSettingDlg>([&](CSystemSettingDlg* p) {
        nListed = qobject_cast<QComboBox*>(p->GetDlgItem(CSystemSettingDlg::IDC_COMBO_CONNECT_CAMERA))->count();
        p->OnBnClickedOk();
    });
    main.OnBnClickedBtnSystemSetting();
    EXPECT_EQ(nListed, 2);
    ASSERT_TRUE(main.Parts().live.IsCameraOK());
    EXPECT_EQ(main.Parts().camera.GetCurrentCamera(), 0);
    const uint64_t nShown = main.Parts().live.GetShownFrameCount();
    EXPECT_TRUE(QTest::qWaitFor([&] { return main.Parts().live.GetShownFrameCount() > nShown + 2; }, 5000));
    EXPECT_TRUE(m_Boxes.Texts.empty());

    // With the camera running the list is left alone: the settings never stop it.
    WhenModal<CSystemSettingDlg>([](CSystemSettingDlg* p) { p->OnBnClickedOk(); });
    main.OnBnClickedBtnSystemSetting();
    EXPECT_TRUE(main.Parts().live.IsCameraOK());
    EXPECT_TRUE(main.Parts().camera.IsStreaming());
}
