#include "MeasureRows.h"
#include "TestFiles.h"

#include "app/SystemSetting.h"
#include "workflow/measure/MeasureExport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using testfiles::ReadBytes;

CALIBRATION_SETTING Calibration(const char* name, double dFactor, int nUnit)
{
    CALIBRATION_SETTING c;
    SetDefaultCalibration(c, 0);
    c.bEnable = TRUE;
    c.Name = QString::fromUtf8(name);
    c.Calibration = dFactor;
    c.UnitKind = nUnit;
    return c;
}

std::vector<MEASURE_DATA> SampleRows()
{
    return {
        MakeRow(1, MEAS_LENGTH, 12.34),
        MakeRow(2, MEAS_COUNT, 5.0, RGN_POINTS),
        MakeTextRow(3, QString::fromUtf8("幅, 高さ")),
        MakeTextRow(4, "=HYPERLINK(\"x\")"),
        MakeRow(5, MEAS_POLYGON, 0.5, RGN_POLYGON),
        MakeRow(6, MEAS_2LINE_ANGLE, 90.0),
        MakeRow(7, MEAS_2CIRCLE, 3.0, RGN_LINE),
        MakeRow(7, MEAS_2CIRCLE, 1.0, RGN_CIRCLE),
        MakeRow(7, MEAS_2CIRCLE, 1.5, RGN_CIRCLE),
        MakeTextRow(8, "plain"),
    };
}

// The file for SampleRows, written out by hand.
QByteArray ExpectedSample()
{
    const char* lines[] = {
        "校正値名称,校正値01,0.25/px,",
        "No.,計測内容,計測値,単位",
        "1,2点間距離,12.34,mm,",
        "2,カウント,5,個,",
        "3,\"幅, 高さ\",,,",
        "4,\"'=HYPERLINK(\"\"x\"\")\",,,",
        "5,多角形の面積,0.5,mm2,",
        "6,2直線間角度,90.0,°,",
        "7,2円間の距離,3.0,mm,",
        "8,第1円の直径,1.0,mm,",
        "9,第2円の直径,1.5,mm,",
        "10,plain,,,",
    };
    QByteArray b("\xEF\xBB\xBF");
    for (const char* l : lines) {
        b += l;
        b += "\r\n";
    }
    return b;
}

} // namespace

TEST(MeasureExport, FileMatchesTheFormatByteForByte)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString path = QDir(tmp.path()).filePath("result.csv");
    EXPECT_FALSE(ExportNeedsOverwriteQuestion(path));
    ASSERT_EQ(SaveMeasureData(path, SampleRows(), Calibration("校正値01", 0.25, 1), 2), EXPORT_MSG_SAVED);
    EXPECT_EQ(ReadBytes(path), ExpectedSample());
    EXPECT_TRUE(ExportNeedsOverwriteQuestion(path));

    // A second export to the same path replaces the file.
    ASSERT_EQ(SaveMeasureData(path, {MakeRow(1, MEAS_ANGLE, 30.0)}, Calibration("k", 0.001, 0), 0),
              EXPORT_MSG_SAVED);
    EXPECT_EQ(ReadBytes(path), QByteArray("\xEF\xBB\xBF"
                                          "校正値名称,k,0.001/px,\r\nNo.,計測内容,計測値,単位\r\n1,内角,30,°,\r\n"));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{"result.csv"}); // no temporary left
}

TEST(MeasureExport, FieldsAreQuotedAndFormulasMadeInert)
{
    EXPECT_EQ(CsvField("plain text"), "plain text");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CsvField("cr\rhere"), "\"cr\rhere\"");
    EXPECT_EQ(CsvField(""), "");
    for (const char* f : {"=1+1", "+1", "-1", "@SUM(A1)"}) {
        EXPECT_EQ(InertCsvText(f), QString("'") + f);
    }
    EXPECT_EQ(InertCsvText("1=1"), "1=1");
    EXPECT_EQ(InertCsvText(""), "");

    // A calibration named like a formula, with a comma, and an empty slot's zero factor.
    const QByteArray b = BuildMeasureExport({}, Calibration("-x,y", 0.0, 2), 3);
    EXPECT_EQ(b, QByteArray("\xEF\xBB\xBF"
                            "校正値名称,\"'-x,y\",0.0/px,\r\nNo.,計測内容,計測値,単位\r\n"));
    // A note with a line break keeps it inside its quotes.
    const QByteArray n = BuildMeasureExport({MakeTextRow(1, "a\nb")}, Calibration("c", 1.0, 0), 1);
    EXPECT_TRUE(n.endsWith("1,\"a\nb\",,,\r\n"));
}

TEST(MeasureExport, FailedWriteReports617AndLeavesNoFile)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QDir dir(tmp.path());
    const auto rows = SampleRows();
    const CALIBRATION_SETTING c = Calibration("c", 0.5, 1);

    // A file standing where the folder should be.
    const QString blocker = dir.filePath("blocker");
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    EXPECT_EQ(SaveMeasureData(blocker + "/out.csv", rows, c, 2), EXPORT_MSG_FAILED);
    EXPECT_EQ(SaveMeasureData(dir.filePath("missing/out.csv"), rows, c, 2), EXPORT_MSG_FAILED);
    EXPECT_EQ(SaveMeasureData(tmp.path(), rows, c, 2), EXPORT_MSG_FAILED);
    EXPECT_EQ(SaveMeasureData(QString(), rows, c, 2), EXPORT_MSG_FAILED);
    EXPECT_EQ(ReadBytes(blocker), "x");
    EXPECT_EQ(dir.entryList(QDir::Files), QStringList{"blocker"});

    if (::geteuid() != 0) {
        // A read-only folder holding an earlier export: it stays as it was.
        const QString ro = dir.filePath("ro");
        ASSERT_TRUE(dir.mkpath("ro"));
        const QString old = ro + "/out.csv";
        ASSERT_EQ(SaveMeasureData(old, {MakeRow(1, MEAS_LENGTH, 1.0)}, c, 2), EXPORT_MSG_SAVED);
        const QByteArray before = ReadBytes(old);
        ASSERT_TRUE(QFile::setPermissions(ro, QFile::ReadOwner | QFile::ExeOwner));
        EXPECT_EQ(SaveMeasureData(old, rows, c, 2), EXPORT_MSG_FAILED);
        EXPECT_EQ(ReadBytes(old), before);
        QFile::setPermissions(ro, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}
