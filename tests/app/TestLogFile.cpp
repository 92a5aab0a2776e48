#include "AppFixture.h"

#include "app/LogFile.h"

#include <QRegularExpression>

#include <thread>

using LogFileTest = ProgramFolderTest;

TEST_F(LogFileTest, LineFormatNameAndUtf8)
{
    CLogFile log;
    const QString folder = Path(QStringLiteral("Log/"));
    ASSERT_TRUE(log.Open(folder, 30));
    EXPECT_FALSE(log.Open(folder, 30)); // already open
    ASSERT_TRUE(log.WriteLog(QStringLiteral("[APP]Start ->")));
    ASSERT_TRUE(log.WriteLog(QStringLiteral("[MAIN]カメラ µm")));
    const QString name = QFileInfo(log.GetFilePath()).fileName();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^LogFile-\\d{8}-\\d{6}\\.txt$")).match(name).hasMatch()) << name.toStdString();
    const QString text = QString::fromUtf8(ReadBytes(log.GetFilePath()));
    const QRegularExpression line(QStringLiteral(
        "^\\[\\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2}:\\d{2}:\\d{3}\\]  \\[APP\\]Start ->\r\n"
        "\\[\\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2}:\\d{2}:\\d{3}\\]  \\[MAIN\\]カメラ µm\r\n$"));
    EXPECT_TRUE(line.match(text).hasMatch()) << text.toStdString();

    // Closed for a copy, a line is dropped, not written elsewhere (the same
    // file going on after the copy: the log copy dialog's suite).
    ASSERT_TRUE(log.CloseForReopen());
    EXPECT_FALSE(log.WriteLog(QStringLiteral("dropped")));
    ASSERT_TRUE(log.ReopenLogFile());
    EXPECT_FALSE(QString::fromUtf8(ReadBytes(log.GetFilePath())).contains(QStringLiteral("dropped")));
}

TEST_F(LogFileTest, SecondStartInTheSameSecondKeepsTheFirstLog)
{
    const QString folder = Path(QStringLiteral("Log/"));
    QString first;
    {
        CLogFile log;
        ASSERT_TRUE(log.Open(folder, 30));
        log.WriteLog(QStringLiteral("first run"));
        first = log.GetFilePath();
    }
    CLogFile log;
    ASSERT_TRUE(log.Open(folder, 30));
    log.WriteLog(QStringLiteral("second run"));
    EXPECT_TRUE(QString::fromUtf8(ReadBytes(first)).contains(QStringLiteral("first run")));
}

TEST_F(LogFileTest, RetentionDeletesOnlyOldFilesOfTheExactPattern)
{
    const QString folder = Path(QStringLiteral("Log/"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QDateTime now = QDateTime::currentDateTime();
    const QString old = CLogFile::LogFileName(QStringLiteral("LogFile"), now.addDays(-31));
    const QString recent = CLogFile::LogFileName(QStringLiteral("LogFile"), now.addDays(-29));
    const QStringList keep = {recent,
                              QStringLiteral("LogFile-2001010-000000.txt"),
                              QStringLiteral("notes.txt"),
                              QStringLiteral("LogFile-20010101-000000.txt.bak"),
                              QStringLiteral("xLogFile-20010101-000000.txt"),
                              QStringLiteral("LogFile-20010101-000000.csv")};
    for (const QString& n : keep + QStringList{old}) {
        WriteBytes(QDir(folder).filePath(n), "x");
    }
    ASSERT_TRUE(QDir().mkpath(QDir(folder).filePath(QStringLiteral("LogFile-20010101-000000.txt.d"))));
    CLogFile log;
    ASSERT_TRUE(log.Open(folder, 30));
    EXPECT_FALSE(QFileInfo::exists(QDir(folder).filePath(old)));
    for (const QString& n : keep) {
        EXPECT_TRUE(QFileInfo::exists(QDir(folder).filePath(n))) << n.toStdString();
    }
    EXPECT_EQ(CLogFile::DeleteOldLogFiles(folder, QStringLiteral("LogFile"), 0, now.addYears(50)), 0);
}

TEST_F(LogFileTest, LoggingOffAndFolderThatCannotBeMade)
{
    CLogFile off;
    ASSERT_TRUE(off.Open(Path(QStringLiteral("NoLog/")), 0));
    EXPECT_FALSE(off.WriteLog(QStringLiteral("x")));
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("NoLog"))));

    WriteBytes(Path(QStringLiteral("blocker")), "x");
    CLogFile bad;
    EXPECT_FALSE(bad.Open(Path(QStringLiteral("blocker/Log/")), 30));
    EXPECT_FALSE(bad.WriteLog(QStringLiteral("x")));
    EXPECT_FALSE(bad.Open(QString(), 30));
}

TEST_F(LogFileTest, ThreadsWriteWholeLines)
{
    CLogFile log;
    ASSERT_TRUE(log.Open(Path(QStringLiteral("Log/")), 30));
    SetProgramLog(&log);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 250; ++i) {
                WriteLog(QStringLiteral("[T%1]line %2 ").arg(t).arg(i) + QString(40, QLatin1Char('a' + t)));
            }
        });
    }
    for (std::thread& th : threads) {
        th.join();
    }
    SetProgramLog(nullptr);
    const QStringList lines = QString::fromUtf8(ReadBytes(log.GetFilePath())).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1000);
    const QRegularExpression whole(QStringLiteral("^\\[[^\\]]+\\]  \\[T(\\d)\\]line \\d+ ([a-d])\\2{39}$"));
    for (const QString& l : lines) {
        const auto m = whole.match(l);
        ASSERT_TRUE(m.hasMatch()) << l.toStdString();
        EXPECT_EQ(m.captured(1).toInt(), m.captured(2)[0].unicode() - 'a');
    }
}
