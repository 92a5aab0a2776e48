// The small number and text dialogs: each field held within its limits as the
// user types, and OK refusing or taking what was entered.
#include "DialogFixture.h"

#include "app/dialogs/DialogStrings.h"
#include "app/dialogs/SetAviSecDlg.h"
#include "app/dialogs/SetIntervalDlg.h"
#include "app/dialogs/SetLengthDlg.h"
#include "app/dialogs/SetScaleDlg.h"
#include "app/dialogs/SetTextDlg.h"

#include <QCheckBox>

#include <functional>
#include <memory>

namespace {

using MAKE = std::function<std::unique_ptr<CFieldFormDlg>()>;

std::unique_ptr<CFieldFormDlg> Interval()
{
    auto p = std::make_unique<CSetIntervalDlg>();
    p->m_nIntervalMin = 1;
    return p;
}

std::unique_ptr<CFieldFormDlg> Scale()
{
    auto p = std::make_unique<CSetScaleDlg>();
    p->m_dScaleSizeX = 1.0;
    p->m_dScaleSizeY = 2.0;
    return p;
}

MAKE Make(std::unique_ptr<CFieldFormDlg> (*pfn)()) { return pfn; }

template <typename T>
MAKE Make()
{
    return [] { return std::unique_ptr<CFieldFormDlg>(std::make_unique<T>()); };
}

void Type(CFieldFormDlg& dlg, int nID, const QString& text)
{
    auto* p = qobject_cast<QLineEdit*>(dlg.GetDlgItem(nID));
    ASSERT_NE(p, nullptr) << "control " << nID;
    p->setText(text);
}

struct TYPED_CASE {
    MAKE make;
    int nEditID;
    const char* pszTyped;
    const char* pszShown;
};

// Each end of each number field, and what an emptied field shows.
const TYPED_CASE kTyped[] = {
    {Make(Interval), CSetIntervalDlg::IDC_EDIT_INTERVAL_MIN, "75", "59"},
    {Make(Interval), CSetIntervalDlg::IDC_EDIT_INTERVAL_MIN, "-1", "0"},
    {Make(Interval), CSetIntervalDlg::IDC_EDIT_INTERVAL_MIN, "", ""},
    {Make(Interval), CSetIntervalDlg::IDC_EDIT_INTERVAL_SEC, "60", "59"},
    {Make(Interval), CSetIntervalDlg::IDC_EDIT_INTERVAL_SEC, "59", "59"},
    {Make(Interval), CSetIntervalDlg::IDC_EDIT_INTERVAL_CNT, "0", "1"},
    {Make(Interval), CSetIntervalDlg::IDC_EDIT_INTERVAL_CNT, "10000", "9999"},
    {Make(Interval), CSetIntervalDlg::IDC_EDIT_INTERVAL_CNT, "9999", "9999"},
    {Make(Interval), CSetIntervalDlg::IDC_EDIT_INTERVAL_CNT, "", ""},
    {Make<CSetAviSecDlg>(), CSetAviSecDlg::IDC_EDIT_AVI_SEC, "500", "120"},
    {Make<CSetAviSecDlg>(), CSetAviSecDlg::IDC_EDIT_AVI_SEC, "0", "0"},
    {Make<CSetAviSecDlg>(), CSetAviSecDlg::IDC_EDIT_AVI_SEC, "", ""},
};

struct OK_CASE {
    MAKE make;
    std::function<void(CFieldFormDlg&)> enter;
    UINT nMessageID; // 0: taken
    UINT nIcon;
    std::function<void(CFieldFormDlg&)> expectTaken;
};

template <typename T>
T& As(CFieldFormDlg& dlg)
{
    return static_cast<T&>(dlg);
}

// The interval's minutes and seconds typed in.
std::function<void(CFieldFormDlg&)> TypeInterval(const char* pszMin, const char* pszSec)
{
    return [=](CFieldFormDlg& d) {
        Type(d, CSetIntervalDlg::IDC_EDIT_INTERVAL_MIN, pszMin);
        Type(d, CSetIntervalDlg::IDC_EDIT_INTERVAL_SEC, pszSec);
    };
}

const OK_CASE kOk[] = {
    {Make(Interval), TypeInterval("0", "2"), IDS_INTERVAL_INVALID, MB_ICONERROR, nullptr},
    {Make(Interval), [](CFieldFormDlg& d) { Type(d, CSetIntervalDlg::IDC_EDIT_INTERVAL_CNT, ""); },
     IDS_COUNT_MISSING, MB_ICONERROR, nullptr},
    {Make(Interval), TypeInterval("0", "3"), 0, 0,
     [](CFieldFormDlg& d) {
         auto& dlg = As<CSetIntervalDlg>(d);
         EXPECT_EQ(dlg.m_nIntervalMin, 0);
         EXPECT_EQ(dlg.m_nIntervalSec, 3);
         EXPECT_EQ(dlg.m_nIntervalCnt, 1);
     }},
    {Make<CSetLengthDlg>(), [](CFieldFormDlg& d) { Type(d, CSetLengthDlg::IDC_EDIT_LENGTH, "abc"); },
     IDS_NUMBER_INVALID, MB_ICONWARNING, nullptr},
    {Make<CSetLengthDlg>(), [](CFieldFormDlg& d) { Type(d, CSetLengthDlg::IDC_EDIT_LENGTH, "2.5mm"); }, 0, 0,
     [](CFieldFormDlg& d) { EXPECT_EQ(As<CSetLengthDlg>(d).m_dReferenceLength, 2.5); }},
    {Make(Scale), [](CFieldFormDlg& d) { Type(d, CSetScaleDlg::IDC_EDIT_SCALE_X, "0"); },
     IDS_SCALE_LENGTH_INVALID, MB_ICONERROR, nullptr},
    {Make(Scale), [](CFieldFormDlg& d) { Type(d, CSetScaleDlg::IDC_EDIT_SCALE_Y, "-1"); },
     IDS_SCALE_LENGTH_INVALID, MB_ICONERROR, nullptr},
    {Make(Scale),
     [](CFieldFormDlg& d) {
         Type(d, CSetScaleDlg::IDC_EDIT_SCALE_Y, "abc");
         qobject_cast<QCheckBox*>(d.GetDlgItem(CSetScaleDlg::IDC_CHECK_SCALE_Y))->setChecked(false);
         qobject_cast<QAbstractButton*>(d.GetDlgItem(CSetScaleDlg::IDC_RADIO_SCALE_LOWER_RIGHT))->setChecked(true);
     },
     0, 0,
     [](CFieldFormDlg& d) {
         auto& dlg = As<CSetScaleDlg>(d);
         EXPECT_EQ(dlg.m_nScalePos, 3);
         EXPECT_EQ(dlg.m_dScaleSizeX, 1.0);
         EXPECT_EQ(dlg.m_dScaleSizeY, 0.0);
         EXPECT_FALSE(d.GetDlgItem(CSetScaleDlg::IDC_EDIT_SCALE_Y)->isEnabled());
     }},
    {Make<CSetTextDlg>(), nullptr, IDS_TEXT_MISSING, MB_ICONERROR, nullptr},
    {Make<CSetTextDlg>(), [](CFieldFormDlg& d) { Type(d, CSetTextDlg::IDC_EDIT_TEXT, QString(51, u'字')); },
     IDS_TEXT_TOO_LONG, MB_ICONERROR, nullptr},
    {Make<CSetTextDlg>(),
     [](CFieldFormDlg& d) { Type(d, CSetTextDlg::IDC_EDIT_TEXT, QString(50, u'字')); }, 0, 0,
     [](CFieldFormDlg& d) { EXPECT_EQ(As<CSetTextDlg>(d).m_Text, QString(50, u'字')); }},
    {Make<CSetAviSecDlg>(), [](CFieldFormDlg& d) { Type(d, CSetAviSecDlg::IDC_EDIT_AVI_SEC, "7"); }, 0, 0,
     [](CFieldFormDlg& d) { EXPECT_EQ(As<CSetAviSecDlg>(d).m_nAviSec, 7); }},
    {Make<CSetAviSecDlg>(), [](CFieldFormDlg& d) { Type(d, CSetAviSecDlg::IDC_EDIT_AVI_SEC, "0"); }, 0, 0,
     [](CFieldFormDlg& d) { EXPECT_EQ(As<CSetAviSecDlg>(d).m_nAviSec, 0); }},
};

} // namespace

TEST_F(DialogTest, NumberFieldsStayWithinTheirLimits)
{
    for (const TYPED_CASE& c : kTyped) {
        SCOPED_TRACE(testing::Message() << "control " << c.nEditID << " typed " << c.pszTyped);
        const std::unique_ptr<CFieldFormDlg> pDlg = c.make();
        Show(*pDlg);
        Type(*pDlg, c.nEditID, QString::fromUtf8(c.pszTyped));
        EXPECT_EQ(Text(*pDlg, c.nEditID), QString::fromUtf8(c.pszShown));
    }
}

TEST_F(DialogTest, OkRefusesWithItsMessageOrTakesTheValues)
{
    int nCase = 0;
    for (const OK_CASE& c : kOk) {
        SCOPED_TRACE(testing::Message() << "case " << nCase++);
        const std::unique_ptr<CFieldFormDlg> pDlg = c.make();
        Show(*pDlg);
        if (c.enter) {
            c.enter(*pDlg);
        }
        Click(*pDlg, CFieldFormDlg::IDC_OK);
        if (c.nMessageID != 0) {
            ExpectOneBox(c.nMessageID, c.nIcon);
            EXPECT_TRUE(pDlg->isVisible());
            continue;
        }
        EXPECT_TRUE(boxes.Texts.empty());
        EXPECT_EQ(pDlg->result(), QDialog::Accepted);
        c.expectTaken(*pDlg);
    }
}

TEST_F(DialogTest, OkIsLoggedOncePerClickAndCancelKeepsTheCallersValue)
{
    CSetIntervalDlg dlg;
    Show(dlg);
    Type(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_MIN, QStringLiteral("5"));
    Click(dlg, CFieldFormDlg::IDC_CANCEL);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(dlg.m_nIntervalMin, 0);
    Show(dlg);
    EXPECT_EQ(Text(dlg, CSetIntervalDlg::IDC_EDIT_INTERVAL_MIN), QStringLiteral("0"));
    Click(dlg, CFieldFormDlg::IDC_OK);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(CountLogLines(QStringLiteral("[SETINTERVALDLG]OnBnClickedOk()")), 1);
}
