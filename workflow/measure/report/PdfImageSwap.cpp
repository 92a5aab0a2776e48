#include "workflow/measure/report/PdfImageSwap.h"

#include <QRegularExpression>

namespace {

// The number in "/Key n" (or "/Key n 0 R") after the last trailer, -1 if absent.
qint64 TrailerNumber(const QByteArray& trailer, const char* pszKey)
{
    const QRegularExpression re(QStringLiteral("/%1\\s+(\\d+)").arg(QLatin1String(pszKey)));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(trailer));
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

} // namespace

bool SwapSoleImage(QByteArray& pdf, const image::ENCODED_JPEG& jpeg)
{
    // The stand-in's object: the one "/Subtype /Image" and the "n 0 obj" before it.
    const qsizetype at = pdf.indexOf("/Subtype /Image");
    if (at < 0 || pdf.indexOf("/Subtype /Image", at + 1) >= 0) {
        return false;
    }
    const qsizetype objAt = pdf.lastIndexOf(" 0 obj", at);
    if (objAt < 0) {
        return false;
    }
    qsizetype numAt = objAt;
    while (numAt > 0 && pdf[numAt - 1] >= '0' && pdf[numAt - 1] <= '9') {
        --numAt;
    }
    const qint64 nObject = pdf.mid(numAt, objAt - numAt).toLongLong();
    const qsizetype trailerAt = pdf.lastIndexOf("trailer");
    const qsizetype startAt = pdf.lastIndexOf("startxref");
    if (nObject <= 0 || trailerAt < 0 || startAt < trailerAt) {
        return false;
    }
    const QByteArray trailer = pdf.mid(trailerAt, startAt - trailerAt);
    const qint64 nSize = TrailerNumber(trailer, "Size");
    const qint64 nRoot = TrailerNumber(trailer, "Root");
    const qint64 nInfo = TrailerNumber(trailer, "Info");
    const qint64 nPrev = pdf.mid(startAt + 9).trimmed().split('\n').value(0).trimmed().toLongLong();
    if (nSize <= nObject || nRoot <= 0 || nPrev <= 0) {
        return false;
    }

    if (!pdf.endsWith('\n')) {
        pdf += '\n';
    }
    const qint64 nObjectAt = pdf.size();
    pdf += QByteArray::number(nObject) + " 0 obj\n<<\n/Type /XObject\n/Subtype /Image\n/Width " +
           QByteArray::number(jpeg.nWidth) + "\n/Height " + QByteArray::number(jpeg.nHeight) +
           "\n/BitsPerComponent 8\n/ColorSpace " + (jpeg.bGray ? "/DeviceGray" : "/DeviceRGB") +
           "\n/Filter /DCTDecode\n/Length " + QByteArray::number(qulonglong(jpeg.nSize)) + "\n>>\nstream\n";
    pdf.append(reinterpret_cast<const char*>(jpeg.pData), qsizetype(jpeg.nSize));
    pdf += "\nendstream\nendobj\n";
    const qint64 nXrefAt = pdf.size();
    // Each cross-reference entry is exactly 20 bytes.
    pdf += "xref\n" + QByteArray::number(nObject) + " 1\n" +
           QByteArray::number(nObjectAt).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<<\n/Size " + QByteArray::number(nSize) + "\n/Root " + QByteArray::number(nRoot) + " 0 R\n";
    if (nInfo > 0) {
        pdf += "/Info " + QByteArray::number(nInfo) + " 0 R\n";
    }
    pdf += "/Prev " + QByteArray::number(nPrev) + "\n>>\nstartxref\n" + QByteArray::number(nXrefAt) + "\n%%EOF\n";
    return true;
}
