// The tool window driven through its real widgets beside the main window on
// a still picture: the keys for cancel, undo and delete, the rows of a
// 2-circle measurement deleted together, and the tab guard.
#include "MainWndFixture.h"

#include <QTabBar>
#include <QTabWidget>

namespace {

class ToolWindowTest : public MainWndTestBase {
protected:
    void SetUp() override
    {
        MainWndTestBase::SetUp();
        UseCameras(0);
    }

    // The main window on a 640x480 still picture with an enabled calibration.
    CPixmetraDlg& Start()
    {
        CPixmetraDlg& dlg = StartWindow();
        ShowPixels(std::vector<uint8_t>(size_t(640) * 480 * 3, 30), 640, 480);
        MeasureInPixels(dlg); // values read as pixels
        return dlg;
    }

    void StartKind(int32_t nKind)
    {
        QTest::mouseClick(ToolButton(MeasureKindButton(nKind)), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_pDlg->Parts().pOverlay->Input().IsMakingShape(); }, 2000));
    }

};

TEST_F(ToolWindowTest, EscBackspaceAndDeleteKeys)
{
    CPixmetraDlg& dlg = Start();
    CQSListCtrl* pList = dlg.Parts().pTool->PageMeasurement()->ResultList();
    // Esc drops the half-made shape: the next clicks start a new one.
    StartKind(MEAS_LENGTH);
    ClickImage(POINT{50, 50});
    QTest::keyClick(&dlg, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg.Parts().pOverlay->Input().IsMakingShape(); }, 2000));
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_SHAPE_CANCELLED));
    EXPECT_TRUE(ToolButton(MeasureKindButton(MEAS_LENGTH))->isEnabled());
    EXPECT_TRUE(dlg.Parts().measure.Results().empty());

    // Backspace takes back the wrong second point; Ctrl+Z the same.
    StartKind(MEAS_LENGTH);
    ClickImage(POINT{100, 200});
    QTest::keyClick(&dlg, Qt::Key_Backspace);
    HandlePosted();
    ClickImage(POINT{100, 200});
    QTest::keyClick(dlg.Parts().pTool, Qt::Key_Z, Qt::ControlModifier);
    HandlePosted();
    ClickImage(POINT{100, 200});
    ClickImage(POINT{100, 300});
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().measure.Results().size() == 1; }, 2000));
    EXPECT_NEAR(dlg.Parts().measure.Results()[0].dValue, 100.0, 0.01);

    // Two rows selected, Delete asks once and deletes both, no error box.
    MeasureWith(MEAS_LENGTH, {POINT{10, 10}, POINT{10, 40}});
    pList->SetSelectedRows({0, 1});
    QTest::keyClick(pList, Qt::Key_Delete);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().measure.Results().empty(); }, 2000));
    ASSERT_EQ(m_Boxes.Texts.size(), 1u);
    EXPECT_EQ(m_Boxes.Texts[0], GetProgramString(IDS_DELETE_SELECTED_QUESTION));
    EXPECT_EQ(pList->GetRowCount(), 0);
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(IDS_DATA_DELETED));
}

TEST_F(ToolWindowTest, RowsOfATwoCircleMeasurementDeleteWithOneQuestion)
{
    CPixmetraDlg& dlg = Start();
    CQSListCtrl* pList = dlg.Parts().pTool->PageMeasurement()->ResultList();
    MeasureWith(MEAS_2CIRCLE, {POINT{100, 50}, POINT{150, 100}, POINT{100, 150}, POINT{400, 50}, POINT{450, 100},
                       POINT{400, 150}}, 3);
    EXPECT_EQ(pList->item(0, 1)->text(), GetProgramString(kMeasureKinds[MEAS_2CIRCLE].nName));
    EXPECT_EQ(pList->item(1, 1)->text(), GetProgramString(kMeasureKinds[MEAS_2CIRCLE].nPartNames[0]));
    EXPECT_EQ(pList->item(2, 1)->text(), GetProgramString(kMeasureKinds[MEAS_2CIRCLE].nPartNames[1]));
    pList->SetSelectedRows({0, 1, 2});
    QTest::mouseClick(ToolButton(IDC_BTN_DELETE_ROW), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().measure.Results().empty(); }, 2000));
    ASSERT_EQ(m_Boxes.Texts.size(), 1u);
    EXPECT_EQ(m_Boxes.Texts[0], GetProgramString(IDS_DELETE_SELECTED_QUESTION));
    // Delete all with nothing left asks nothing.
    QTest::mouseClick(ToolButton(IDC_BTN_DELETE_ALL), Qt::LeftButton);
    HandlePosted();
    EXPECT_EQ(m_Boxes.Texts.size(), 1u);
}

TEST_F(ToolWindowTest, TabGuardAndListSelectionReachesThePicture)
{
    CPixmetraDlg& dlg = Start();
    CQSListCtrl* pList = dlg.Parts().pTool->PageMeasurement()->ResultList();
    MeasureWith(MEAS_LENGTH, {POINT{100, 100}, POINT{100, 300}});
    // A row picked in the list selects its shape on the picture.
    pList->SelectRow(0);
    std::vector<int32_t> selected;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        dlg.Parts().pOverlay->Engine().GetSelectedMeasNo(selected);
        return selected.size() == 1;
    }, 2000));
    EXPECT_EQ(selected[0], dlg.Parts().measure.Results()[0].nMeasNum);

    // Without an enabled calibration the measurement tab cannot be entered.
    dlg.Parts().pTool->SelChangeTab(MEAS_TAB_CALIBRATION);
    dlg.Parts().setting.Calibration[dlg.Parts().setting.CalibrationIndex].bEnable = FALSE;
    dlg.Parts().pTool->SelChangeTab(MEAS_TAB_MEASUREMENT, true);
    EXPECT_EQ(dlg.Parts().pTool->GetCurrentTab(), MEAS_TAB_CALIBRATION);
    ASSERT_EQ(m_Boxes.Texts.size(), 1u);
    EXPECT_EQ(m_Boxes.Texts[0], GetProgramString(IDS_CALIBRATION_INVALID));
}

// The tabs from the keyboard: Ctrl+Tab and Ctrl+PageDown onwards, Ctrl+Shift+Tab
// and Ctrl+PageUp back, the arrows on the focused tab bar; the guard holds for keys too.
TEST_F(ToolWindowTest, TabsSwitchFromTheKeyboard)
{
    CPixmetraDlg& dlg = Start();
    CMeasureModeDlg* pTool = dlg.Parts().pTool;
    pTool->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(pTool));
    auto* pTabs = qobject_cast<QTabWidget*>(pTool->GetDlgItem(IDC_TAB_MODE));
    ASSERT_NE(pTabs, nullptr);
    QWidget* pInside = pTool->PageMeasurement()->ResultList();
    const struct {
        QWidget* pTarget;
        int nKey;
        Qt::KeyboardModifiers mods;
        int nTab;
    } steps[] = {
        {pInside, Qt::Key_Tab, Qt::ControlModifier, MEAS_TAB_CALIBRATION},
        {pInside, Qt::Key_PageDown, Qt::ControlModifier, MEAS_TAB_MEASUREMENT},
        {pInside, Qt::Key_PageUp, Qt::ControlModifier, MEAS_TAB_CALIBRATION},
        {pInside, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, MEAS_TAB_MEASUREMENT},
        {pTabs->tabBar(), Qt::Key_Left, Qt::NoModifier, MEAS_TAB_CALIBRATION},
        {pTabs->tabBar(), Qt::Key_Right, Qt::NoModifier, MEAS_TAB_MEASUREMENT},
    };
    for (const auto& st : steps) {
        st.pTarget->setFocus();
        QTest::keyClick(st.pTarget, Qt::Key(st.nKey), st.mods);
        EXPECT_EQ(pTool->GetCurrentTab(), st.nTab) << st.nKey;
        EXPECT_EQ(pTabs->currentIndex(), st.nTab) << st.nKey;
    }
    EXPECT_TRUE(m_Boxes.Texts.empty());
    pTool->SelChangeTab(MEAS_TAB_CALIBRATION);
    dlg.Parts().setting.Calibration[dlg.Parts().setting.CalibrationIndex].bEnable = FALSE;
    pTabs->tabBar()->setFocus();
    QTest::keyClick(pTabs->tabBar(), Qt::Key_Right);
    EXPECT_EQ(pTabs->currentIndex(), MEAS_TAB_CALIBRATION);
    ASSERT_EQ(m_Boxes.Texts.size(), 1u);
    EXPECT_EQ(m_Boxes.Texts[0], GetProgramString(IDS_CALIBRATION_INVALID));
}

// The main window's picture-only buttons say what they do, in either language.
TEST_F(ToolWindowTest, IconButtonsHaveTheirCaptionAsNameAndTooltip)
{
    const QString english = m_Dir.path() + QStringLiteral("/LangTransEnglish.ini");
    ASSERT_TRUE(QFile::copy(QStringLiteral(PIXMETRA_SOURCE_DIR "/app/LangTransEnglish.ini"), english));
    CMultiLanguageTranslator translator;
    const std::shared_ptr<void> restore(GetProgramTranslator(), [](void* p) {
        SetProgramTranslator(static_cast<CMultiLanguageTranslator*>(p));
    });
    for (const bool bEnglish : {false, true}) {
        if (bEnglish) {
            translator.SetTranslation(english, QStringLiteral("ENGLISH"));
            SetProgramTranslator(&translator);
        }
        CPixmetraDlg& dlg = StartWindow();
        const struct {
            const char* pszName;
            QString text;
        } buttons[] = {
            {"btnAbout", bEnglish ? QStringLiteral("About") : QStringLiteral("バージョン情報")},
            {"btnZoomFit", bEnglish ? QStringLiteral("Fit") : QStringLiteral("全体")},
            {"btnZoomOut", bEnglish ? QStringLiteral("Zoom out") : QStringLiteral("縮小")},
            {"btnZoomIn", bEnglish ? QStringLiteral("Zoom in") : QStringLiteral("拡大")},
        };
        for (const auto& b : buttons) {
            auto* p = dlg.findChild<QAbstractButton*>(QLatin1String(b.pszName));
            ASSERT_NE(p, nullptr) << b.pszName;
            EXPECT_EQ(p->accessibleName(), b.text) << b.pszName;
            EXPECT_EQ(p->toolTip(), b.text) << b.pszName;
        }
        m_pDlg.reset();
    }
}

} // namespace
