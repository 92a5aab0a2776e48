// Every file the program writes, on a full disk and in a folder that cannot
// be written: the write reports failure, the file that was there keeps every
// byte, and no temporary file is left beside it.
#include "FullDisk.h"
#include "MainWndFixture.h"
#include "TestFiles.h"

#include "app/MultiLanguageTranslator.h"
#include "app/QSFileAccess.h"
#include "image/AccImage.h"
#include "platform/AtomicFile.h"
#include "workflow/measure/MeasureExport.h"

#include <QDir>

#include <functional>

namespace {

struct WRITER {
    const char* pszName;
    QString file; // under the test's folder
    // Writes the file with content version n (0: the previous file); true when it says it did.
    std::function<bool(const QString& path, int n)> fnWrite;
};

SYSTEM_SETTING SettingVersion(int n)
{
    SYSTEM_SETTING s;
    SetDefaultSystemSetting(s);
    s.JpegQuality = 50 + n;
    s.Calibration[0].bEnable = TRUE;
    s.Calibration[0].Calibration = 0.001 * (n + 1);
    return s;
}

std::vector<WRITER> Writers()
{
    auto image = [](int n) {
        auto p = std::make_shared<CAccImage>();
        std::vector<uint8_t> px(size_t(64) * 48 * 3, uint8_t(40 * n + 10));
        p->SetImage(px.data(), IMAGE_INFO{24, 64, 48});
        return p;
    };
    auto still = [image](const char* pszFile) {
        return WRITER{pszFile, QString::fromLatin1(pszFile), [image](const QString& path, int n) {
                          return image(n)->SaveImageFile(path, 80) != FALSE;
                      }};
    };
    return {
        {"settings", QStringLiteral("Pixmetra.ini"),
         [](const QString&, int n) { return SaveSystemSetting(SettingVersion(n)) != FALSE; }},
        {"calibration file", QStringLiteral("table.clb"),
         [](const QString& path, int n) {
             const SYSTEM_SETTING s = SettingVersion(n);
             return WriteCalibrationSetting(path, n % 2, s.Calibration) != FALSE;
         }},
        {"export", QStringLiteral("results.csv"),
         [](const QString& path, int n) {
             MEASURE_DATA row{};
             row.nMeasNum = 1;
             row.dPixelValue = 10.0 + n;
             row.dValue = 0.01 * (n + 1);
             const SYSTEM_SETTING s = SettingVersion(n);
             return SaveMeasureData(path, {row}, s.Calibration[0], 3) == EXPORT_MSG_SAVED;
         }},
        {"translation file", QStringLiteral("LangTransEnglish.ini"),
         [](const QString& path, int n) {
             CMultiLanguageIniFileAccess access;
             return access.WriteValue(path, QStringLiteral("ENGLISH"), QStringLiteral("キー%1").arg(n),
                                      QStringLiteral("Key %1").arg(n)) != FALSE;
         }},
        still("still.bmp"),
        still("still.jpg"),
        still("still.png"),
        still("still.tif"),
        {"log copy", QStringLiteral("copy/LogFile-1.txt"),
         [](const QString& path, int n) {
             const QString folder = QFileInfo(path).absolutePath();
             const QString source = folder + QStringLiteral("/../source/");
             QDir().mkpath(source);
             testfiles::WriteBytes(source + QStringLiteral("LogFile-1.txt"), QByteArray(3000 + n, char('a' + n)));
             return CQSFileAccess::CopyFolder(source, folder, QStringLiteral("*.*")) != FALSE;
         }},
    };
}

} // namespace

class FileWritersTest : public MainWndTestBase {};

TEST_F(FileWritersTest, AFullDiskOrAReadOnlyFolderKeepsThePreviousFileWhole)
{
    REQUIRE_FULL_DISK_LIBRARY();
    enum WRITE_FAULT { FULL_AT_ONCE, FULL_MIDWAY, READ_ONLY };
    for (const WRITER& w : Writers()) {
        for (WRITE_FAULT fault : {FULL_AT_ONCE, FULL_MIDWAY, READ_ONLY}) {
            SCOPED_TRACE(std::string(w.pszName) + " fault " + std::to_string(int(fault)));
            const QString path = m_Dir.path() + QLatin1Char('/') + w.file;
            const QString folder = QFileInfo(path).absolutePath();
            QDir(m_Dir.path() + QStringLiteral("/source")).removeRecursively();
            QFile::remove(path);
            QDir().mkpath(folder);
            CQSFileIni::DropCache();
            // A file written anew on a disk already full is never left empty.
            if (fault == FULL_AT_ONCE) {
                fulldisk::CFullDisk full(folder);
                EXPECT_FALSE(w.fnWrite(path, 1));
                EXPECT_FALSE(QFileInfo::exists(path));
            }
            ASSERT_TRUE(w.fnWrite(path, 0));
            const QByteArray before = testfiles::ReadBytes(path);
            ASSERT_FALSE(before.isEmpty());
            const QStringList filesBefore = QDir(folder).entryList(QDir::Files);
            {
                std::unique_ptr<fulldisk::CFullDisk> full;
                std::unique_ptr<fulldisk::CReadOnlyFolder> readOnly;
                if (fault == READ_ONLY) {
                    readOnly = std::make_unique<fulldisk::CReadOnlyFolder>(folder);
                } else {
                    full = std::make_unique<fulldisk::CFullDisk>(folder, fault == FULL_MIDWAY ? before.size() / 2 : 0);
                }
                EXPECT_FALSE(w.fnWrite(path, 2));
            }
            EXPECT_EQ(testfiles::ReadBytes(path), before);
            EXPECT_EQ(QDir(folder).entryList(QDir::Files), filesBefore) << "no temporary file is left";
            EXPECT_TRUE(w.fnWrite(path, 3)) << "the folder takes the file again once there is room";
            EXPECT_NE(testfiles::ReadBytes(path), before);
        }
    }
}
