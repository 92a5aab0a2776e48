// The byte encodings an INI file may come in, told apart by its bytes, and
// conversion of text in either direction that either keeps every character
// or reports that it cannot.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

enum class EIniEncoding { Utf16LeBom, Utf16Le, Utf16BeBom, Utf16Be, Utf8Bom, Utf8, Ansi };

struct INI_DECODED {
    EIniEncoding enc = EIniEncoding::Utf16LeBom;
    QString text;         // everything after the byte-order mark
    qsizetype nBom = 0;   // bytes of the byte-order mark
    qsizetype nUsed = 0;  // bytes that hold the mark and the text (an odd last byte of UTF-16 does not)
    QString problem;      // why the bytes cannot be read without loss; empty when they can
};

// Files without a byte-order mark that are not UTF-8 are in the Windows ANSI
// code page of a Japanese system, which the profile functions write.
inline constexpr const char* kIniAnsiCodec = "Shift_JIS";

INI_DECODED DecodeIni(const QByteArray& bytes);
// text in enc, or nothing when a character would not come back as it was.
std::optional<QByteArray> EncodeIni(QStringView text, EIniEncoding enc);
QByteArray IniByteOrderMark(EIniEncoding enc);
inline bool IsIniWide(EIniEncoding enc)
{
    return enc == EIniEncoding::Utf16LeBom || enc == EIniEncoding::Utf16Le || enc == EIniEncoding::Utf16BeBom ||
           enc == EIniEncoding::Utf16Be;
}
