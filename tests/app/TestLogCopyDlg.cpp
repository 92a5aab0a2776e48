// The log copy dialog: the folder the log is written to is shown and reaches the chosen
// destination with the log closed around the copy, a destination inside the
// log folder is refused untouched, and the retention choice comes back.
#include "DialogFixture.h"

#include "app/dialogs/DialogStrings.h"
#include "app/dialogs/LogCopyDlg.h"

TEST_F(DialogTest, LogCopyCopiesTheLogInUseAndRefusesItsOwnFolder)
{
    QTemporaryDir dest;
    ASSERT_TRUE(dest.isValid());
    WriteLog(QStringLiteral("before the copy"));
    CLogCopyDlg dlg;
    // The configured folder is gone; the log is really written in tmp.
    dlg.SetLog(&log, tmp.path() + QStringLiteral("/NoSuchLog/"));
    Show(dlg);
    EXPECT_EQ(Text(dlg, CLogCopyDlg::IDC_EDIT_LOG_FOLDER), tmp.path() + QLatin1Char('/'));

    Click(dlg, CLogCopyDlg::IDC_BTN_START_COPY);
    ExpectOneBox(IDS_SELECT_COPY_TO, MB_ICONWARNING);

    folders.Folder = dest.path();
    Click(dlg, CLogCopyDlg::IDC_BTN_SEL_COPY_TO_FOLDER);
    EXPECT_EQ(Text(dlg, CLogCopyDlg::IDC_EDIT_COPY_TO_FOLDER), dest.path() + QLatin1Char('/'));
    Click(dlg, CLogCopyDlg::IDC_BTN_START_COPY);
    ExpectOneBox(IDS_LOG_COPIED, MB_ICONINFORMATION);
    const QString name = QFileInfo(log.GetFilePath()).fileName();
    QFile copy(dest.path() + QStringLiteral("/Log/") + name);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    const QString copied = QString::fromUtf8(copy.readAll());
    EXPECT_TRUE(copied.contains(QStringLiteral("before the copy")));
    EXPECT_TRUE(copied.trimmed().split(QLatin1Char('\n')).last().contains(QStringLiteral("[LOG]CloseForReopen()")));
    // The log goes on in the same file.
    WriteLog(QStringLiteral("after the copy"));
    EXPECT_EQ(CountLogLines(QStringLiteral("after the copy")), 1);

    // A folder inside the log folder would receive its own copy: refused, the log untouched.
    ASSERT_TRUE(QDir(tmp.path()).mkdir(QStringLiteral("inside")));
    folders.Folder = tmp.path() + QStringLiteral("/inside");
    Click(dlg, CLogCopyDlg::IDC_BTN_SEL_COPY_TO_FOLDER);
    const int nCloses = CountLogLines(QStringLiteral("[LOG]CloseForReopen()"));
    Click(dlg, CLogCopyDlg::IDC_BTN_START_COPY);
    ExpectOneBox(IDS_SELECT_COPY_TO, MB_ICONWARNING);
    EXPECT_FALSE(QFileInfo::exists(tmp.path() + QStringLiteral("/inside/Log")));
    EXPECT_EQ(CountLogLines(QStringLiteral("[LOG]CloseForReopen()")), nCloses);
    // A log folder named Log copied into its own parent would land on itself: refused too.
    {
        CLogFile inLog;
        ASSERT_TRUE(inLog.Open(tmp.path() + QStringLiteral("/Log"), 1));
        CLogCopyDlg parent;
        parent.SetLog(&inLog, QString());
        Show(parent);
        folders.Folder = tmp.path();
        Click(parent, CLogCopyDlg::IDC_BTN_SEL_COPY_TO_FOLDER);
        Click(parent, CLogCopyDlg::IDC_BTN_START_COPY);
        ExpectOneBox(IDS_SELECT_COPY_TO, MB_ICONWARNING);
        parent.close();
    }

    // The retention: 60 days preselected, 30 chosen and handed back on OK.
    EXPECT_TRUE(Item<QAbstractButton>(dlg, CLogCopyDlg::IDC_RADIO_LOG_DAYS_60)->isChecked());
    Click(dlg, CLogCopyDlg::IDC_RADIO_LOG_DAYS_30);
    Click(dlg, CLogCopyDlg::IDC_OK);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_nSaveLogDaysIdx, 0);
}
