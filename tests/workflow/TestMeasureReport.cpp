#include "MeasureRows.h"
#include "PdfTools.h"
#include "RequiredTool.h"
#include "TestFiles.h"

#include "app/MultiLanguageTranslator.h"
#include "app/SystemSetting.h"
#include "workflow/measure/MeasureExport.h"
#include "workflow/measure/report/MeasureReport.h"
#include "workflow/measure/report/ReportFlow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

std::vector<MEASURE_DATA> SampleRows()
{
    return {
        MakeRow(1, MEAS_LENGTH, 12.34),
        MakeRow(2, MEAS_COUNT, 5.0, RGN_POINTS),
        MakeTextRow(3, QString::fromUtf8("幅, 高さ")),
        MakeRow(4, MEAS_POLYGON, 0.5, RGN_POLYGON),
        MakeRow(5, MEAS_2LINE_ANGLE, 90.0),
        MakeRow(6, MEAS_2CIRCLE, 3.0, RGN_LINE),
        MakeRow(6, MEAS_2CIRCLE, 1.0, RGN_CIRCLE),
        MakeRow(6, MEAS_2CIRCLE, 1.5, RGN_CIRCLE),
        MakeRow(7, MEAS_LENGTH, 0.123456),
        MakeTextRow(8, QString::fromUtf8("長さ plain note")),
    };
}

SYSTEM_SETTING Setting()
{
    SYSTEM_SETTING s;
    SetDefaultSystemSetting(s);
    s.CalibrationIndex = 0;
    s.Calibration[0].bEnable = TRUE;
    s.Calibration[0].Name = QStringLiteral("Scope 10x");
    s.Calibration[0].Calibration = 0.25;
    s.Calibration[0].UnitKind = 1;
    s.MeasureDownPlace = 3;
    return s;
}

QImage Picture(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* p = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            p[x] = qRgb(x % 256, y % 256, (x + y) % 256);
        }
    }
    return img;
}

// One field list per row of the CSV export, unquoted as a reader would take them.
std::vector<QStringList> CsvRows(const QByteArray& csv)
{
    std::vector<QStringList> rows;
    const QStringList lines = QString::fromUtf8(csv.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (int i = 2; i < lines.size(); ++i) {
        QStringList fields;
        QString cur;
        bool bQuoted = false;
        const QString& l = lines[i];
        for (qsizetype k = 0; k < l.size(); ++k) {
            const QChar c = l[k];
            if (bQuoted && c == QLatin1Char('"') && k + 1 < l.size() && l[k + 1] == QLatin1Char('"')) {
                cur += c;
                ++k;
            } else if (c == QLatin1Char('"')) {
                bQuoted = !bQuoted;
            } else if (c == QLatin1Char(',') && !bQuoted) {
                fields << cur;
                cur.clear();
            } else {
                cur += c;
            }
        }
        rows.push_back(fields.mid(0, 4));
    }
    return rows;
}

class MeasureReportTest : public ::testing::Test {
protected:
    void TearDown() override { SetProgramTranslator(nullptr); }

    QString WriteSample(const QString& name, const QImage& picture)
    {
        REPORT_CONTENT c = BuildReportContent(SampleRows(), Setting());
        c.picture = picture;
        c.header.cameraName = QStringLiteral("SimCam 500");
        c.header.cameraSerial = QStringLiteral("SN0042");
        const QString path = QDir(m_Dir.path()).filePath(name);
        EXPECT_TRUE(WriteMeasureReport(path, c));
        return path;
    }

    QTemporaryDir m_Dir;
};

} // namespace

TEST_F(MeasureReportTest, HoldsEveryRowAsTheExportWritesItAndTheWholePicture)
{
    REQUIRE_TOOL(pdftotext, "pdftotext");
    REQUIRE_TOOL(pdfimages, "pdfimages");
    REQUIRE_TOOL(qpdf, "qpdf");
    CMultiLanguageTranslator english;
    english.SetTranslation(QStringLiteral(PIXMETRA_SOURCE_DIR "/app/LangTransEnglish.ini"), QStringLiteral("ENGLISH"));
    struct LANGUAGE {
        const char* name;
        CMultiLanguageTranslator* pTranslator;
        QStringList words; // headings of the report in that language
        QString pageFormat;
    };
    const LANGUAGE languages[] = {
        {"japanese", nullptr, {"計測レポート", "日時", "計測結果", "集計", "SimCam 500", "SN0042", "Scope 10x", "0.25 mm/px"}, "%1 / %2 ページ"},
        {"english", &english, {"Measurement Report", "Results", "Summary", "Mean"}, "Page %1 of %2"},
    };
    for (const LANGUAGE& lang : languages) {
        SetProgramTranslator(lang.pTranslator);
        const QString path = WriteSample(QStringLiteral("%1.pdf").arg(lang.name), Picture(640, 480));
        const QString text = pdftools::Text(pdftotext, path);
        const QString csvPath = QDir(m_Dir.path()).filePath(QStringLiteral("%1.csv").arg(lang.name));
        ASSERT_EQ(SaveMeasureData(csvPath, SampleRows(), Setting().Calibration[0], 3), EXPORT_MSG_SAVED);
        const std::vector<QStringList> csv = CsvRows(testfiles::ReadBytes(csvPath));
        ASSERT_EQ(csv.size(), SampleRows().size());
        for (const QStringList& row : csv) {
            EXPECT_TRUE(pdftools::HasRow(text, row)) << lang.name << ": " << row.join('|').toStdString();
        }
        for (const QString& w : lang.words) {
            EXPECT_TRUE(text.contains(w)) << lang.name << ": " << w.toStdString();
        }
        const qsizetype nPages = text.count(QLatin1Char('\f'));
        for (qsizetype p = 1; p <= nPages; ++p) {
            EXPECT_TRUE(text.contains(lang.pageFormat.arg(p).arg(nPages))) << lang.name << " page " << p;
        }
        EXPECT_EQ(pdftools::Run(qpdf, {"--check", path}).nExit, 0) << lang.name;
        const std::vector<QSize> sizes = pdftools::ImageSizes(pdfimages, path);
        ASSERT_EQ(sizes.size(), 1u) << lang.name;
        EXPECT_EQ(sizes[0], QSize(640, 480)) << lang.name;
    }
    // The summary, in the Japanese text: two lengths, mean (12.34 + 0.123456) / 2.
    SetProgramTranslator(nullptr);
    const QString text = pdftools::Text(pdftotext, WriteSample("again.pdf", Picture(64, 48)));
    EXPECT_TRUE(pdftools::HasRow(text, {"2点間距離", "2", "6.232", "8.638", "0.123", "12.34", "mm"})) << text.toStdString();
}

TEST_F(MeasureReportTest, ManyRowsGoOnNumberedPages)
{
    REQUIRE_TOOL(pdftotext, "pdftotext");
    REQUIRE_TOOL(qpdf, "qpdf");
    std::vector<MEASURE_DATA> rows;
    for (int i = 0; i < 200; ++i) {
        rows.push_back(MakeRow(i + 1, MEAS_CIRCLE, 10.0 + i));
    }
    REPORT_CONTENT c = BuildReportContent(rows, Setting());
    c.picture = Picture(800, 600);
    c.header.imageFileName = QStringLiteral("sample_0001.jpg");
    const QString path = QDir(m_Dir.path()).filePath("long.pdf");
    ASSERT_TRUE(WriteMeasureReport(path, c));
    EXPECT_EQ(pdftools::Run(qpdf, {"--check", path}).nExit, 0);
    const QString text = pdftools::Text(pdftotext, path);
    const qsizetype nPages = text.count(QLatin1Char('\f'));
    ASSERT_GE(nPages, 4);
    const QStringList pages = text.split(QLatin1Char('\f'));
    for (int p = 1; p <= nPages; ++p) {
        EXPECT_TRUE(pages[p - 1].contains(QStringLiteral("%1 / %2 ページ").arg(p).arg(nPages))) << p;
        // The table goes on with its heading row on every page.
        EXPECT_TRUE(pdftools::HasRow(pages[p - 1], c.resultHeadings)) << p;
    }
    EXPECT_TRUE(text.contains("sample_0001.jpg"));
    for (int i : {0, 57, 199}) {
        EXPECT_TRUE(pdftools::HasRow(text, {QString::number(i + 1), "円の直径", QString::number(10 + i) + ".0", "mm"})) << i;
    }
}

TEST_F(MeasureReportTest, UnwritablePlaceFailsAndLeavesNoFile)
{
    const QDir dir(m_Dir.path());
    const QString blocker = dir.filePath("blocker");
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    REPORT_CONTENT c = BuildReportContent(SampleRows(), Setting());
    c.picture = Picture(32, 32);
    for (const QString& path : {blocker + "/out.pdf", dir.filePath("missing/out.pdf"), m_Dir.path(), QString()}) {
        EXPECT_FALSE(WriteMeasureReport(path, c)) << path.toStdString();
    }
    EXPECT_EQ(testfiles::ReadBytes(blocker), "x");
    EXPECT_EQ(dir.entryList(QDir::Files | QDir::Hidden), QStringList{"blocker"});

    if (::geteuid() != 0) {
        // A read-only folder holding an earlier report: it stays as it was.
        ASSERT_TRUE(dir.mkpath("ro"));
        const QString old = dir.filePath("ro/out.pdf");
        ASSERT_TRUE(WriteMeasureReport(old, c));
        const QByteArray before = testfiles::ReadBytes(old);
        ASSERT_TRUE(QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::ExeOwner));
        EXPECT_FALSE(WriteMeasureReport(old, c));
        EXPECT_EQ(testfiles::ReadBytes(old), before);
        QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

TEST_F(MeasureReportTest, PictureFollowsTheJpegQualityOrGoesInLosslessly)
{
    REQUIRE_TOOL(pdfimages, "pdfimages");
    REQUIRE_TOOL(qpdf, "qpdf");
    struct CASE {
        int nQuality;
        bool bJpeg; // else deflated, as Qt embeds a picture losslessly
    };
    qint64 nLastSize = 0;
    for (const CASE& c : {CASE{20, true}, CASE{95, true}, CASE{0, false}}) {
        REPORT_CONTENT content = BuildReportContent(SampleRows(), Setting());
        content.picture = Picture(1024, 768);
        content.nJpegQuality = c.nQuality;
        const QString path = QDir(m_Dir.path()).filePath(QStringLiteral("q%1.pdf").arg(c.nQuality));
        ASSERT_TRUE(WriteMeasureReport(path, content));
        EXPECT_EQ(pdftools::Run(qpdf, {"--check", path}).nExit, 0) << c.nQuality;
        const QString list = pdftools::Run(pdfimages, {"-list", path}).out;
        EXPECT_TRUE(list.contains(QStringLiteral(" 1024   768 "))) << list.toStdString();
        EXPECT_EQ(list.contains(QLatin1String(" jpeg ")), c.bJpeg) << c.nQuality << list.toStdString();
        // Higher quality, more bytes.
        const qint64 nSize = QFileInfo(path).size();
        EXPECT_GT(nSize, nLastSize) << c.nQuality;
        nLastSize = nSize;
    }
    // No picture: no image at all.
    REPORT_CONTENT content = BuildReportContent(SampleRows(), Setting());
    const QString path = QDir(m_Dir.path()).filePath("none.pdf");
    ASSERT_TRUE(WriteMeasureReport(path, content));
    EXPECT_TRUE(pdftools::ImageSizes(pdfimages, path).empty());
}
