// Cross lines through the main window's buttons and clicks on the overlay:
// the toggle and make-anew modes, separate input with its prompts, cancel,
// and the positions kept in the settings file across a restart.
#include "MainWndFixture.h"

#include "workflow/MainControls.h"
#include "workflow/overlay/CrossLines.h"

namespace {

class CrossLinesTest : public OverlayAidsTest {
protected:
    std::vector<int32_t> Xs()
    {
        const CRgnDataCtrl& eng = m_pDlg->Parts().pOverlay->Engine();
        return std::vector<int32_t>(eng.GetCrossX(), eng.GetCrossX() + eng.GetCrossCountX());
    }
    std::vector<int32_t> Ys()
    {
        const CRgnDataCtrl& eng = m_pDlg->Parts().pOverlay->Engine();
        return std::vector<int32_t>(eng.GetCrossY(), eng.GetCrossY() + eng.GetCrossCountY());
    }
    bool Shown() { return m_pDlg->Parts().pOverlay->Engine().m_bDispCrossLine != FALSE; }
    // The window on nCameras cameras, its cross lines made in the given kind
    // (1: the button toggles them, 0: it makes them anew), input one direction
    // at a time or both at once, with so many vertical and horizontal lines.
    CPixmetraDlg& StartWith(int nKind, BOOL bSeparate, int nVert, int nHorz, int nCameras)
    {
        WriteSettings([&](SYSTEM_SETTING& s) {
            s.MakeCrossLineKind = nKind;
            s.bCrossLineSeparateInput = bSeparate;
            s.CrossVertLineNum = nVert;
            s.CrossHorzLineNum = nHorz;
        });
        return Start(nCameras);
    }
};

TEST_F(CrossLinesTest, ToggleModeSeparateInputAndPositionsOutsideThePicture)
{
    CPixmetraDlg& dlg = StartWith(1, TRUE, 2, 1, 0);
    QAbstractButton* pCross = Button(IDC_BTN_CROSS_LINE);
    QAbstractButton* pCancel = Button(IDC_BTN_CROSS_CANCEL);
    ASSERT_NE(pCross, nullptr);
    ASSERT_NE(pCancel, nullptr);
    EXPECT_FALSE(pCross->isEnabled()) << "no picture yet";
    ShowStill(320, 240);
    ASSERT_TRUE(pCross->isEnabled());

    // No lines yet: the toggle mode starts input, vertical lines first.
    QTest::mouseClick(pCross, Qt::LeftButton);
    ASSERT_TRUE(WaitForMessage(IDS_CROSS_VERT_PROMPT));
    EXPECT_TRUE(dlg.Parts().pOverlay->Input().IsMakingCrossLine());
    EXPECT_TRUE(pCross->isChecked());
    EXPECT_FALSE(pCross->isEnabled());
    EXPECT_FALSE(pCancel->isHidden());
    ClickImage(POINT{50, 40});
    ClickImage(POINT{120, 60});
    ASSERT_TRUE(WaitForMessage(IDS_CROSS_HORZ_PROMPT)) << "horizontal prompt after the last vertical line";
    ClickImage(POINT{200, 100});
    ASSERT_TRUE(WaitForMessage(IDS_CROSS_LINES_MADE));
    EXPECT_EQ(Xs(), (std::vector<int32_t>{50, 120}));
    EXPECT_EQ(Ys(), (std::vector<int32_t>{100}));
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(pCancel->isHidden());
    EXPECT_TRUE(pCross->isEnabled());
    CROSSLINE_POS_VALUE stored{};
    ASSERT_TRUE(ReadCrossLinePosValue(stored));
    EXPECT_TRUE(stored.bDispCrossLine);
    EXPECT_EQ(stored.XCrossLinePos[0], 50);
    EXPECT_EQ(stored.XCrossLinePos[1], 120);
    EXPECT_EQ(stored.XCrossLinePos[2], 0);
    EXPECT_EQ(stored.YCrossLinePos[0], 100);
    EXPECT_EQ(dlg.Parts().setting.CrossVertLineNum, 2);
    EXPECT_EQ(dlg.Parts().setting.CrossHorzLineNum, 1);

    // Lines exist: the button hides and shows them.
    QTest::mouseClick(pCross, Qt::LeftButton);
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_CROSS_LINES_HIDDEN));
    EXPECT_FALSE(Shown());
    EXPECT_FALSE(pCross->isChecked());
    EXPECT_FALSE(dlg.Parts().setting.CrossLinePos.bDispCrossLine);
    QTest::mouseClick(pCross, Qt::LeftButton);
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_CROSS_LINES_SHOWN));
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(pCross->isChecked());
    EXPECT_EQ(Xs(), (std::vector<int32_t>{50, 120}));

    // A narrower picture: the line at x 120 now lies outside it and is not
    // copied back over what the settings hold.
    ShowStill(100, 240);
    dlg.Parts().setting.CrossLinePos.XCrossLinePos[0] = 11;
    dlg.Parts().setting.CrossLinePos.XCrossLinePos[1] = 77;
    QTest::mouseClick(pCross, Qt::LeftButton);
    EXPECT_EQ(dlg.Parts().setting.CrossLinePos.XCrossLinePos[0], 50);
    EXPECT_EQ(dlg.Parts().setting.CrossLinePos.XCrossLinePos[1], 77);
}

TEST_F(CrossLinesTest, MakeAnewModeCancelAndHorizontalOnlyInput)
{
    CPixmetraDlg& dlg = StartWith(0, FALSE, 1, 1, 0);
    ShowStill(320, 240);
    QAbstractButton* pCross = Button(IDC_BTN_CROSS_LINE);
    QAbstractButton* pCancel = Button(IDC_BTN_CROSS_CANCEL);

    QTest::mouseClick(pCross, Qt::LeftButton);
    ASSERT_TRUE(WaitForMessage(IDS_CROSS_PROMPT));
    ClickImage(POINT{30, 40});
    ASSERT_TRUE(WaitForMessage(IDS_CROSS_LINES_MADE));
    EXPECT_EQ(Xs(), (std::vector<int32_t>{30}));
    EXPECT_EQ(Ys(), (std::vector<int32_t>{40}));

    // Shown: the press hides them; the next one begins afresh without them.
    QTest::mouseClick(pCross, Qt::LeftButton);
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_CROSS_LINES_HIDDEN));
    EXPECT_FALSE(dlg.Parts().pOverlay->Engine().m_bDispCrossLine);
    QTest::mouseClick(pCross, Qt::LeftButton);
    ASSERT_TRUE(WaitForMessage(IDS_CROSS_PROMPT));
    EXPECT_TRUE(Xs().empty());
    EXPECT_TRUE(Ys().empty());
    EXPECT_EQ(dlg.Parts().pOverlay->Engine().GetCrossX()[0], 0) << "old positions discarded";

    // Cancel: the input ends, nothing drawn, the buttons as before.
    ASSERT_FALSE(pCancel->isHidden());
    QTest::mouseClick(pCancel, Qt::LeftButton);
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_CROSS_LINES_CANCELLED));
    EXPECT_FALSE(dlg.Parts().pOverlay->Input().IsMakingCrossLine());
    EXPECT_FALSE(dlg.Parts().pOverlay->Engine().m_bDispCrossLine);
    EXPECT_FALSE(pCross->isChecked());
    EXPECT_TRUE(pCross->isEnabled());
    EXPECT_TRUE(pCancel->isHidden());
    ClickImage(POINT{60, 70});
    HandlePosted();
    EXPECT_TRUE(Xs().empty()) << "a click after cancel places nothing";

    // Separate input without vertical lines starts with the horizontal prompt.
    dlg.Parts().setting.bCrossLineSeparateInput = TRUE;
    dlg.Parts().setting.CrossVertLineNum = 0;
    dlg.Parts().setting.CrossHorzLineNum = 2;
    QTest::mouseClick(pCross, Qt::LeftButton);
    ASSERT_TRUE(WaitForMessage(IDS_CROSS_HORZ_PROMPT));
    ClickImage(POINT{10, 20});
    ClickImage(POINT{15, 90});
    ASSERT_TRUE(WaitForMessage(IDS_CROSS_LINES_MADE));
    EXPECT_TRUE(Xs().empty());
    EXPECT_EQ(Ys(), (std::vector<int32_t>{20, 90}));
}

TEST_F(CrossLinesTest, PositionsSurviveARestart)
{
    CPixmetraDlg& first = StartWith(1, FALSE, 2, 1, 1);
    ASSERT_TRUE(first.Parts().live.IsCameraOK());
    QTest::mouseClick(Button(IDC_BTN_CROSS_LINE), Qt::LeftButton);
    ASSERT_TRUE(WaitForMessage(IDS_CROSS_PROMPT));
    ClickImage(POINT{300, 200});
    ClickImage(POINT{700, 500});
    ASSERT_TRUE(WaitForMessage(IDS_CROSS_LINES_MADE));
    const std::vector<int32_t> xs = Xs(), ys = Ys();
    ASSERT_EQ(xs.size(), 2u);
    ASSERT_EQ(ys.size(), 2u);
    EXPECT_NEAR(xs[1], 700, 2);
    EXPECT_NEAR(ys[1], 500, 2);
    m_pDlg.reset();

    CPixmetraDlg& second = Start(1);
    ASSERT_TRUE(second.Parts().live.IsCameraOK());
    EXPECT_EQ(Xs(), xs);
    EXPECT_EQ(Ys(), ys);
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(Button(IDC_BTN_CROSS_LINE)->isChecked());

    // Hidden at exit: shown hidden at the next start, positions still kept.
    QTest::mouseClick(Button(IDC_BTN_CROSS_LINE), Qt::LeftButton);
    EXPECT_FALSE(Shown());
    m_pDlg.reset();
    Start(1);
    EXPECT_EQ(Xs(), xs);
    EXPECT_FALSE(Shown());
    EXPECT_FALSE(Button(IDC_BTN_CROSS_LINE)->isChecked());
}

} // namespace
