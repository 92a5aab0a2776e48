// The report's text maps, mended after Qt wrote them: copied text names the
// ideograph a reader sees, and the file stays whole for every reader.
#include "PdfTools.h"
#include "RequiredTool.h"

#include "workflow/measure/report/PdfTextMapping.h"
#include "workflow/measure/report/PdfUpdate.h"

#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kFace = QStringLiteral("Noto Sans CJK JP");

// A PDF of the given objects (bodies between "n 0 obj" and "endobj",
// numbered from 1) with a classic cross-reference, as Qt writes one.
QByteArray MakePdf(const QList<QByteArray>& bodies)
{
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < bodies.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + bodies[i] + "\nendobj\n";
    }
    const qsizetype xrefAt = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(bodies.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype at : offsets) {
        pdf += QByteArray::number(at).rightJustified(10, '0') + " 00000 n \n";
    }
    pdf += "trailer\n<< /Size " + QByteArray::number(bodies.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           QByteArray::number(xrefAt) + "\n%%EOF\n";
    return pdf;
}

QByteArray Stream(const QByteArray& data, const QByteArray& extra = QByteArray())
{
    return "<< /Length " + QByteArray::number(data.size()) + extra + " >>\nstream\n" + data + "\nendstream";
}

QByteArray CMap(const QByteArray& body)
{
    return "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n/CMapName /Adobe-Identity-UCS def\n"
           "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n" +
           body + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

// ⾓ and ⻑ named as 角 and 長; any other code point as it is.
char16_t TwoRadicals(char16_t c)
{
    return c == 0x2F93 ? char16_t(0x89D2) : c == 0x2ED1 ? char16_t(0x9577) : c;
}

// The stream of object n as qpdf, a reader of its own, decodes it.
QString ObjectAsRead(const QString& qpdf, const QString& path, int n)
{
    return pdftools::Run(qpdf, {QStringLiteral("--show-object=%1").arg(n), QStringLiteral("--filtered-stream-data"),
                                path})
        .out;
}

QString Save(const QTemporaryDir& dir, const QString& name, const QByteArray& pdf)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(pdf);
    return path;
}

} // namespace

TEST(PdfTextMapping, RenamesOnlyTheTargetsOfPlainMapsAndAppendsAWholeUpdate)
{
    REQUIRE_TOOL(qpdf, "qpdf");
    const QByteArray plain = CMap("1 beginbfchar\n<0005> <2F93>\nendbfchar\n"
                                  "4 beginbfrange\n<0001> <0003> [<2F93> <0041> <2ED1>]\n"
                                  "<0006> <0006> <2ED1>\n<0007> <0009> <2F93>\n<2F93> <2F93> <D840DC0B>\nendbfrange\n");
    const QByteArray packed = qCompress(CMap("1 beginbfchar\n<0001> <2F93>\nendbfchar\n")).mid(4);
    const QByteArray font = "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /ToUnicode ";
    const QByteArray original = MakePdf({
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] /Resources << /Font << /F1 4 0 R /F2 6 0 R /F3 7 0 R "
        ">> >> >>",
        font + "5 0 R >>",
        Stream(plain),
        font + "5 0 R >>", // a second face on the same map
        font + "8 0 R >>",
        Stream(packed, " /Filter /FlateDecode"),
    });
    QByteArray pdf = original;
    ASSERT_TRUE(MendTextMaps(pdf, TwoRadicals));
    // Nothing written before moves.
    ASSERT_TRUE(pdf.startsWith(original));
    QTemporaryDir dir;
    const QString path = Save(dir, QStringLiteral("mended.pdf"), pdf);
    EXPECT_EQ(pdftools::Run(qpdf, {QStringLiteral("--check"), path}).nExit, 0);
    const QString expected =
        QString::fromLatin1(CMap("1 beginbfchar\n<0005> <89D2>\nendbfchar\n"
                                 "4 beginbfrange\n<0001> <0003> [<89D2> <0041> <9577>]\n"
                                 // A run names its first target only: left as it is.
                                 "<0006> <0006> <9577>\n<0007> <0009> <2F93>\n<2F93> <2F93> <D840DC0B>\nendbfrange\n"));
    EXPECT_EQ(ObjectAsRead(qpdf, path, 5), expected);
    // A packed map is left as Qt would have read it.
    EXPECT_EQ(pdf.count("/ToUnicode"), 3);
    EXPECT_EQ(ObjectAsRead(qpdf, path, 8), QString::fromLatin1(CMap("1 beginbfchar\n<0001> <2F93>\nendbfchar\n")));

    // A second update finds the first one's version of the map.
    ASSERT_TRUE(MendTextMaps(pdf, [](char16_t c) { return c == 0x0041 ? char16_t(0x0042) : c; }));
    const QString again = Save(dir, QStringLiteral("again.pdf"), pdf);
    EXPECT_EQ(pdftools::Run(qpdf, {QStringLiteral("--check"), again}).nExit, 0);
    EXPECT_EQ(ObjectAsRead(qpdf, again, 5), QString(expected).replace(QStringLiteral("<0041>"), QStringLiteral("<0042>")));
}

TEST(PdfTextMapping, AFileWithoutTrailerOrMapsIsLeftAsItIs)
{
    for (QByteArray pdf : {QByteArray("%PDF-1.4\n1 0 obj\n<< >>\nendobj\n"), QByteArray(),
                           MakePdf({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [] /Count 0 >>"})}) {
        const QByteArray before = pdf;
        const bool bReadable = pdf.contains("trailer");
        EXPECT_EQ(MendTextMaps(pdf, TwoRadicals), bReadable);
        EXPECT_EQ(pdf, before);
    }
}

TEST(PdfTextMapping, IdeographsSharingARadicalsGlyphCopyAsTheIdeographs)
{
    REQUIRE_TOOL(pdftotext, "pdftotext");
    REQUIRE_TOOL(qpdf, "qpdf");
    QFont face(kFace);
    face.setPointSize(12);
    face.setStyleStrategy(QFont::PreferNoShaping); // as the report sets it, so digits keep their names
    ASSERT_EQ(QRawFont::fromFont(face).familyName(), kFace) << "the report's face is not installed";
    const QString words = QString::fromUtf8("角度 面積 高さ 日付 長さ 一 Length 0.25 mm");
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        QPainter painter(&writer);
        painter.setFont(face);
        painter.drawText(200, 400, words);
    }
    ASSERT_TRUE(MendTextMaps(pdf, IdeographOfSharedGlyph(QRawFont::fromFont(face))));
    QTemporaryDir dir;
    const QString path = Save(dir, QStringLiteral("words.pdf"), pdf);
    EXPECT_EQ(pdftools::Run(qpdf, {QStringLiteral("--check"), path}).nExit, 0);
    EXPECT_EQ(pdftools::Text(pdftotext, path).trimmed().toStdString(), words.toStdString());

    // Code points below the radicals, and the ideographs themselves, stay.
    const CODE_POINT_MAP map = IdeographOfSharedGlyph(QRawFont::fromFont(face));
    for (char16_t c : {u'A', u'さ', u'角'}) {
        EXPECT_EQ(map(c), c);
    }
}
