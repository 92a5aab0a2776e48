#include "DialogFixture.h"

#include "app/dialogs/SaveContinueSettingDlg.h"
#include "app/dialogs/SpinButtonCtrl.h"

#include <QToolButton>

namespace {

using Dlg = CSaveContinueSettingDlg;

SAVE_CONTINUE_SETTING Block(int nMode, int nIntervalKind, int nMin, int nSec, int nCnt, int nFolderKind,
                            const QString& folder, int nSubFolder)
{
    return {nMode, nIntervalKind, nMin, nSec, nCnt, nFolderKind, folder, nSubFolder};
}

bool Same(const SAVE_CONTINUE_SETTING& a, const SAVE_CONTINUE_SETTING& b)
{
    return a.SaveContinueMode == b.SaveContinueMode && a.SaveIntervalKind == b.SaveIntervalKind &&
           a.IntervelMin == b.IntervelMin && a.IntervalSec == b.IntervalSec && a.IntervalCnt == b.IntervalCnt &&
           a.SaveFolderKind == b.SaveFolderKind && a.SaveFolderPath == b.SaveFolderPath &&
           a.SubFolderKind == b.SubFolderKind;
}

bool Checked(const CParamDialog& dlg, int nID)
{
    auto* p = qobject_cast<QAbstractButton*>(dlg.GetDlgItem(nID));
    return p != nullptr && p->isChecked();
}

void Spin(const CParamDialog& dlg, int nID, bool bUp, int nTimes = 1)
{
    auto* p = qobject_cast<CSpinButtonCtrl*>(dlg.GetDlgItem(nID));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < nTimes; ++i) {
        QTest::mouseClick(bUp ? p->GetUpButton() : p->GetDownButton(), Qt::LeftButton);
    }
}

const int kIntervalControls[] = {
    Dlg::IDC_STATIC_INTERVAL,   Dlg::IDC_EDIT_INTERVAL_MIN, Dlg::IDC_SPIN_INTERVAL_MIN, Dlg::IDC_STATIC_MIN_UNIT,
    Dlg::IDC_EDIT_INTERVAL_SEC, Dlg::IDC_SPIN_INTERVAL_SEC, Dlg::IDC_STATIC_SEC_UNIT,   Dlg::IDC_STATIC_INTERVAL_NOTE,
    Dlg::IDC_STATIC_COUNT,      Dlg::IDC_EDIT_INTERVAL_CNT, Dlg::IDC_SPIN_INTERVAL_CNT, Dlg::IDC_STATIC_COUNT_UNIT,
    Dlg::IDC_STATIC_COUNT_NOTE,
};
const int kFolderControls[] = {
    Dlg::IDC_STATIC_FOLDER,        Dlg::IDC_BTN_SEL_SAVE_FOLDER,    Dlg::IDC_STATIC_SUBFOLDER,
    Dlg::IDC_RADIO_SUBFOLDER_NONE, Dlg::IDC_RADIO_SUBFOLDER_NUMBER, Dlg::IDC_RADIO_SUBFOLDER_DATETIME,
};

} // namespace

TEST_F(DialogTest, SaveContinueShowsBlockAndCorrectsNumbersAsTyped)
{
    SAVE_CONTINUE_SETTING block = Block(0, 0, 1, 30, 100, 0, QStringLiteral("/data/"), 2);
    const SAVE_CONTINUE_SETTING original = block;
    Dlg dlg;
    dlg.SetSaveContinueSetting(&block);
    Show(dlg);

    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("連続保存パラメタ設定"));
    EXPECT_TRUE(Checked(dlg, Dlg::IDC_RADIO_SAVE_CONTINUE_TIME));
    EXPECT_TRUE(Checked(dlg, Dlg::IDC_RADIO_INTERVAL_FIXED));
    EXPECT_TRUE(Checked(dlg, Dlg::IDC_RADIO_FOLDER_FIXED));
    EXPECT_TRUE(Checked(dlg, Dlg::IDC_RADIO_SUBFOLDER_DATETIME));
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_MIN), QStringLiteral("1"));
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_SEC), QStringLiteral("30"));
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_CNT), QStringLiteral("100"));
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_SAVE_FOLDER), QStringLiteral("/data/"));
    EXPECT_TRUE(Item<QLineEdit>(dlg, Dlg::IDC_EDIT_SAVE_FOLDER)->isReadOnly());
    // The way out is "閉じる": no cancel button, no close button in the title.
    EXPECT_FALSE(Item<QWidget>(dlg, Dlg::IDC_CANCEL)->isVisible());
    EXPECT_FALSE(dlg.windowFlags().testFlag(Qt::WindowCloseButtonHint));

    // Corrections on every change of the text.
    Type(dlg, Dlg::IDC_EDIT_INTERVAL_MIN, QStringLiteral("75"));
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_MIN), QStringLiteral("59"));
    Type(dlg, Dlg::IDC_EDIT_INTERVAL_SEC, QStringLiteral("abc"));
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_SEC), QStringLiteral("0"));
    Type(dlg, Dlg::IDC_EDIT_INTERVAL_SEC, QStringLiteral("-"));
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_SEC), QStringLiteral("0"));
    Type(dlg, Dlg::IDC_EDIT_INTERVAL_CNT, QString());
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_CNT), QStringLiteral("2"));
    QLineEdit* pCount = Item<QLineEdit>(dlg, Dlg::IDC_EDIT_INTERVAL_CNT);
    pCount->end(false);
    QTest::keyClick(pCount, Qt::Key_Backspace);
    EXPECT_EQ(pCount->text(), QStringLiteral("2"));
    Type(dlg, Dlg::IDC_EDIT_INTERVAL_CNT, QStringLiteral("123456"));
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_CNT), QStringLiteral("9999"));
    Type(dlg, Dlg::IDC_EDIT_INTERVAL_CNT, QStringLiteral("99999999999999999999"));
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_CNT), QStringLiteral("9999"));

    // Spin arrows step by one and stop at the ends.
    Spin(dlg, Dlg::IDC_SPIN_INTERVAL_MIN, true);
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_MIN), QStringLiteral("59"));
    Spin(dlg, Dlg::IDC_SPIN_INTERVAL_MIN, false, 2);
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_MIN), QStringLiteral("57"));
    Spin(dlg, Dlg::IDC_SPIN_INTERVAL_SEC, false);
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_SEC), QStringLiteral("0"));
    Spin(dlg, Dlg::IDC_SPIN_INTERVAL_SEC, true, 3);
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_SEC), QStringLiteral("3"));
    Spin(dlg, Dlg::IDC_SPIN_INTERVAL_CNT, true);
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_CNT), QStringLiteral("9999"));
    Type(dlg, Dlg::IDC_EDIT_INTERVAL_CNT, QStringLiteral("3"));
    Spin(dlg, Dlg::IDC_SPIN_INTERVAL_CNT, false, 5);
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_CNT), QStringLiteral("2"));
    // The arrow keys in the field step as well.
    QTest::keyClick(pCount, Qt::Key_Up);
    EXPECT_EQ(pCount->text(), QStringLiteral("3"));

    // Nothing reaches the block before "閉じる".
    EXPECT_TRUE(Same(block, original));
    Click(dlg, Dlg::IDC_RADIO_SUBFOLDER_NUMBER);
    Click(dlg, Dlg::IDC_OK);
    ExpectNoBox();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(Same(block, Block(0, 0, 57, 3, 3, 0, QStringLiteral("/data/"), 1)));
}

TEST_F(DialogTest, SaveContinueRefusedCloseKeepsBlockAndDialog)
{
    SAVE_CONTINUE_SETTING block = Block(0, 0, 0, 10, 5, 0, QStringLiteral("/data/"), 0);
    const SAVE_CONTINUE_SETTING original = block;
    Dlg dlg;
    dlg.SetSaveContinueSetting(&block);
    Show(dlg);

    // 0 min 2 s: too short; the dialog stays and the block is untouched.
    Type(dlg, Dlg::IDC_EDIT_INTERVAL_SEC, QStringLiteral("2"));
    Type(dlg, Dlg::IDC_EDIT_INTERVAL_CNT, QStringLiteral("40"));
    Click(dlg, Dlg::IDC_OK);
    ExpectOneBox(610, MB_ICONERROR);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(Same(block, original));
    // What was typed stays in the fields for the user to mend.
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_SEC), QStringLiteral("2"));
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_CNT), QStringLiteral("40"));

    // 1 min 0 s is long enough; an empty folder is refused next.
    Type(dlg, Dlg::IDC_EDIT_INTERVAL_MIN, QStringLiteral("1"));
    Type(dlg, Dlg::IDC_EDIT_INTERVAL_SEC, QStringLiteral("0"));
    dlg.findChild<QLineEdit*>(QStringLiteral("IDC_EDIT_SAVE_FOLDER"))->setText(QString());
    Click(dlg, Dlg::IDC_OK);
    ExpectOneBox(612, MB_ICONERROR);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(Same(block, original));

    // Esc after refused checks still leaves the block as it was.
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(Same(block, original));

    // Shown again, the dialog starts from the block, not from the last typing.
    Show(dlg);
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_INTERVAL_SEC), QStringLiteral("10"));
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_SAVE_FOLDER), QStringLiteral("/data/"));
    // 0 min 3 s is the shortest interval taken.
    Type(dlg, Dlg::IDC_EDIT_INTERVAL_SEC, QStringLiteral("3"));
    Click(dlg, Dlg::IDC_OK);
    ExpectNoBox();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(Same(block, Block(0, 0, 0, 3, 5, 0, QStringLiteral("/data/"), 0)));
}

TEST_F(DialogTest, SaveContinueEnablingFollowsEveryRadio)
{
    // Click mode with an interval that would be refused: no interval check.
    SAVE_CONTINUE_SETTING block = Block(1, 0, 0, 0, 2, 1, QString(), 0);
    Dlg dlg;
    dlg.SetSaveContinueSetting(&block);
    Show(dlg);
    EXPECT_TRUE(Checked(dlg, Dlg::IDC_RADIO_SAVE_CONTINUE_CLICK));
    EXPECT_TRUE(Checked(dlg, Dlg::IDC_RADIO_FOLDER_ASK));
    EXPECT_FALSE(Enabled(dlg, Dlg::IDC_RADIO_INTERVAL_FIXED));
    EXPECT_FALSE(Enabled(dlg, Dlg::IDC_RADIO_INTERVAL_ASK));
    for (const int nID : kIntervalControls) {
        EXPECT_FALSE(Enabled(dlg, nID)) << nID;
    }
    for (const int nID : kFolderControls) {
        EXPECT_FALSE(Enabled(dlg, nID)) << nID;
    }

    // Timed mode: the interval kind and, with kind 0, the interval controls.
    Click(dlg, Dlg::IDC_RADIO_SAVE_CONTINUE_TIME);
    EXPECT_TRUE(Enabled(dlg, Dlg::IDC_RADIO_INTERVAL_FIXED));
    EXPECT_TRUE(Enabled(dlg, Dlg::IDC_RADIO_INTERVAL_ASK));
    for (const int nID : kIntervalControls) {
        EXPECT_TRUE(Enabled(dlg, nID)) << nID;
    }
    // Interval asked at each start: the interval controls go off.
    Click(dlg, Dlg::IDC_RADIO_INTERVAL_ASK);
    EXPECT_TRUE(Enabled(dlg, Dlg::IDC_RADIO_INTERVAL_FIXED));
    for (const int nID : kIntervalControls) {
        EXPECT_FALSE(Enabled(dlg, nID)) << nID;
    }
    Click(dlg, Dlg::IDC_RADIO_INTERVAL_FIXED);
    for (const int nID : kIntervalControls) {
        EXPECT_TRUE(Enabled(dlg, nID)) << nID;
    }
    // A fixed folder turns the folder controls on, and off again.
    Click(dlg, Dlg::IDC_RADIO_FOLDER_FIXED);
    for (const int nID : kFolderControls) {
        EXPECT_TRUE(Enabled(dlg, nID)) << nID;
    }
    Click(dlg, Dlg::IDC_RADIO_FOLDER_ASK);
    for (const int nID : kFolderControls) {
        EXPECT_FALSE(Enabled(dlg, nID)) << nID;
    }
    // Timed again with 0 min 0 s: refused; back to click mode: accepted,
    // and the interval fields are stored as they stand.
    Click(dlg, Dlg::IDC_OK);
    ExpectOneBox(610, MB_ICONERROR);
    Click(dlg, Dlg::IDC_RADIO_SAVE_CONTINUE_CLICK);
    EXPECT_FALSE(Enabled(dlg, Dlg::IDC_RADIO_INTERVAL_FIXED));
    for (const int nID : kIntervalControls) {
        EXPECT_FALSE(Enabled(dlg, nID)) << nID;
    }
    Click(dlg, Dlg::IDC_OK);
    ExpectNoBox();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(Same(block, Block(1, 0, 0, 0, 2, 1, QString(), 0)));

    // Interval kind 1 in timed mode skips the interval check too.
    block = Block(0, 1, 0, 0, 2, 1, QString(), 0);
    Show(dlg);
    Click(dlg, Dlg::IDC_OK);
    ExpectNoBox();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(DialogTest, SaveContinueFolderThroughTheFolderBrowser)
{
    SAVE_CONTINUE_SETTING block = Block(0, 0, 1, 0, 10, 0, QStringLiteral("/old/"), 0);
    Dlg dlg;
    dlg.SetSaveContinueSetting(&block);
    Show(dlg);

    // Cancelled: the folder stays.
    folders.answer.clear();
    Click(dlg, Dlg::IDC_BTN_SEL_SAVE_FOLDER);
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_SAVE_FOLDER), QStringLiteral("/old/"));
    // Chosen: it replaces the folder, with a trailing separator; the browser
    // opens with no initial folder.
    const QString chosen = QDir(tmp.path()).filePath(QStringLiteral("series"));
    folders.answer = chosen;
    Click(dlg, Dlg::IDC_BTN_SEL_SAVE_FOLDER);
    EXPECT_EQ(Text(dlg, Dlg::IDC_EDIT_SAVE_FOLDER), chosen + QDir::separator());
    EXPECT_EQ(folders.initialFolders, QStringList({QString(), QString()}));
    EXPECT_EQ(CountLogLines(QStringLiteral("[SYSTEMDLG]OnBnClickedBtnSelSaveFolder()")), 2);
    EXPECT_EQ(block.SaveFolderPath, QStringLiteral("/old/"));

    Click(dlg, Dlg::IDC_OK);
    ExpectNoBox();
    EXPECT_EQ(block.SaveFolderPath, chosen + QDir::separator());
}
