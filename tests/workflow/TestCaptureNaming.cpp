// The names of a continuous-save series: subfolder and file numbers, the
// limits, dated folders, chosen files and path joins, on real folders with
// spaces and Japanese characters.
#include "workflow/capture/SeriesNaming.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void Touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

} // namespace

// (Numbering after the highest file and the 9999 limit: the window's series suite.)
TEST(CaptureNaming, FolderAndFileNumbersContinueAfterTheHighest)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.path() + QStringLiteral("/保存 フォルダ");
    for (const char* sub : {"0001", "0007", "abc", "12345"}) {
        ASSERT_TRUE(QDir().mkpath(root + QLatin1Char('/') + QLatin1String(sub)));
    }
    // The folder text of the settings ends with a backslash.
    EXPECT_EQ(HighestFolderNumber(root + QLatin1Char('\\')), 7);
    EXPECT_EQ(HighestFolderNumber(dir.path() + QStringLiteral("/none")), 0);

    const QString files = root + QStringLiteral("/0007");
    for (const char* name : {"T_0010.jpg", "T_abc.jpg", "T_0020.bmp", "TT_0040.jpg", "0005.jpg", "0009.bmp"}) {
        Touch(files + QLatin1Char('/') + QLatin1String(name));
    }
    EXPECT_EQ(HighestFileNumber(files, QStringLiteral("T"), 0), 20);
    EXPECT_EQ(HighestFileNumber(files, QString(), 1), 5);
    EXPECT_EQ(HighestFileNumber(files, QString(), 0), 9);
    Touch(files + QStringLiteral("/試験 1_0042.jpg"));
    EXPECT_EQ(HighestFileNumber(files + QLatin1Char('\\'), QStringLiteral("試験 1"), 1), 42);
    EXPECT_EQ(SeriesFileName(1, QString(), 0), QStringLiteral("0001.bmp"));
    EXPECT_EQ(LeadingInteger(QStringLiteral(" 12x")), 12);
    EXPECT_EQ(LeadingInteger(QStringLiteral("-5")), -5);
}

TEST(CaptureNaming, DatedFoldersChosenFilesAndJoins)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.path() + QStringLiteral("/日付 別\\");
    const QDateTime t(QDate(2026, 12, 7), QTime(12, 13, 14));
    const QString first = DatedSubFolderName(root, t);
    EXPECT_EQ(first, QStringLiteral("20261207-121314"));
    ASSERT_TRUE(QDir().mkpath(JoinSeriesPath(root, first)));
    // A second series in the same second gets a folder of its own.
    const QString second = DatedSubFolderName(root, t);
    EXPECT_NE(second, first);
    EXPECT_TRUE(second.startsWith(first));
    ASSERT_TRUE(QDir().mkpath(JoinSeriesPath(root, second)));
    EXPECT_NE(DatedSubFolderName(root, t), second);

    EXPECT_EQ(JoinSeriesPath(QStringLiteral("/a b\\"), QStringLiteral("0008\\"), QStringLiteral("T_0001.jpg")),
              QStringLiteral("/a b/0008/T_0001.jpg"));
    EXPECT_EQ(JoinSeriesPath(QStringLiteral("/a/"), QString(), QStringLiteral("0001.bmp")), QStringLiteral("/a/0001.bmp"));
    EXPECT_EQ(JoinSeriesPath(QStringLiteral("/"), QStringLiteral("x")), QStringLiteral("/x"));

    const SERIES_FILE_CHOICE png = ParseSeriesFileChoice(QStringLiteral("/写真 集/x.png"));
    EXPECT_EQ(png.folder, QStringLiteral("/写真 集"));
    EXPECT_EQ(png.title, QStringLiteral("x"));
    EXPECT_EQ(png.nFileType, 1) << "any extension but bmp makes a jpg series";
    const SERIES_FILE_CHOICE bmp = ParseSeriesFileChoice(QStringLiteral("/d/Y.BMP"));
    EXPECT_EQ(bmp.title, QStringLiteral("Y"));
    EXPECT_EQ(bmp.nFileType, 0);
}
