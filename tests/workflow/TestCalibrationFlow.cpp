// A calibration made on the simulated camera's picture through the real
// windows: the reference line clicked along the ruler, its length typed into
// the reference length dialog, and the 400 px circle then measured in mm.
#include "app/MultiLanguageTranslator.h"
#include "app/SystemSetting.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/SetLengthDlg.h"
#include "engine/LayeredWnd.h"
#include "platform/ModuleFolder.h"
#include "simcam/TestPattern.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/PageCalibration.h"
#include "workflow/toolwnd/PageMeasurement.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

class CRecordingBoxes : public IMessageBoxProvider {
public:
    int ShowMessageBox(QWidget*, const QString& text, const QString&, UINT) override
    {
        Texts.push_back(text);
        return IDYES;
    }
    std::vector<QString> Texts;
};

class CalibrationFlowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Dir.isValid());
        platform::SetModuleFolderForTest(m_Dir.path() + QLatin1Char('/'), QStringLiteral("Pixmetra"));
        SetMessageBoxProvider(&m_Boxes);
        qputenv("PIXMETRA_SIMCAM_CAMERAS", "0");
    }
    void TearDown() override
    {
        m_pDlg.reset();
        SetMessageBoxProvider(nullptr);
        platform::SetModuleFolderForTest(QString());
        qunsetenv("PIXMETRA_SIMCAM_CAMERAS");
    }

    // The main window showing the simulated camera's still frame, no calibration yet.
    CPixmetraDlg& Start()
    {
        m_pDlg = std::make_unique<CPixmetraDlg>();
        m_pDlg->OnInitDialog();
        m_pDlg->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_pDlg.get()));
        simcam::CTestPattern pattern;
        pattern.Render(kWidth, kHeight, simcam::PATTERN_LOOK{});
        int ox = 0, oy = 0;
        simcam::CTestPattern::StillOffset(ox, oy);
        m_nOffsetX = ox;
        m_nOffsetY = oy;
        std::vector<uint8_t> frame(size_t(kWidth) * kHeight * 3);
        pattern.CutFrame(frame.data(), ox, oy, false, 0);
        CPixmetraDlg& dlg = *m_pDlg;
        EXPECT_TRUE(dlg.Image().SetImage(frame.data(), IMAGE_INFO{24, kWidth, kHeight}));
        EXPECT_TRUE(dlg.Overlay()->Initialise(kWidth, kHeight, 1.0));
        dlg.ResetPictureView(IMAGE_INFO{24, kWidth, kHeight});
        dlg.UpdateButtons();
        return dlg;
    }

    QAbstractButton* Button(int nID)
    {
        QWidget* p = m_pDlg->MeasureModeDlg()->GetDlgItem(nID);
        if (p == nullptr) {
            p = m_pDlg->MeasureModeDlg()->PageCalibration()->GetDlgItem(nID);
        }
        return qobject_cast<QAbstractButton*>(p);
    }

    void ClickImage(POINT pt)
    {
        POINT w{};
        ASSERT_TRUE(m_pDlg->Geometry().ImageToWindow(pt, &w));
        QTest::mouseClick(m_pDlg->Overlay(), Qt::LeftButton, Qt::NoModifier, QPoint(w.x, w.y));
    }

    // Answers the next reference length dialog with text (OK) or cancels it (empty text).
    void AnswerLengthDialog(const QString& text)
    {
        m_bAnswered = false;
        auto* pTimer = new QTimer;
        auto tries = std::make_shared<int>(0);
        QObject::connect(pTimer, &QTimer::timeout, [this, pTimer, tries, text] {
            auto* pDlg = qobject_cast<CSetLengthDlg*>(QApplication::activeModalWidget());
            if (pDlg == nullptr) {
                if (++*tries > 500) {
                    pTimer->stop();
                    pTimer->deleteLater();
                    ADD_FAILURE() << "reference length dialog never shown";
                }
                return;
            }
            pTimer->stop();
            pTimer->deleteLater();
            m_UnitShown = pDlg->m_UnitText;
            if (text.isEmpty()) {
                QTest::mouseClick(pDlg->findChild<QAbstractButton*>(QStringLiteral("IDCANCEL")), Qt::LeftButton);
            } else {
                pDlg->findChild<QLineEdit*>(QStringLiteral("IDC_EDIT_LENGTH"))->setText(text);
                QTest::mouseClick(pDlg->findChild<QAbstractButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
            }
            m_bAnswered = true;
        });
        pTimer->start(10);
    }

    // Image point of world point (x, y) of the pattern.
    POINT Img(double x, double y) const
    {
        return POINT{int(std::lround(x - m_nOffsetX)), int(std::lround(y - m_nOffsetY))};
    }

    QTemporaryDir m_Dir;
    CRecordingBoxes m_Boxes;
    std::unique_ptr<CPixmetraDlg> m_pDlg;
    int m_nOffsetX = 0, m_nOffsetY = 0;
    bool m_bAnswered = false;
    QString m_UnitShown;
};

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
    const QString setCaption = Button(1012)->text();
    QTest::mouseClick(Button(1012), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Overlay()->Input().IsCalibrating(); }, 2000));
    EXPECT_EQ(dlg.GetMessageText(), GetProgramString(514));
    EXPECT_EQ(Button(1012)->text(), GetProgramString(154));
    EXPECT_FALSE(Button(1027)->isEnabled());
    AnswerLengthDialog(QString());
    ClickImage(ruler0);
    ClickImage(ruler1000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_bAnswered && dlg.GetMessageText() == GetProgramString(517); }, 5000));
    EXPECT_FALSE(s.Calibration[0].bEnable);
    EXPECT_EQ(Button(1012)->text(), setCaption);
    EXPECT_TRUE(Button(1027)->isEnabled());
    EXPECT_FALSE(dlg.Overlay()->Input().IsCalibrating());

    // mm, then the ruler's 1000 px answered as 1.0 mm.
    QTest::mouseClick(Button(1024), Qt::LeftButton);
    QTest::mouseClick(Button(1012), Qt::LeftButton);
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

    // The measurement tab opens now, and the 400 px circle reads 0.4 mm.
    pTool->SelChangeTab(MEAS_TAB_MEASUREMENT, true);
    EXPECT_EQ(pTool->GetCurrentTab(), MEAS_TAB_MEASUREMENT);
    EXPECT_TRUE(m_Boxes.Texts.empty());
    QTest::mouseClick(Button(1032), Qt::LeftButton);
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

} // namespace
