// Calibration: the table of slots with its file, and a calibration made on
// the simulated camera's picture through the real windows (the reference line
// clicked along the ruler, its length typed into the reference length dialog,
// the 400 px circle then measured in mm).
#include "MainWndFixture.h"
#include "app/AppFixture.h"
#include "workflow/calibration/CalibrationController.h"
#include "workflow/calibration/CalibrationTable.h"

#include <tuple>

#include <unistd.h>

namespace {

QString Q(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

class CalibrationTableTest : public ProgramFolderTest {
protected:
    // Slots 0..n-1 set with names A, B, ... and factors 0.1, 0.2, ...
    static CCalibrationTable Filled(int n, int nCurrent)
    {
        CALIBRATION_SETTING t[CALIBRATION_NUM];
        for (int i = 0; i < CALIBRATION_NUM; ++i) {
            SetDefaultCalibration(t[i], i);
        }
        for (int i = 0; i < n; ++i) {
            t[i].bEnable = TRUE;
            t[i].Name = QString(QChar('A' + i));
            t[i].PixelLength = 100.0 * (i + 1);
            t[i].ReferenceLength = 10.0 * (i + 1) * (i + 1);
            t[i].Calibration = t[i].ReferenceLength / t[i].PixelLength;
            t[i].UnitKind = i % 3;
            t[i].SetPointKind = i % 2;
        }
        CCalibrationTable table;
        table.Assign(nCurrent, t);
        return table;
    }
    // The table a .clb file of these bytes loads into.
    CCalibrationTable Loaded(const QByteArray& bytes)
    {
        const QString path = Path("loaded.clb");
        WriteBytes(path, bytes);
        CCalibrationTable t;
        EXPECT_EQ(t.LoadFromFile(path), CALIB_MSG_LOADED) << bytes.toStdString();
        return t;
    }
    static auto Kept(const CALIBRATION_SETTING& c)
    {
        return std::tie(c.bEnable, c.Name, c.PixelLength, c.ReferenceLength, c.SetPointKind, c.UnitKind,
                        c.Calibration);
    }
    static void ExpectSameTable(const CCalibrationTable& a, const CCalibrationTable& b)
    {
        EXPECT_EQ(a.GetCurrentIndex(), b.GetCurrentIndex());
        for (int i = 0; i < CALIBRATION_NUM; ++i) {
            EXPECT_TRUE(Kept(a.GetEntry(i)) == Kept(b.GetEntry(i))) << i;
        }
    }
};

} // namespace

TEST_F(CalibrationTableTest, EmptyTableListsOneEmptySlot)
{
    CCalibrationTable t;
    ASSERT_EQ(t.ListRowCount(), 1);
    EXPECT_EQ(t.ListRows()[0], (QStringList{"1", Q("校正値01"), ""}));
    EXPECT_FALSE(t.IsCurrentEnabled());
    EXPECT_FALSE(t.IsCurrentValid());
    EXPECT_EQ(t.GetEntry(19).Name, Q("校正値20"));

    const CCalibrationTable three = Filled(3, 1);
    const auto rows = three.ListRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1], (QStringList{"2", "B", Q("○")}));
    EXPECT_EQ(rows[3], (QStringList{"4", Q("校正値04"), ""}));
    EXPECT_EQ(Filled(20, 0).ListRowCount(), 20);
}

TEST_F(CalibrationTableTest, DeletingPacksLaterSlotsUp)
{
    CCalibrationTable t = Filled(5, 2);
    const CALIBRATION_SETTING d = t.GetEntry(3);
    EXPECT_EQ(t.DeleteRoute(), ECalibDelete::Direct);
    ASSERT_TRUE(t.DeleteCurrent());
    EXPECT_EQ(t.GetCurrentIndex(), 2);
    EXPECT_EQ(t.GetEntry(0).Name, "A");
    EXPECT_EQ(t.GetEntry(1).Name, "B");
    EXPECT_EQ(t.GetEntry(2).Name, "D");
    EXPECT_EQ(t.GetEntry(2).Calibration, d.Calibration);
    EXPECT_EQ(t.GetEntry(2).UnitKind, d.UnitKind);
    EXPECT_EQ(t.GetEntry(3).Name, "E");
    EXPECT_FALSE(t.GetEntry(4).bEnable);
    EXPECT_EQ(t.GetEntry(4).Name, Q("校正値05"));
    EXPECT_EQ(t.GetEntry(4).Calibration, 0.0);
    EXPECT_EQ(t.ListRowCount(), 5);

    // The last enabled slot deleted while current: the previous one becomes current.
    CCalibrationTable last = Filled(5, 4);
    ASSERT_TRUE(last.DeleteCurrent());
    EXPECT_EQ(last.GetCurrentIndex(), 3);
    EXPECT_EQ(last.Current().Name, "D");

    // An empty slot deletes nothing.
    CCalibrationTable empty = Filled(2, 2);
    EXPECT_EQ(empty.DeleteRoute(), ECalibDelete::Nothing);
    EXPECT_FALSE(empty.DeleteCurrent());
    EXPECT_EQ(empty.EnabledCount(), 2);

    // Only the last calibration asks about the results, and only when there are any.
    EXPECT_FALSE(Filled(2, 0).DeleteAsksResultsQuestion(true));
    EXPECT_EQ(Filled(1, 0).DeleteRoute(), ECalibDelete::WithResultsFirst);
    EXPECT_FALSE(Filled(1, 0).DeleteAsksResultsQuestion(false));
}

TEST_F(CalibrationTableTest, ClickOnEmptySpaceNeverReachesSlotMinusOne)
{
    CCalibrationTable t = Filled(3, 1);
    const CCalibrationTable before = t;
    EXPECT_FALSE(t.Select(-1));
    EXPECT_FALSE(t.Select(4));  // past the listed rows
    EXPECT_FALSE(t.Select(20));
    EXPECT_FALSE(t.Select(1));  // already current
    ExpectSameTable(t, before);
    t.Rename("renamed"); // a later rename still lands on the current slot
    EXPECT_EQ(t.GetEntry(1).Name, "renamed");

    SYSTEM_SETTING s;
    SetDefaultSystemSetting(s);
    t.CopyTo(s);
    EXPECT_EQ(s.CalibrationIndex, 1);

    EXPECT_TRUE(t.Select(3)); // the empty slot after the last calibration
    EXPECT_EQ(t.GetCurrentIndex(), 3);
    EXPECT_FALSE(t.IsCurrentEnabled());
}

TEST_F(CalibrationTableTest, IndexOutsideTheTableBecomesZero)
{
    CALIBRATION_SETTING raw[CALIBRATION_NUM];
    for (int i = 0; i < CALIBRATION_NUM; ++i) {
        SetDefaultCalibration(raw[i], i);
    }
    raw[0].bEnable = raw[1].bEnable = TRUE;
    for (int bad : {-1, 20, 1000, INT32_MIN}) {
        CCalibrationTable t;
        t.Assign(bad, raw);
        EXPECT_EQ(t.GetCurrentIndex(), 0) << bad;
    }
    // Inside the table but past the listed rows: the last listed row.
    CCalibrationTable t;
    t.Assign(9, raw);
    EXPECT_EQ(t.GetCurrentIndex(), 2);

    // The same from a file.
    for (const char* idx : {"-1", "20", "99999999999", "x"}) {
        const CCalibrationTable f = Loaded(QByteArray("[CalibrationSetting]\r\nCalibrationIndex=") + idx +
                                           "\r\nbEnable-1=True\r\nCalibration-1=0.5\r\nbEnable-2=True\r\n");
        EXPECT_EQ(f.GetCurrentIndex(), 0) << idx;
        EXPECT_EQ(f.Current().Calibration, 0.5);
    }
}

TEST_F(CalibrationTableTest, FilesThatAreNoCalibrationChangeNothing)
{
    const CCalibrationTable before = Filled(3, 2);
    const QString other = Path("other.clb");
    WriteBytes(other, "[DrawSetting]\r\nCalibrationIndex=1\r\nbEnable-1=True\r\n");
    const QString empty = Path("empty.clb");
    WriteBytes(empty, QByteArray());
    const QString binary = Path("picture.clb");
    WriteBytes(binary, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20));
    const QString sectionOnly = Path("bare.clb");
    WriteBytes(sectionOnly, "[CalibrationSetting]\r\n");
    for (const QString& path : {other, empty, binary, sectionOnly, Path("missing.clb"), QString(), tmp.path()}) {
        CCalibrationTable t = before;
        EXPECT_EQ(t.LoadFromFile(path), CALIB_MSG_LOAD_FAILED) << path.toStdString();
        ExpectSameTable(t, before);
    }
}

TEST_F(CalibrationTableTest, SavedFileLoadsBackAndLowerCaseTrueIsDisabled)
{
    // (Which keys a slot writes and each field's round trip: the settings suite.)
    const CCalibrationTable t = Filled(3, 1);
    const QString path = Path("table.clb");
    ASSERT_EQ(t.SaveToFile(path), CALIB_MSG_SAVED);
    CCalibrationTable loaded;
    ASSERT_EQ(loaded.LoadFromFile(path), CALIB_MSG_LOADED);
    ExpectSameTable(loaded, t);

    const CCalibrationTable l = Loaded("[CalibrationSetting]\r\nCalibrationIndex=0\r\nbEnable-1=true\r\nName-1=x\r\n"
                                       "Calibration-1=0.5\r\nbEnable-2=TRUE\r\nCalibration-2=0.5\r\n");
    EXPECT_EQ(l.EnabledCount(), 0);
    EXPECT_EQ(l.Current().Calibration, 0.0);
    EXPECT_EQ(l.Current().Name, Q("校正値01"));
}

TEST_F(CalibrationTableTest, GapsInAFileArePackedKeepingTheCurrentEntry)
{
    const CCalibrationTable t = Loaded("[CalibrationSetting]\r\nCalibrationIndex=4\r\nbEnable-1=True\r\nName-1=a\r\n"
                                       "bEnable-2=False\r\nbEnable-5=True\r\nName-5=e\r\nCalibration-5=0.25\r\n");
    EXPECT_EQ(t.EnabledCount(), 2);
    EXPECT_EQ(t.GetEntry(1).Name, "e");
    EXPECT_EQ(t.GetCurrentIndex(), 1);
    EXPECT_EQ(t.Current().Calibration, 0.25);
    EXPECT_EQ(t.GetEntry(4).Name, Q("校正値05"));
    EXPECT_EQ(t.ListRowCount(), 3);
}

TEST_F(CalibrationTableTest, FailedSaveReports620)
{
    const CCalibrationTable t = Filled(2, 0);
    // A file standing where the folder should be, a folder as target (a
    // missing folder and no name: the settings suite).
    const QString blocker = Path("blocker");
    WriteBytes(blocker, "x");
    EXPECT_EQ(t.SaveToFile(blocker + "/table.clb"), CALIB_MSG_SAVE_FAILED);
    EXPECT_EQ(t.SaveToFile(tmp.path()), CALIB_MSG_SAVE_FAILED);
    EXPECT_EQ(ReadBytes(blocker), "x");

    // A read-only folder (root writes anyway, so only as a user).
    if (::geteuid() != 0) {
        const QString ro = Path("ro");
        ASSERT_TRUE(QDir().mkpath(ro));
        ASSERT_TRUE(QFile::setPermissions(ro, QFile::ReadOwner | QFile::ExeOwner));
        EXPECT_EQ(t.SaveToFile(ro + "/table.clb"), CALIB_MSG_SAVE_FAILED);
        EXPECT_FALSE(QFile::exists(ro + "/table.clb"));
        QFile::setPermissions(ro, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

TEST_F(CalibrationTableTest, UnitChangeKeepsEveryNumber)
{
    CCalibrationTable t = Filled(2, 0);
    ASSERT_EQ(t.Current().UnitKind, 0);
    const CALIBRATION_SETTING before = t.Current();
    EXPECT_TRUE(t.UnitChangeNeedsQuestion(1));
    EXPECT_FALSE(t.UnitChangeNeedsQuestion(0));
    ASSERT_TRUE(t.SetUnit(1));
    EXPECT_EQ(t.Current().UnitKind, 1);
    EXPECT_EQ(t.Current().Calibration, before.Calibration);
    EXPECT_EQ(t.Current().ReferenceLength, before.ReferenceLength);
    EXPECT_EQ(t.Current().PixelLength, before.PixelLength);
    EXPECT_EQ(t.CurrentValueText(), "0.1mm/px");
    EXPECT_FALSE(t.SetUnit(3));
    EXPECT_FALSE(t.SetUnit(-1));
    EXPECT_EQ(t.Current().UnitKind, 1);

    CCalibrationTable empty;
    EXPECT_FALSE(empty.UnitChangeNeedsQuestion(2)); // an empty slot changes without asking
}

TEST_F(CalibrationTableTest, ReferenceLineByTwoOrThreePoints)
{
    double d = -1.0;
    const POINT two[] = {{100, 100}, {1100, 100}};
    EXPECT_EQ(CalcReferencePixelLength(two, 2, d), 0u);
    EXPECT_DOUBLE_EQ(d, 1000.0);
    const POINT diag[] = {{0, 0}, {3, 4}};
    EXPECT_EQ(CalcReferencePixelLength(diag, 2, d), 0u);
    EXPECT_DOUBLE_EQ(d, 5.0);

    // Three points: the distance of the third from the line of the first two.
    const POINT par[] = {{0, 0}, {10, 0}, {3, 4}};
    EXPECT_EQ(CalcReferencePixelLength(par, 3, d), 0u);
    EXPECT_DOUBLE_EQ(d, 4.0);
    const POINT slant[] = {{0, 0}, {4, 4}, {0, 8}};
    EXPECT_EQ(CalcReferencePixelLength(slant, 3, d), 0u);
    EXPECT_NEAR(d, std::sqrt(32.0), 1e-12);

    // A collinear third point is rejected: the user picks another.
    const POINT col[] = {{0, 0}, {10, 10}, {25, 25}};
    EXPECT_EQ(CalcReferencePixelLength(col, 3, d), CALIB_MSG_INVALID_POINT);
    const POINT far[] = {{-2000000000, 0}, {2000000000, 1}, {-2000000000, 0}};
    EXPECT_EQ(CalcReferencePixelLength(far, 3, d), CALIB_MSG_INVALID_POINT);

    // A double click on one point has no length.
    const POINT same[] = {{50, 50}, {50, 50}};
    EXPECT_EQ(CalcReferencePixelLength(same, 2, d), CALIB_MSG_SET_FAILED);
}

TEST_F(CalibrationTableTest, ZeroPixelReferenceIsRefusedAndTheSlotStays)
{
    CCalibrationTable t = Filled(2, 1);
    const CCalibrationTable before = t;
    EXPECT_EQ(t.SetReference(0.0, 1.0), CALIB_MSG_SET_FAILED);
    EXPECT_EQ(t.SetReference(-5.0, 1.0), CALIB_MSG_SET_FAILED);
    EXPECT_EQ(t.SetReference(std::nan(""), 1.0), CALIB_MSG_SET_FAILED);
    ExpectSameTable(t, before);

    // On the empty slot: it stays empty, no enabled-but-invalid entry.
    ASSERT_TRUE(t.Select(2));
    EXPECT_EQ(t.SetReference(0.0, 1.0), CALIB_MSG_SET_FAILED);
    EXPECT_FALSE(t.IsCurrentEnabled());
    EXPECT_EQ(t.EnabledCount(), 2);

    ASSERT_EQ(t.SetReference(1000.0, 1.0), CALIB_MSG_SET_DONE);
    EXPECT_EQ(t.CurrentNameText(), Q("校正値名称 ： 校正値03"));
    EXPECT_EQ(t.ListRowCount(), 4);
    EXPECT_TRUE(t.SetNeedsOverwriteQuestion());
}

namespace {

TEST_F(CalibrationFlowTest, RulerCalibrationThenCircleMeasuredInMillimetres)
{
    CPixmetraDlg& dlg = Start();
    CMeasureModeDlg* pTool = dlg.Parts().pTool;
    ASSERT_EQ(pTool->GetCurrentTab(), MEAS_TAB_CALIBRATION);
    const SYSTEM_SETTING& s = dlg.Parts().setting;
    POINT ruler0{}, ruler1000{};
    RulerPoints(ruler0, ruler1000);

    // The reference dialog cancelled: nothing stored, the set button back to its caption.
    const QString setCaption = ToolButton(IDC_BTN_SET_CALIBRATION)->text();
    QTest::mouseClick(ToolButton(IDC_BTN_SET_CALIBRATION), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().pOverlay->Input().IsCalibrating(); }, 2000));
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_CALIBRATION_TWO_POINT_PROMPT));
    EXPECT_EQ(ToolButton(IDC_BTN_SET_CALIBRATION)->text(), GetProgramString(IDS_CANCEL));
    EXPECT_FALSE(ToolButton(IDC_BTN_LOAD_CALIBRATION)->isEnabled());
    AnswerLengthDialog(QString());
    ClickImage(ruler0);
    ClickImage(ruler1000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_bAnswered && dlg.GetMessageText() == GetProgramString(IDS_CALIBRATION_CANCELLED); }, 5000));
    EXPECT_FALSE(s.Calibration[0].bEnable);
    EXPECT_EQ(ToolButton(IDC_BTN_SET_CALIBRATION)->text(), setCaption);
    EXPECT_TRUE(ToolButton(IDC_BTN_LOAD_CALIBRATION)->isEnabled());
    EXPECT_FALSE(dlg.Parts().pOverlay->Input().IsCalibrating());

    // mm, then the ruler's 1000 px answered as 1.0 mm.
    CalibrateRulerInMillimetres();
    EXPECT_EQ(m_UnitShown, GetProgramString(IDS_UNIT_MM));
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(CALIB_MSG_SET_DONE));
    EXPECT_EQ(s.CalibrationIndex, 0);
    EXPECT_EQ(s.Calibration[0].UnitKind, 1);
    EXPECT_NEAR(s.Calibration[0].ReferenceLength, 1.0, 1e-12);
    // The clicks land on window pixels: the line is 1000 px within a few pixels.
    EXPECT_NEAR(s.Calibration[0].PixelLength, 1000.0, 4.0);
    EXPECT_NEAR(s.Calibration[0].Calibration, 0.001, 0.000004);
    EXPECT_NEAR(dlg.Parts().pOverlay->Engine().GetCalibration(), s.Calibration[0].Calibration, 1e-12);
    EXPECT_TRUE(dlg.GetStatusPartText(5).contains(GetProgramString(IDS_UNIT_MM) + QStringLiteral("/")));
    EXPECT_EQ(pTool->PageCalibration()->CalibrationList()->GetRowCount(), 2);

    // A set slot: another line asks 563 first and No keeps it; the unit asks 562 and No keeps mm.
    m_Boxes.nAnswer = IDNO;
    QTest::mouseClick(ToolButton(IDC_BTN_SET_CALIBRATION), Qt::LeftButton);
    HandlePosted();
    EXPECT_FALSE(dlg.Parts().pOverlay->Input().IsCalibrating());
    QTest::mouseClick(ToolButton(IDC_RADIO_UNIT_CM), Qt::LeftButton);
    HandlePosted();
    ASSERT_EQ(m_Boxes.Texts.size(), 2u);
    EXPECT_EQ(m_Boxes.Texts[0], GetProgramString(CALIB_ASK_OVERWRITE));
    EXPECT_EQ(m_Boxes.Texts[1], GetProgramString(CALIB_ASK_UNIT));
    EXPECT_EQ(s.Calibration[0].UnitKind, 1);
    EXPECT_TRUE(ToolButton(IDC_RADIO_UNIT_MM)->isChecked());
    EXPECT_TRUE(ToolButton(IDC_BTN_SET_CALIBRATION)->isEnabled());
    m_Boxes.Texts.clear();
    m_Boxes.nAnswer = IDYES;

    // The measurement tab opens now, and the 400 px circle reads 0.4 mm.
    pTool->SelChangeTab(MEAS_TAB_MEASUREMENT, true);
    EXPECT_EQ(pTool->GetCurrentTab(), MEAS_TAB_MEASUREMENT);
    EXPECT_TRUE(m_Boxes.Texts.empty());
    const double cx = (kWidth + simcam::kWorldMargin) * 0.30, cy = (kHeight + simcam::kWorldMargin) * 0.45;
    MeasureWith(MEAS_CIRCLE, {Img(cx + 200, cy), Img(cx, cy - 200), Img(cx - 200, cy)});
    CQSListCtrl* pList = pTool->PageMeasurement()->ResultList();
    ASSERT_EQ(pList->GetRowCount(), 1);
    EXPECT_NEAR(pList->item(0, 2)->text().toDouble(), 0.4, 0.006);
    EXPECT_EQ(pList->item(0, 3)->text(), GetProgramString(IDS_UNIT_MM));
    EXPECT_NEAR(dlg.Parts().measure.Results()[0].dValue, 0.4, 0.006);
}

TEST_F(CalibrationFlowTest, OnlyCalibrationGoesOnlyWithTheResults)
{
    CPixmetraDlg& dlg = Start();
    CPageCalibration* pPage = dlg.Parts().pTool->PageCalibration();
    const SYSTEM_SETTING& s = dlg.Parts().setting;
    CALIBRATION_SETTING& c = dlg.Parts().setting.Calibration[0];
    c.bEnable = TRUE;
    c.PixelLength = 100.0;
    c.ReferenceLength = 1.0;
    c.UnitKind = 1;
    c.Calibration = 0.01;
    pPage->ReloadFromSetting();
    dlg.Parts().pCalibration->ApplyCalibration();
    dlg.Parts().pTool->SelChangeTab(MEAS_TAB_MEASUREMENT, true);
    MeasureWith(MEAS_LENGTH, {POINT{100, 100}, POINT{300, 100}});
    EXPECT_NEAR(dlg.Parts().measure.Results()[0].dValue, 2.0, 0.03);
    dlg.Parts().pTool->SelChangeTab(MEAS_TAB_CALIBRATION, true);
    QAbstractButton* pDelete = pPage->findChild<QAbstractButton*>(QStringLiteral("btnDeleteCalibration"));

    // 564 Yes, then 561 No: results and calibration both stay.
    m_Boxes.nAnswer = IDYES;
    m_Boxes.Answers = {IDYES, IDNO};
    QTest::mouseClick(pDelete, Qt::LeftButton);
    HandlePosted();
    ASSERT_EQ(m_Boxes.Texts.size(), 2u);
    EXPECT_EQ(m_Boxes.Texts[0], GetProgramString(CALIB_ASK_DELETE));
    EXPECT_EQ(m_Boxes.Texts[1], GetProgramString(IDS_CLEAR_MEASURE_QUESTION));
    EXPECT_EQ(dlg.Parts().measure.Results().size(), 1u);
    EXPECT_TRUE(s.Calibration[0].bEnable);

    // Yes to both: results gone, then the calibration.
    m_Boxes.Texts.clear();
    QTest::mouseClick(pDelete, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.Calibration[0].bEnable == FALSE; }, 2000));
    EXPECT_TRUE(dlg.Parts().measure.Results().empty());
    ASSERT_EQ(m_Boxes.Texts.size(), 2u);
    EXPECT_EQ(m_Boxes.Texts[1], GetProgramString(IDS_CLEAR_MEASURE_QUESTION));
}

TEST_F(CalibrationFlowTest, ThreePointReferenceRefusesACollinearThirdPoint)
{
    CPixmetraDlg& dlg = Start();
    const SYSTEM_SETTING& s = dlg.Parts().setting;
    QTest::mouseClick(ToolButton(IDC_RADIO_THREE_POINTS), Qt::LeftButton);
    QTest::mouseClick(ToolButton(IDC_BTN_SET_CALIBRATION), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().pOverlay->Input().IsCalibrating(); }, 2000));
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_CALIBRATION_THREE_POINT_PROMPT));
    ClickImage(POINT{100, 100});
    ClickImage(POINT{500, 100});
    ClickImage(POINT{300, 100});
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.GetMessageText() == GetProgramString(IDS_INVALID_POINT); }, 2000));
    EXPECT_TRUE(dlg.Parts().pOverlay->Input().IsCalibrating());
    // The distance of the third point from the first two's line: 200 px = 2 um.
    AnswerLengthDialog(QStringLiteral("2"));
    ClickImage(POINT{300, 300});
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_bAnswered && s.Calibration[0].bEnable; }, 5000));
    EXPECT_EQ(s.Calibration[0].SetPointKind, 1);
    EXPECT_EQ(s.Calibration[0].UnitKind, 0);
    EXPECT_NEAR(s.Calibration[0].PixelLength, 200.0, 3.0);
    EXPECT_NEAR(s.Calibration[0].Calibration, 2.0 / s.Calibration[0].PixelLength, 1e-12);
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(CALIB_MSG_SET_DONE));
}

} // namespace
