// A PDF mended after it was written: the PDF's own incremental update
// appends new versions of objects after the file and a cross-reference for
// them, so nothing already written moves and readers take the newest
// version.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

class CPdfUpdate {
public:
    // Reads the last trailer; false when it cannot be read, pdf unchanged.
    bool Begin(QByteArray& pdf);
    // Appends a new version of object nObject: a stream of data under
    // dictEntries (the entries between "<<" and ">>" other than /Length);
    // false for a number the file does not have.
    bool AddStream(qint64 nObject, const QByteArray& dictEntries, QByteArrayView data);
    // Appends the cross-reference and the trailer; false when nothing was added.
    bool Finish();

private:
    QByteArray* m_pPdf = nullptr;
    qint64 m_nSize = 0;
    qint64 m_nRoot = 0;
    qint64 m_nInfo = 0;
    qint64 m_nPrev = 0;
    struct ENTRY {
        qint64 nObject;
        qint64 nOffset;
    };
    std::vector<ENTRY> m_Entries;
};

// Where object nObject's latest "n 0 obj" begins in pdf, -1 if nowhere.
qsizetype FindPdfObject(const QByteArray& pdf, qint64 nObject);
