#include "DialogFixture.h"

#include "app/PixmetraApp.h"
#include "app/dialogs/NumberText.h"
#include "app/dialogs/SetAviSecDlg.h"
#include "app/dialogs/SetIntervalDlg.h"
#include "app/dialogs/SetLengthDlg.h"
#include "app/dialogs/SetScaleDlg.h"
#include "app/dialogs/SpinButtonCtrl.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QToolButton>

#include <limits>

namespace {

void Spin(const CParamDialog& dlg, int nID, bool bUp, int nTimes = 1)
{
    auto* p = qobject_cast<CSpinButtonCtrl*>(dlg.GetDlgItem(nID));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < nTimes; ++i) {
        QTest::mouseClick(bUp ? p->GetUpButton() : p->GetDownButton(), Qt::LeftButton);
    }
}

} // namespace

TEST(NumberText, LeadingNumbersAsTheFieldsReadThem)
{
    EXPECT_EQ(ParseLeadingInt(QString()), 0);
    EXPECT_EQ(ParseLeadingInt(QStringLiteral("abc")), 0);
    EXPECT_EQ(ParseLeadingInt(QStringLiteral("  42x")), 42);
    EXPECT_EQ(ParseLeadingInt(QStringLiteral("-17")), -17);
    EXPECT_EQ(ParseLeadingInt(QStringLiteral("+5")), 5);
    EXPECT_EQ(ParseLeadingInt(QStringLiteral("１２")), 0); // full-width digits are not numbers here
    EXPECT_EQ(ParseLeadingInt(QStringLiteral("99999999999999999999")), std::numeric_limits<int>::max());
    EXPECT_EQ(ParseLeadingInt(QStringLiteral("-99999999999999999999")), std::numeric_limits<int>::min());

    EXPECT_EQ(ParseLeadingDouble(QStringLiteral("abc")), 0.0);
    EXPECT_EQ(ParseLeadingDouble(QStringLiteral("2.5mm")), 2.5);
    EXPECT_EQ(ParseLeadingDouble(QStringLiteral(" .5")), 0.5);
    EXPECT_EQ(ParseLeadingDouble(QStringLiteral("3.")), 3.0);
    EXPECT_EQ(ParseLeadingDouble(QStringLiteral("-1.25")), -1.25);
    EXPECT_EQ(ParseLeadingDouble(QStringLiteral("1e3")), 1000.0);
    EXPECT_EQ(ParseLeadingDouble(QStringLiteral("1e")), 1.0);
    EXPECT_EQ(ParseLeadingDouble(QStringLiteral("1e999")), 0.0);
    EXPECT_EQ(ParseLeadingDouble(QStringLiteral("inf")), 0.0);
    EXPECT_EQ(ParseLeadingDouble(QStringLiteral("nan")), 0.0);
    EXPECT_EQ(ParseLeadingDouble(QStringLiteral(".")), 0.0);
}

TEST_F(DialogTest, IntervalDialogTakesCountOneAndRefusesZero)
{
    CSetIntervalDlg dlg;
    dlg.m_nIntervalMin = 0;
    dlg.m_nIntervalSec = 2;
    dlg.m_nIntervalCnt = 1;
    Show(dlg);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("連続保存パラメタ設定"));
    EXPECT_EQ(Text(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_MIN), QStringLiteral("0"));
    EXPECT_EQ(Text(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_SEC), QStringLiteral("2"));
    EXPECT_EQ(Text(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_CNT), QStringLiteral("1"));

    // 0 min 2 s is refused before the count is looked at.
    Click(dlg, CSetIntervalDlg::IDC_OK);
    ExpectOneBox(610, MB_ICONERROR);
    EXPECT_TRUE(dlg.isVisible());

    // Only text out of range is rewritten.
    Type(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_MIN, QStringLiteral("75"));
    EXPECT_EQ(Text(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_MIN), QStringLiteral("59"));
    Type(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_MIN, QString());
    EXPECT_EQ(Text(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_MIN), QString());
    Type(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_SEC, QStringLiteral("60"));
    EXPECT_EQ(Text(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_SEC), QStringLiteral("59"));
    Type(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_CNT, QStringLiteral("0"));
    EXPECT_EQ(Text(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_CNT), QStringLiteral("1"));
    Type(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_CNT, QStringLiteral("10000"));
    EXPECT_EQ(Text(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_CNT), QStringLiteral("9999"));
    Spin(dlg, CSetIntervalDlg::IDC_SPIN_INTERVAL_CNT, true);
    EXPECT_EQ(Text(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_CNT), QStringLiteral("9999"));

    // An emptied count reads as 0: refused with 611, the values kept.
    Type(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_CNT, QString());
    EXPECT_EQ(Text(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_CNT), QString());
    Click(dlg, CSetIntervalDlg::IDC_OK);
    ExpectOneBox(611, MB_ICONERROR);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.m_nIntervalCnt, 1);
    EXPECT_EQ(dlg.m_nIntervalSec, 2);

    // A count of 1 is taken; the spin stops at 1.
    Type(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_CNT, QStringLiteral("2"));
    Spin(dlg, CSetIntervalDlg::IDC_SPIN_INTERVAL_CNT, false, 3);
    EXPECT_EQ(Text(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_CNT), QStringLiteral("1"));
    Click(dlg, CSetIntervalDlg::IDC_OK);
    ExpectNoBox();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_nIntervalMin, 0);
    EXPECT_EQ(dlg.m_nIntervalSec, 59);
    EXPECT_EQ(dlg.m_nIntervalCnt, 1);
    EXPECT_EQ(CountLogLines(QStringLiteral("[SETINTERVALDLG]OnBnClickedOk()")), 3);

    // Cancel keeps what the caller had.
    Show(dlg);
    Type(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_MIN, QStringLiteral("5"));
    Click(dlg, CSetIntervalDlg::IDC_CANCEL);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(dlg.m_nIntervalMin, 0);
}

TEST_F(DialogTest, VideoLengthStaysWithinOneTo120Seconds)
{
    CSetAviSecDlg dlg;
    dlg.m_nAviSec = 30;
    Show(dlg);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("動画保存パラメタ設定"));
    EXPECT_EQ(Text(dlg, CSetAviSecDlg::IDC_EDIT_AVI_SEC), QStringLiteral("30"));

    Type(dlg, CSetAviSecDlg::IDC_EDIT_AVI_SEC, QStringLiteral("500"));
    EXPECT_EQ(Text(dlg, CSetAviSecDlg::IDC_EDIT_AVI_SEC), QStringLiteral("120"));
    Spin(dlg, CSetAviSecDlg::IDC_SPIN_AVI_SEC, true);
    EXPECT_EQ(Text(dlg, CSetAviSecDlg::IDC_EDIT_AVI_SEC), QStringLiteral("120"));
    // Nothing below one second: 0 and an emptied field become 1.
    Type(dlg, CSetAviSecDlg::IDC_EDIT_AVI_SEC, QStringLiteral("0"));
    EXPECT_EQ(Text(dlg, CSetAviSecDlg::IDC_EDIT_AVI_SEC), QStringLiteral("1"));
    Type(dlg, CSetAviSecDlg::IDC_EDIT_AVI_SEC, QString());
    EXPECT_EQ(Text(dlg, CSetAviSecDlg::IDC_EDIT_AVI_SEC), QStringLiteral("1"));
    Spin(dlg, CSetAviSecDlg::IDC_SPIN_AVI_SEC, false);
    EXPECT_EQ(Text(dlg, CSetAviSecDlg::IDC_EDIT_AVI_SEC), QStringLiteral("1"));
    Spin(dlg, CSetAviSecDlg::IDC_SPIN_AVI_SEC, true, 4);
    EXPECT_EQ(Text(dlg, CSetAviSecDlg::IDC_EDIT_AVI_SEC), QStringLiteral("5"));

    Click(dlg, CSetAviSecDlg::IDC_OK);
    ExpectNoBox();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_nAviSec, 5);
    EXPECT_EQ(CountLogLines(QStringLiteral("[SETAVISECDLG]OnBnClickedOk()")), 1);

    // A caller's 0 is shown as the shortest length and returned as 1.
    dlg.m_nAviSec = 0;
    Show(dlg);
    EXPECT_EQ(Text(dlg, CSetAviSecDlg::IDC_EDIT_AVI_SEC), QStringLiteral("1"));
    Click(dlg, CSetAviSecDlg::IDC_OK);
    EXPECT_EQ(dlg.m_nAviSec, 1);

    // Esc keeps the value.
    dlg.m_nAviSec = 60;
    Show(dlg);
    Type(dlg, CSetAviSecDlg::IDC_EDIT_AVI_SEC, QStringLiteral("7"));
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(dlg.m_nAviSec, 60);
}

TEST_F(DialogTest, ReferenceLengthRefusesWhatIsNotAPositiveNumber)
{
    CSetLengthDlg dlg;
    dlg.m_UnitText = QStringLiteral("mm");
    Show(dlg);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("基準長設定"));
    EXPECT_EQ(Item<QLabel>(dlg, CSetLengthDlg::IDC_STATIC_LENGTH_UNIT)->text(), QStringLiteral("mm"));
    EXPECT_EQ(Text(dlg, CSetLengthDlg::IDC_EDIT_LENGTH), QString());

    for (const char* pText : {"abc", "", "0", "-1", "1e999", "０．５"}) {
        Type(dlg, CSetLengthDlg::IDC_EDIT_LENGTH, QString::fromUtf8(pText));
        Click(dlg, CSetLengthDlg::IDC_OK);
        ExpectOneBox(580, MB_ICONWARNING);
        EXPECT_TRUE(dlg.isVisible()) << pText;
        EXPECT_EQ(dlg.m_dReferenceLength, 0.0) << pText;
    }
    Type(dlg, CSetLengthDlg::IDC_EDIT_LENGTH, QStringLiteral("2.5mm"));
    Click(dlg, CSetLengthDlg::IDC_OK);
    ExpectNoBox();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_dReferenceLength, 2.5);

    // Cancel keeps the caller's value.
    Show(dlg);
    EXPECT_EQ(Text(dlg, CSetLengthDlg::IDC_EDIT_LENGTH), QStringLiteral("2.5"));
    Type(dlg, CSetLengthDlg::IDC_EDIT_LENGTH, QStringLiteral("9"));
    Click(dlg, CSetLengthDlg::IDC_CANCEL);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(dlg.m_dReferenceLength, 2.5);
}

TEST_F(DialogTest, ScaleDialogLengthsPositionAndYCheck)
{
    CSetScaleDlg dlg;
    dlg.m_nScalePos = 2;
    dlg.m_dScaleSizeX = 100.0;
    dlg.m_dScaleSizeY = 0.0;
    dlg.m_nUnitKind = 1;
    Show(dlg);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("スケール表示設定"));
    EXPECT_TRUE(Item<QRadioButton>(dlg, CSetScaleDlg::IDC_RADIO_SCALE_UPPER_RIGHT)->isChecked());
    EXPECT_EQ(Text(dlg, CSetScaleDlg::IDC_EDIT_SCALE_X), QStringLiteral("100.0"));
    EXPECT_EQ(Text(dlg, CSetScaleDlg::IDC_EDIT_SCALE_Y), QStringLiteral("0.0"));
    EXPECT_EQ(Item<QLabel>(dlg, CSetScaleDlg::IDC_STATIC_SCALE_X_UNIT)->text(), QStringLiteral("mm"));
    EXPECT_EQ(Item<QLabel>(dlg, CSetScaleDlg::IDC_STATIC_SCALE_Y_UNIT)->text(), QStringLiteral("mm"));
    // Y edit and its unit only with the check.
    QCheckBox* pY = Item<QCheckBox>(dlg, CSetScaleDlg::IDC_CHECK_SCALE_Y);
    EXPECT_FALSE(pY->isChecked());
    EXPECT_FALSE(Enabled(dlg, CSetScaleDlg::IDC_EDIT_SCALE_Y));
    EXPECT_FALSE(Enabled(dlg, CSetScaleDlg::IDC_STATIC_SCALE_Y_UNIT));
    Click(dlg, CSetScaleDlg::IDC_CHECK_SCALE_Y);
    EXPECT_TRUE(Enabled(dlg, CSetScaleDlg::IDC_EDIT_SCALE_Y));
    EXPECT_TRUE(Enabled(dlg, CSetScaleDlg::IDC_STATIC_SCALE_Y_UNIT));

    // Checked with Y 0: refused. X 0: refused.
    Click(dlg, CSetScaleDlg::IDC_OK);
    ExpectOneBox(613, MB_ICONERROR);
    Type(dlg, CSetScaleDlg::IDC_EDIT_SCALE_Y, QStringLiteral("50"));
    Type(dlg, CSetScaleDlg::IDC_EDIT_SCALE_X, QStringLiteral("0"));
    Click(dlg, CSetScaleDlg::IDC_OK);
    ExpectOneBox(613, MB_ICONERROR);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.m_dScaleSizeX, 100.0);

    // Unchecked: Y is 0 whatever the edit holds.
    Type(dlg, CSetScaleDlg::IDC_EDIT_SCALE_X, QStringLiteral("12.5"));
    Click(dlg, CSetScaleDlg::IDC_CHECK_SCALE_Y);
    EXPECT_FALSE(Enabled(dlg, CSetScaleDlg::IDC_EDIT_SCALE_Y));
    Click(dlg, CSetScaleDlg::IDC_RADIO_SCALE_LOWER_LEFT);
    Click(dlg, CSetScaleDlg::IDC_OK);
    ExpectNoBox();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_nScalePos, 1);
    EXPECT_EQ(dlg.m_dScaleSizeX, 12.5);
    EXPECT_EQ(dlg.m_dScaleSizeY, 0.0);
    EXPECT_EQ(CountLogLines(QStringLiteral("[SETSCALEDLG]OnBnClickedOk()")), 3);

    // A Y length shows the check set; with it both lengths come back.
    dlg.m_dScaleSizeY = 7.24;
    dlg.m_nUnitKind = 0;
    Show(dlg);
    EXPECT_TRUE(pY->isChecked());
    EXPECT_TRUE(Enabled(dlg, CSetScaleDlg::IDC_EDIT_SCALE_Y));
    EXPECT_EQ(Text(dlg, CSetScaleDlg::IDC_EDIT_SCALE_Y), QStringLiteral("7.2"));
    EXPECT_EQ(Item<QLabel>(dlg, CSetScaleDlg::IDC_STATIC_SCALE_Y_UNIT)->text(), CPixmetraApp::GetUnitName(0));
    Click(dlg, CSetScaleDlg::IDC_RADIO_SCALE_LOWER_RIGHT);
    Click(dlg, CSetScaleDlg::IDC_OK);
    EXPECT_EQ(dlg.m_nScalePos, 3);
    EXPECT_EQ(dlg.m_dScaleSizeY, 7.2);

    // Esc keeps every value.
    Show(dlg);
    Type(dlg, CSetScaleDlg::IDC_EDIT_SCALE_X, QStringLiteral("99"));
    Click(dlg, CSetScaleDlg::IDC_RADIO_SCALE_UPPER_LEFT);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(dlg.m_nScalePos, 3);
    EXPECT_EQ(dlg.m_dScaleSizeX, 12.5);
}
