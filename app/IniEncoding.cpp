#include "app/IniEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

bool StartsWith(const QByteArray& b, const char* mark, qsizetype n)
{
    return b.size() >= n && std::equal(mark, mark + n, b.constData());
}

// UTF-16 code units from bytes; a last odd byte is not part of any unit.
QString FromUtf16(const char* p, qsizetype nBytes, bool bBigEndian)
{
    QString s(nBytes / 2, Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(s.data());
    const auto* u = reinterpret_cast<const uchar*>(p);
    for (qsizetype i = 0; i < s.size(); ++i) {
        d[i] = bBigEndian ? char16_t(u[2 * i] << 8 | u[2 * i + 1]) : char16_t(u[2 * i + 1] << 8 | u[2 * i]);
    }
    return s;
}

void DecodeWide(const QByteArray& b, INI_DECODED& d, bool bBigEndian)
{
    const qsizetype n = b.size() - d.nBom;
    d.text = FromUtf16(b.constData() + d.nBom, n, bBigEndian);
    d.nUsed = d.nBom + (n & ~qsizetype(1));
    // An odd last byte is half a code unit of a write cut short: it holds no character.
    if (!QStringView(d.text).isValidUtf16()) {
        d.problem = QStringLiteral("a lone UTF-16 surrogate");
    }
}

bool DecodeWith(QStringDecoder&& dec, const QByteArray& b, INI_DECODED& d)
{
    d.text = dec.decode(QByteArrayView(b).sliced(d.nBom));
    d.nUsed = b.size();
    return !dec.hasError();
}

// Zero bytes mostly in one position of the pairs: UTF-16 text without a mark.
int WideWithoutMark(const QByteArray& b)
{
    qsizetype nEven = 0, nOdd = 0;
    for (qsizetype i = 0; i + 1 < b.size(); i += 2) {
        nEven += b[i] == 0;
        nOdd += b[i + 1] == 0;
    }
    if (nOdd > 2 * nEven && nOdd * 8 >= b.size() / 2) {
        return 1; // little-endian: the high bytes of Latin text are zero
    }
    if (nEven > 2 * nOdd && nEven * 8 >= b.size() / 2) {
        return 2;
    }
    return 0;
}

} // namespace

INI_DECODED DecodeIni(const QByteArray& b)
{
    INI_DECODED d;
    if (b.isEmpty()) {
        return d; // a new file: UTF-16 LE with its mark
    }
    if (StartsWith(b, "\xff\xfe", 2)) {
        d.enc = EIniEncoding::Utf16LeBom;
        d.nBom = 2;
        DecodeWide(b, d, false);
        return d;
    }
    if (StartsWith(b, "\xfe\xff", 2)) {
        d.enc = EIniEncoding::Utf16BeBom;
        d.nBom = 2;
        DecodeWide(b, d, true);
        return d;
    }
    const auto flags = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;
    if (StartsWith(b, "\xef\xbb\xbf", 3)) {
        d.enc = EIniEncoding::Utf8Bom;
        d.nBom = 3;
        if (!DecodeWith(QStringDecoder(QStringConverter::Utf8, flags), b, d)) {
            d.problem = QStringLiteral("bytes that are not UTF-8 after a UTF-8 byte-order mark");
        }
        return d;
    }
    if (const int wide = WideWithoutMark(b)) {
        INI_DECODED w;
        w.enc = wide == 1 ? EIniEncoding::Utf16Le : EIniEncoding::Utf16Be;
        DecodeWide(b, w, wide == 2);
        if (!w.problem.isEmpty()) {
            w.text.clear(); // as 8-bit text it would be read wrongly and written back worse
        }
        return w;
    }
    d.enc = EIniEncoding::Utf8;
    if (DecodeWith(QStringDecoder(QStringConverter::Utf8, flags), b, d)) {
        return d;
    }
    d.enc = EIniEncoding::Ansi;
    QStringDecoder ansi(kIniAnsiCodec, flags);
    if (!ansi.isValid()) {
        d.text.clear();
        d.problem = QStringLiteral("no converter for the ANSI code page");
    } else if (!DecodeWith(std::move(ansi), b, d)) {
        d.text.clear();
        d.problem = QStringLiteral("bytes that are neither UTF-8 nor Shift-JIS");
    }
    return d;
}

QByteArray IniByteOrderMark(EIniEncoding enc)
{
    switch (enc) {
    case EIniEncoding::Utf16LeBom:
        return QByteArray("\xff\xfe", 2);
    case EIniEncoding::Utf16BeBom:
        return QByteArray("\xfe\xff", 2);
    case EIniEncoding::Utf8Bom:
        return QByteArray("\xef\xbb\xbf", 3);
    default:
        return QByteArray();
    }
}

std::optional<QByteArray> EncodeIni(QStringView text, EIniEncoding enc)
{
    if (!text.isValidUtf16()) {
        return std::nullopt;
    }
    QByteArray out;
    switch (enc) {
    case EIniEncoding::Utf16LeBom:
    case EIniEncoding::Utf16Le:
    case EIniEncoding::Utf16BeBom:
    case EIniEncoding::Utf16Be: {
        const bool bBig = enc == EIniEncoding::Utf16BeBom || enc == EIniEncoding::Utf16Be;
        out.resize(text.size() * 2);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t u = text[i].unicode();
            out[2 * i + (bBig ? 0 : 1)] = char(u >> 8);
            out[2 * i + (bBig ? 1 : 0)] = char(u & 0xff);
        }
        return out;
    }
    case EIniEncoding::Utf8Bom:
    case EIniEncoding::Utf8:
        return text.toUtf8();
    case EIniEncoding::Ansi: {
        QStringEncoder e(kIniAnsiCodec, QStringConverter::Flag::Stateless);
        if (!e.isValid()) {
            return std::nullopt;
        }
        out = e.encode(text);
        if (e.hasError()) {
            return std::nullopt; // a character the code page does not have
        }
        return out;
    }
    }
    return std::nullopt;
}
