#include "AppFixture.h"

#include "app/QSFileAccess.h"
#include "app/TextFileUtf8.h"

using FileAccessTest = ProgramFolderTest;

TEST_F(FileAccessTest, PathsListingsAndFilters)
{
    EXPECT_EQ(CQSFileAccess::GetFileExt(QStringLiteral("C:\\img\\Image.JPG")), QStringLiteral("jpg"));
    EXPECT_EQ(CQSFileAccess::GetFileExt(QString()), QString());
    EXPECT_EQ(CQSFileAccess::GetFileName(QStringLiteral("/a/b.c/name.tar.gz")), QStringLiteral("name.tar.gz"));
    EXPECT_EQ(CQSFileAccess::GetFileTitle(QStringLiteral("/a/b.c/name.tar.gz")), QStringLiteral("name.tar"));
    EXPECT_EQ(CQSFileAccess::GetFolderPath(QStringLiteral("D:\\data\\x.bmp")), QStringLiteral("D:\\data\\"));
    EXPECT_EQ(CQSFileAccess::AddBackslash(QStringLiteral("/x")), QStringLiteral("/x/"));
    EXPECT_EQ(CQSFileAccess::AddBackslash(QStringLiteral("C:\\x\\")), QStringLiteral("C:\\x\\"));
    EXPECT_EQ(CQSFileAccess::DefaultFilter(QStringLiteral("csv")), QStringLiteral("csv File(*.csv)|*.csv||"));
    EXPECT_EQ(CQSFileAccess::ImageFilter(TRUE, 1), QStringLiteral("JPEG File (*.jpg)|*.jpg|BMP File (*.bmp)|*.bmp||"));
    EXPECT_EQ(CQSFileAccess().SelectCsvFile(QString()), QString()); // no dialog provider: cancelled

    for (const char* n : {"img10.bmp", "img9.bmp", "Img1.bmp", "skip.jpg"}) {
        WriteBytes(Path(QString::fromLatin1(n)), "x");
    }
    ASSERT_TRUE(QDir().mkpath(Path(QStringLiteral("0010"))));
    ASSERT_TRUE(QDir().mkpath(Path(QStringLiteral("009"))));
    CSortableStringArray files;
    ASSERT_TRUE(CQSFileAccess::GetFileList(tmp.path() + "/", QStringLiteral("*.bmp"), &files));
    EXPECT_EQ(files, (QStringList{"Img1.bmp", "img10.bmp", "img9.bmp"}));
    CSortableStringArray folders;
    ASSERT_TRUE(CQSFileAccess::GetFolderList(tmp.path() + "/", folders));
    EXPECT_EQ(folders, (QStringList{"0010", "009"}));
    EXPECT_FALSE(CQSFileAccess::GetFileList(QString(), QStringLiteral("*"), &files));
    EXPECT_TRUE(CQSFileAccess::CreateFolder(Path(QStringLiteral("a/b/c"))));
    EXPECT_FALSE(CQSFileAccess::CreateFolder(Path(QStringLiteral("img9.bmp/sub"))));
}

TEST_F(FileAccessTest, DeleteAndCopyStayInsideTheirFolders)
{
    QTemporaryDir outside;
    const QString victim = QDir(outside.path()).filePath(QStringLiteral("precious.txt"));
    WriteBytes(victim, "keep");
    const QString src = Path(QStringLiteral("src"));
    ASSERT_TRUE(QDir().mkpath(src + "/sub/deeper"));
    WriteBytes(src + "/a.txt", "a");
    WriteBytes(src + "/sub/b.txt", "b");
    WriteBytes(src + "/sub/deeper/noext", "c");
    ASSERT_TRUE(QFile::link(outside.path(), src + "/link"));

    EXPECT_FALSE(CQSFileAccess::CopyFolder(src, src + "/sub/copy", QStringLiteral("*.*")));
    EXPECT_FALSE(CQSFileAccess::CopyFolder(src, src, QStringLiteral("*.*")));
    EXPECT_FALSE(CQSFileAccess::CopyFolder(Path(QStringLiteral("none")), Path(QStringLiteral("d")), QStringLiteral("*.*")));
    ASSERT_TRUE(CQSFileAccess::CopyFolder(src, Path(QStringLiteral("dst")), QStringLiteral("*.*")));
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("dst/sub/deeper/noext"))), QByteArray("c"));
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("dst/link"))));

    ASSERT_TRUE(CQSFileAccess::DeleteFolder(src));
    EXPECT_FALSE(QFileInfo::exists(src));
    EXPECT_EQ(ReadBytes(victim), QByteArray("keep"));
    EXPECT_TRUE(CQSFileAccess::DeleteFolder(Path(QStringLiteral("does-not-exist"))));
    ASSERT_TRUE(CQSFileAccess::DeleteFiles(Path(QStringLiteral("dst")), QStringLiteral("*.txt")));
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("dst/a.txt"))));
    EXPECT_TRUE(QFileInfo::exists(Path(QStringLiteral("dst/sub/b.txt")))); // "sub" does not match *.txt
}

TEST_F(FileAccessTest, Utf8TextFile)
{
    CTextFileUtf8 f;
    const QString path = Path(QStringLiteral("out.csv"));
    ASSERT_TRUE(f.Open(path));
    ASSERT_TRUE(f.WriteLine(QStringLiteral("No.,計測内容,µm")));
    ASSERT_TRUE(f.WriteString(QStringLiteral("1,2")));
    ASSERT_TRUE(f.Close());
    EXPECT_EQ(ReadBytes(path), QByteArray("\xef\xbb\xbfNo.,計測内容,µm\r\n1,2"));
    EXPECT_FALSE(f.WriteLine(QStringLiteral("closed")));
    EXPECT_FALSE(f.Open(Path(QStringLiteral("no/dir/x.csv"))));
}
