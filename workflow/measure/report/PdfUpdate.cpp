#include "workflow/measure/report/PdfUpdate.h"

#include <QRegularExpression>

namespace {

// The number in "/Key n" (or "/Key n 0 R") of a trailer, -1 if absent.
qint64 TrailerNumber(const QByteArray& trailer, const char* pszKey)
{
    const QRegularExpression re(QStringLiteral("/%1\\s+(\\d+)").arg(QLatin1String(pszKey)));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(trailer));
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

} // namespace

qsizetype FindPdfObject(const QByteArray& pdf, qint64 nObject)
{
    // Through the cross-references, newest first: a search of the bytes could
    // stop inside a font or a picture.
    const qsizetype startAt = pdf.lastIndexOf("startxref");
    qint64 nXref = startAt >= 0 ? pdf.mid(startAt + 9, 32).trimmed().split('\n').value(0).trimmed().toLongLong() : 0;
    for (int nSections = 0; nXref > 0 && nXref < pdf.size() && nSections < 64; ++nSections) {
        if (!QByteArrayView(pdf).sliced(nXref).startsWith("xref")) {
            return -1;
        }
        const qsizetype trailerAt = pdf.indexOf("trailer", nXref);
        if (trailerAt < 0) {
            return -1;
        }
        const QList<QByteArray> lines = pdf.mid(nXref, trailerAt - nXref).split('\n');
        qint64 nNumber = -1;
        for (int i = 1; i < lines.size(); ++i) {
            const QList<QByteArray> fields = lines[i].trimmed().split(' ');
            if (fields.size() == 2) {
                nNumber = fields[0].toLongLong(); // a subsection: first number, count
            } else if (fields.size() == 3 && nNumber >= 0) {
                if (nNumber == nObject) {
                    const qint64 nOffset = fields[0].toLongLong();
                    const QByteArray head = QByteArray::number(nObject) + " 0 obj";
                    const bool bInUse = fields[2] == "n" && nOffset >= 0 && nOffset < pdf.size();
                    return bInUse && QByteArrayView(pdf).sliced(nOffset).startsWith(head) ? nOffset : -1;
                }
                ++nNumber;
            }
        }
        nXref = TrailerNumber(pdf.mid(trailerAt, 512), "Prev");
    }
    return -1;
}

bool CPdfUpdate::Begin(QByteArray& pdf)
{
    const qsizetype trailerAt = pdf.lastIndexOf("trailer");
    const qsizetype startAt = pdf.lastIndexOf("startxref");
    if (trailerAt < 0 || startAt < trailerAt) {
        return false;
    }
    const QByteArray trailer = pdf.mid(trailerAt, startAt - trailerAt);
    m_nSize = TrailerNumber(trailer, "Size");
    m_nRoot = TrailerNumber(trailer, "Root");
    m_nInfo = TrailerNumber(trailer, "Info");
    m_nPrev = pdf.mid(startAt + 9).trimmed().split('\n').value(0).trimmed().toLongLong();
    if (m_nSize <= 0 || m_nRoot <= 0 || m_nPrev <= 0) {
        return false;
    }
    m_pPdf = &pdf;
    m_Entries.clear();
    return true;
}

bool CPdfUpdate::AddStream(qint64 nObject, const QByteArray& dictEntries, QByteArrayView data)
{
    if (m_pPdf == nullptr || nObject <= 0 || nObject >= m_nSize) {
        return false;
    }
    QByteArray& pdf = *m_pPdf;
    if (!pdf.endsWith('\n')) {
        pdf += '\n';
    }
    m_Entries.push_back(ENTRY{nObject, pdf.size()});
    pdf += QByteArray::number(nObject) + " 0 obj\n<<\n" + dictEntries + "\n/Length " +
           QByteArray::number(qlonglong(data.size())) + "\n>>\nstream\n";
    pdf.append(data);
    pdf += "\nendstream\nendobj\n";
    return true;
}

bool CPdfUpdate::Finish()
{
    if (m_pPdf == nullptr || m_Entries.empty()) {
        return false;
    }
    QByteArray& pdf = *m_pPdf;
    const qint64 nXrefAt = pdf.size();
    pdf += "xref\n";
    for (const ENTRY& e : m_Entries) {
        // One subsection per object; each entry is exactly 20 bytes.
        pdf += QByteArray::number(e.nObject) + " 1\n" + QByteArray::number(e.nOffset).rightJustified(10, '0') +
               " 00000 n \n";
    }
    pdf += "trailer\n<<\n/Size " + QByteArray::number(m_nSize) + "\n/Root " + QByteArray::number(m_nRoot) + " 0 R\n";
    if (m_nInfo > 0) {
        pdf += "/Info " + QByteArray::number(m_nInfo) + " 0 R\n";
    }
    pdf += "/Prev " + QByteArray::number(m_nPrev) + "\n>>\nstartxref\n" + QByteArray::number(nXrefAt) + "\n%%EOF\n";
    m_pPdf = nullptr;
    return true;
}
