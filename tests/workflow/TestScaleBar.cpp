// The scale bar from the measurement page's scale button: shown at once from
// stored lengths or through CSetScaleDlg, cancelled, drawn in each corner at
// the calibrated length, and taken away on hiding.
#include "MainWndFixture.h"

#include "app/PixmetraApp.h"
#include "app/dialogs/SetScaleDlg.h"
#include "workflow/calibration/CalibrationController.h"
#include "workflow/live/PictureBox.h"
#include "workflow/overlay/ScaleBar.h"
#include "workflow/toolwnd/MeasureModeDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr COLORREF kScaleColour = 0x0000FF00; // green

class ScaleBarTest : public OverlayAidsTest {
protected:
    // A picture with calibration 0.01 mm per pixel; the page on its measuring tab.
    CPixmetraDlg& StartCalibrated()
    {
        WriteSettings([](SYSTEM_SETTING& s) {
            s.Calibration[0].bEnable = TRUE;
            s.Calibration[0].Calibration = 0.01;
            s.Calibration[0].UnitKind = 1;
            s.CalibrationIndex = 0;
            s.Draw.ScaleColor = kScaleColour;
            s.Draw.DrawLineWidth = 1;
            s.DispScaleKind = 0;
            s.ScaleSizeX = 2.0; // 200 px
            s.ScaleSizeY = 0.0;
        });
        CPixmetraDlg& dlg = Start(0);
        ShowStill(kWidth, kHeight);
        dlg.Parts().pCalibration->ApplyCalibration();
        dlg.UpdateButtons();
        dlg.Parts().pTool->SelChangeTab(MEAS_TAB_MEASUREMENT);
        return dlg;
    }

    QCheckBox* ScaleCheck() { return qobject_cast<QCheckBox*>(m_pDlg->Parts().pTool->GetDlgItem(IDC_CHECK_SCALE)); }

    // Presses the page's scale button and waits for the main window's answer.
    void PressScale(UINT nExpected)
    {
        ASSERT_TRUE(ScaleCheck()->isEnabled());
        ScaleCheck()->click();
        ASSERT_TRUE(WaitForMessage(nExpected));
    }

    // The row of the picture box holding the most scale-coloured pixels, and
    // that row's leftmost and rightmost of them.
    struct BAR {
        int y = -1, x0 = -1, x1 = -1, count = 0;
    };
    BAR FindBar()
    {
        QApplication::processEvents();
        const QImage shot = m_pDlg->Parts().pPicture->grab().toImage().convertToFormat(QImage::Format_RGB32);
        BAR best;
        for (int y = 0; y < shot.height(); ++y) {
            BAR row{y, -1, -1, 0};
            for (int x = 0; x < shot.width(); ++x) {
                if (shot.pixel(x, y) == qRgb(0, 255, 0)) {
                    row.x0 = row.x0 < 0 ? x : row.x0;
                    row.x1 = x;
                    ++row.count;
                }
            }
            if (row.count > best.count) {
                best = row;
            }
        }
        return best;
    }

    // Answers the next scale dialog: OK with x and corner radio nRadio, or
    // Cancel when x is empty.
    void AnswerScaleDialog(const QString& x, int nRadio)
    {
        WhenModal<CSetScaleDlg>([this, x, nRadio](CSetScaleDlg* pDlg) {
            ++m_nDialogs;
            m_UnitShown = qobject_cast<QLabel*>(pDlg->GetDlgItem(CSetScaleDlg::IDC_STATIC_SCALE_X_UNIT))->text();
            m_bToolEnabledInDialog = m_pDlg->Parts().pTool->isEnabled();
            if (!x.isEmpty()) {
                qobject_cast<QLineEdit*>(pDlg->GetDlgItem(CSetScaleDlg::IDC_EDIT_SCALE_X))->setText(x);
                qobject_cast<QAbstractButton*>(pDlg->GetDlgItem(nRadio))->click();
            }
            QTest::mouseClick(qobject_cast<QAbstractButton*>(pDlg->GetDlgItem(x.isEmpty() ? CSetScaleDlg::IDC_CANCEL
                                                                                          : CSetScaleDlg::IDC_OK)),
                              Qt::LeftButton);
        });
    }

    int m_nDialogs = 0;
    QString m_UnitShown;
    bool m_bToolEnabledInDialog = true;
};

TEST_F(ScaleBarTest, StoredLengthsShowAtOnceInEachCornerAtTheCalibratedLength)
{
    CPixmetraDlg& dlg = StartCalibrated();
    const CRgnDataCtrl& eng = dlg.Parts().pOverlay->Engine();
    ASSERT_TRUE(eng.IsCalibrationValid());
    ASSERT_DOUBLE_EQ(eng.GetRatio(), 1.0);
    const int W = dlg.Parts().pPicture->width(), H = dlg.Parts().pPicture->height();
    ASSERT_EQ(W, kWidth);
    ASSERT_EQ(H, kHeight);

    // 2.0 mm at 0.01 mm per pixel: 200 pixels, 30 pixels in from the corner.
    // A stored corner outside 0..3 reads as the default, lower right.
    struct CORNER {
        int nPos;
        int x0, x1, y;
    };
    const CORNER corners[] = {{0, 30, 230, 30},
                              {1, 30, 230, H - 30},
                              {2, W - 230, W - 30, 30},
                              {3, W - 230, W - 30, H - 30},
                              {7, W - 230, W - 30, H - 30},
                              {-2, W - 230, W - 30, H - 30}};
    for (const CORNER& c : corners) {
        SCOPED_TRACE(c.nPos);
        dlg.Parts().setting.DispScalPos = c.nPos;
        PressScale(539);
        EXPECT_TRUE(ScaleCheck()->isChecked());
        EXPECT_EQ(ScaleCheck()->toolTip(), GetProgramString(IDS_TIP_SCALE_HIDE));
        const BAR bar = FindBar();
        EXPECT_NEAR(bar.x0, c.x0, 1);
        EXPECT_NEAR(bar.x1, c.x1, 1);
        EXPECT_NEAR(bar.y, c.y, 1);
        EXPECT_GE(bar.count, 199);
        PressScale(541);
        EXPECT_EQ(FindBar().count, 0);
    }
    EXPECT_EQ(m_nDialogs, 0) << "stored lengths need no dialog";

    // Hiding takes the bar away even when its lengths no longer qualify.
    dlg.Parts().setting.DispScalPos = 0;
    PressScale(539);
    ASSERT_GT(FindBar().count, 0);
    dlg.Parts().setting.ScaleSizeX = -1.0;
    PressScale(541);
    EXPECT_FALSE(eng.m_bDispScale);
    EXPECT_EQ(FindBar().count, 0);
}

TEST_F(ScaleBarTest, DialogWhenNoLengthCancelUnchecksAndOkStoresTheAnswer)
{
    CPixmetraDlg& dlg = StartCalibrated();
    dlg.Parts().setting.ScaleSizeX = 0.0;

    AnswerScaleDialog(QString(), 0);
    PressScale(540);
    EXPECT_EQ(m_nDialogs, 1);
    EXPECT_EQ(m_UnitShown, CPixmetraApp::GetUnitName(1));
    EXPECT_FALSE(m_bToolEnabledInDialog);
    EXPECT_TRUE(dlg.Parts().pTool->isEnabled());
    EXPECT_FALSE(ScaleCheck()->isChecked());
    EXPECT_EQ(ScaleCheck()->toolTip(), GetProgramString(IDS_TIP_SCALE_SHOW));
    EXPECT_FALSE(dlg.Parts().pScaleBar->IsShown());
    EXPECT_EQ(FindBar().count, 0);

    // Asked each time: the answer is kept in the settings and drawn.
    dlg.Parts().setting.DispScaleKind = 1;
    AnswerScaleDialog(QStringLiteral("1.5"), CSetScaleDlg::IDC_RADIO_SCALE_UPPER_RIGHT);
    PressScale(539);
    EXPECT_EQ(m_nDialogs, 2);
    EXPECT_DOUBLE_EQ(dlg.Parts().setting.ScaleSizeX, 1.5);
    EXPECT_EQ(dlg.Parts().setting.DispScalPos, 2);
    EXPECT_TRUE(dlg.Parts().pScaleBar->IsShown());
    const BAR bar = FindBar();
    EXPECT_NEAR(bar.x1, kWidth - 30, 1);
    EXPECT_NEAR(bar.x0, kWidth - 30 - 150, 1);
    EXPECT_NEAR(bar.y, 30, 1);
}

} // namespace
