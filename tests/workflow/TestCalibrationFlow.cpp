// A calibration made on the simulated camera's picture through the real
// windows: the reference line clicked along the ruler, its length typed into
// the reference length dialog, and the 400 px circle then measured in mm.
#include "MainWndFixture.h"

namespace {

TEST_F(CalibrationFlowTest, RulerCalibrationThenCircleMeasuredInMillimetres)
{
    CPixmetraDlg& dlg = Start();
    CMeasureModeDlg* pTool = dlg.MeasureModeDlg();
    ASSERT_EQ(pTool->GetCurrentTab(), MEAS_TAB_CALIBRATION);
    const SYSTEM_SETTING& s = dlg.Setting();
    const int worldW = kWidth + simcam::kWorldMargin, worldH = kHeight + simcam::kWorldMargin;
    // The ruler's ticks at 0 and 1000 px, halfway down its long ticks.
    const double rulerY = worldH - simcam::kWorldMargin / 2 - 60 + 20;
    const POINT ruler0 = Img(100, rulerY), ruler1000 = Img(1100, rulerY);

    // The reference dialog cancelled: nothing stored, the set button back to its caption.
    const QString setCaption = ToolButton(1012)->text();
    QTest::mouseClick(ToolButton(1012), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Overlay()->Input().IsCalibrating(); }, 2000));
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(514));
    EXPECT_EQ(ToolButton(1012)->text(), GetProgramString(154));
    EXPECT_FALSE(ToolButton(1027)->isEnabled());
    AnswerLengthDialog(QString());
    ClickImage(ruler0);
    ClickImage(ruler1000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_bAnswered && dlg.GetMessageText() == GetProgramString(517); }, 5000));
    EXPECT_FALSE(s.Calibration[0].bEnable);
    EXPECT_EQ(ToolButton(1012)->text(), setCaption);
    EXPECT_TRUE(ToolButton(1027)->isEnabled());
    EXPECT_FALSE(dlg.Overlay()->Input().IsCalibrating());

    // mm, then the ruler's 1000 px answered as 1.0 mm.
    QTest::mouseClick(ToolButton(1024), Qt::LeftButton);
    QTest::mouseClick(ToolButton(1012), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Overlay()->Input().IsCalibrating(); }, 2000));
    AnswerLengthDialog(QStringLiteral("1.0"));
    ClickImage(ruler0);
    ClickImage(ruler1000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_bAnswered && s.Calibration[0].bEnable; }, 5000));
    QTest::qWait(20);
    EXPECT_EQ(m_UnitShown, GetProgramString(198));
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(516));
    EXPECT_EQ(s.CalibrationIndex, 0);
    EXPECT_EQ(s.Calibration[0].UnitKind, 1);
    EXPECT_NEAR(s.Calibration[0].ReferenceLength, 1.0, 1e-12);
    // The clicks land on window pixels: the line is 1000 px within a few pixels.
    EXPECT_NEAR(s.Calibration[0].PixelLength, 1000.0, 4.0);
    EXPECT_NEAR(s.Calibration[0].Calibration, 0.001, 0.000004);
    EXPECT_NEAR(dlg.Overlay()->Engine().GetCalibration(), s.Calibration[0].Calibration, 1e-12);
    EXPECT_TRUE(dlg.GetStatusPartText(5).contains(GetProgramString(198) + QStringLiteral("/")));
    EXPECT_EQ(pTool->PageCalibration()->CalibrationList()->GetRowCount(), 2);

    // A set slot: another line asks 563 first and No keeps it; the unit asks 562 and No keeps mm.
    m_Boxes.nAnswer = IDNO;
    QTest::mouseClick(ToolButton(1012), Qt::LeftButton);
    QTest::qWait(20);
    EXPECT_FALSE(dlg.Overlay()->Input().IsCalibrating());
    QTest::mouseClick(ToolButton(1025), Qt::LeftButton);
    QTest::qWait(20);
    ASSERT_EQ(m_Boxes.Texts.size(), 2u);
    EXPECT_EQ(m_Boxes.Texts[0], GetProgramString(563));
    EXPECT_EQ(m_Boxes.Texts[1], GetProgramString(562));
    EXPECT_EQ(s.Calibration[0].UnitKind, 1);
    EXPECT_TRUE(ToolButton(1024)->isChecked());
    EXPECT_TRUE(ToolButton(1012)->isEnabled());
    m_Boxes.Texts.clear();
    m_Boxes.nAnswer = IDYES;

    // The measurement tab opens now, and the 400 px circle reads 0.4 mm.
    pTool->SelChangeTab(MEAS_TAB_MEASUREMENT, true);
    EXPECT_EQ(pTool->GetCurrentTab(), MEAS_TAB_MEASUREMENT);
    EXPECT_TRUE(m_Boxes.Texts.empty());
    QTest::mouseClick(ToolButton(1032), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Overlay()->Input().IsMakingShape(); }, 2000));
    const double cx = worldW * 0.30, cy = worldH * 0.45;
    ClickImage(Img(cx + 200, cy));
    ClickImage(Img(cx, cy - 200));
    ClickImage(Img(cx - 200, cy));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Results().size() == 1; }, 2000));
    CQSListCtrl* pList = pTool->PageMeasurement()->ResultList();
    ASSERT_EQ(pList->GetRowCount(), 1);
    EXPECT_NEAR(pList->item(0, 2)->text().toDouble(), 0.4, 0.006);
    EXPECT_EQ(pList->item(0, 3)->text(), GetProgramString(198));
    EXPECT_NEAR(dlg.Results()[0].dValue, 0.4, 0.006);
}

TEST_F(CalibrationFlowTest, OnlyCalibrationGoesOnlyWithTheResults)
{
    CPixmetraDlg& dlg = Start();
    CPageCalibration* pPage = dlg.MeasureModeDlg()->PageCalibration();
    const SYSTEM_SETTING& s = dlg.Setting();
    CALIBRATION_SETTING& c = dlg.Setting().Calibration[0];
    c.bEnable = TRUE;
    c.PixelLength = 100.0;
    c.ReferenceLength = 1.0;
    c.UnitKind = 1;
    c.Calibration = 0.01;
    pPage->ReloadFromSetting();
    dlg.ApplyCalibration();
    dlg.MeasureModeDlg()->SelChangeTab(MEAS_TAB_MEASUREMENT, true);
    QTest::mouseClick(ToolButton(1030), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Overlay()->Input().IsMakingShape(); }, 2000));
    ClickImage(POINT{100, 100});
    ClickImage(POINT{300, 100});
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Results().size() == 1; }, 2000));
    EXPECT_NEAR(dlg.Results()[0].dValue, 2.0, 0.03);
    dlg.MeasureModeDlg()->SelChangeTab(MEAS_TAB_CALIBRATION, true);
    QAbstractButton* pDelete = pPage->findChild<QAbstractButton*>(QStringLiteral("btnDeleteCalibration"));

    // 564 Yes, then 561 No: results and calibration both stay.
    m_Boxes.nAnswer = IDYES;
    int nAnswers = 0;
    struct CNoSecond : IMessageBoxProvider {
        int* pCount;
        std::vector<QString>* pTexts;
        int ShowMessageBox(QWidget*, const QString& text, const QString&, UINT) override
        {
            pTexts->push_back(text);
            return ++*pCount == 1 ? IDYES : IDNO;
        }
    } noSecond;
    noSecond.pCount = &nAnswers;
    noSecond.pTexts = &m_Boxes.Texts;
    SetMessageBoxProvider(&noSecond);
    QTest::mouseClick(pDelete, Qt::LeftButton);
    QTest::qWait(50);
    ASSERT_EQ(m_Boxes.Texts.size(), 2u);
    EXPECT_EQ(m_Boxes.Texts[0], GetProgramString(564));
    EXPECT_EQ(m_Boxes.Texts[1], GetProgramString(561));
    EXPECT_EQ(dlg.Results().size(), 1u);
    EXPECT_TRUE(s.Calibration[0].bEnable);

    // Yes to both: results gone, then the calibration.
    SetMessageBoxProvider(&m_Boxes);
    m_Boxes.Texts.clear();
    QTest::mouseClick(pDelete, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.Calibration[0].bEnable == FALSE; }, 2000));
    EXPECT_TRUE(dlg.Results().empty());
    ASSERT_EQ(m_Boxes.Texts.size(), 2u);
    EXPECT_EQ(m_Boxes.Texts[1], GetProgramString(561));
}

TEST_F(CalibrationFlowTest, ThreePointReferenceRefusesACollinearThirdPoint)
{
    CPixmetraDlg& dlg = Start();
    const SYSTEM_SETTING& s = dlg.Setting();
    QTest::mouseClick(ToolButton(1021), Qt::LeftButton);
    QTest::mouseClick(ToolButton(1012), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Overlay()->Input().IsCalibrating(); }, 2000));
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(515));
    ClickImage(POINT{100, 100});
    ClickImage(POINT{500, 100});
    ClickImage(POINT{300, 100});
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.GetMessageText() == GetProgramString(581); }, 2000));
    EXPECT_TRUE(dlg.Overlay()->Input().IsCalibrating());
    // The distance of the third point from the first two's line: 200 px = 2 um.
    AnswerLengthDialog(QStringLiteral("2"));
    ClickImage(POINT{300, 300});
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_bAnswered && s.Calibration[0].bEnable; }, 5000));
    EXPECT_EQ(s.Calibration[0].SetPointKind, 1);
    EXPECT_EQ(s.Calibration[0].UnitKind, 0);
    EXPECT_NEAR(s.Calibration[0].PixelLength, 200.0, 3.0);
    EXPECT_NEAR(s.Calibration[0].Calibration, 2.0 / s.Calibration[0].PixelLength, 1e-12);
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(516));
}

} // namespace
