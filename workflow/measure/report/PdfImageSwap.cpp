#include "workflow/measure/report/PdfImageSwap.h"

#include "workflow/measure/report/PdfUpdate.h"

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
    CPdfUpdate update;
    if (nObject <= 0 || !update.Begin(pdf)) {
        return false;
    }
    const QByteArray dict = "/Type /XObject\n/Subtype /Image\n/Width " + QByteArray::number(jpeg.nWidth) +
                            "\n/Height " + QByteArray::number(jpeg.nHeight) + "\n/BitsPerComponent 8\n/ColorSpace " +
                            (jpeg.bGray ? "/DeviceGray" : "/DeviceRGB") + "\n/Filter /DCTDecode";
    // A number the file does not have adds nothing, and Finish leaves pdf as it was.
    update.AddStream(nObject, dict, QByteArrayView(reinterpret_cast<const char*>(jpeg.pData), qsizetype(jpeg.nSize)));
    return update.Finish();
}
