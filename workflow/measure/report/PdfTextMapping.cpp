#include "workflow/measure/report/PdfTextMapping.h"

#include "workflow/measure/report/PdfUpdate.h"

#include <QHash>
#include <QRawFont>
#include <QRegularExpression>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Unified ideographs, the code points the mended maps name.
constexpr char16_t kUnifiedFirst = 0x4E00;
constexpr char16_t kUnifiedLast = 0x9FFF;

// Code points below the unified block that a CJK face may draw with an
// ideograph's glyph: radicals, strokes and the first extension.
bool MaySharePlainGlyph(char16_t c)
{
    return (c >= 0x2E80 && c <= 0x2FDF) || (c >= 0x31C0 && c <= 0x31EF) || (c >= 0x3400 && c <= 0x4DBF);
}

QByteArray Hex4(char16_t c)
{
    return QByteArray::number(uint(c), 16).toUpper().rightJustified(4, '0');
}

// "<XXXX>" tokens (one UTF-16 unit each) in text, renamed by map; longer
// tokens (pairs of units, ligatures) are left as they are.
QByteArray MapTargets(const QByteArray& text, const CODE_POINT_MAP& map)
{
    static const QRegularExpression token(QStringLiteral("<([0-9A-Fa-f]{4})>"));
    QByteArray out;
    qsizetype from = 0;
    const QString s = QString::fromLatin1(text);
    for (QRegularExpressionMatchIterator it = token.globalMatch(s); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const char16_t c = char16_t(m.captured(1).toUInt(nullptr, 16));
        const char16_t to = map(c);
        out += text.mid(from, m.capturedStart() - from);
        out += '<' + (to != c ? Hex4(to) : m.captured(1).toLatin1()) + '>';
        from = m.capturedEnd();
    }
    out += text.mid(from);
    return out;
}

// The character map's text with its targets renamed. Only the targets: the
// glyph numbers before them stay.
QByteArray MapCMap(const QByteArray& cmap, const CODE_POINT_MAP& map)
{
    static const QRegularExpression rangeLine(QStringLiteral("^(\\s*<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*)(.*)$"));
    static const QRegularExpression charLine(QStringLiteral("^(\\s*<[0-9A-Fa-f]+>\\s*)(.*)$"));
    enum { Outside, InRange, InChar } state = Outside;
    QList<QByteArray> lines = cmap.split('\n');
    for (QByteArray& line : lines) {
        const QString s = QString::fromLatin1(line);
        const QByteArray word = line.trimmed();
        if (word.endsWith("beginbfrange")) {
            state = InRange;
        } else if (word.endsWith("beginbfchar")) {
            state = InChar;
        } else if (word.startsWith("endbf")) {
            state = Outside;
        } else if (state == InRange) {
            const QRegularExpressionMatch m = rangeLine.match(s);
            // "<lo> <hi> <first>" names a run from its first target on: renamed only when it is one glyph.
            if (m.hasMatch() && (m.captured(4).startsWith(QLatin1Char('[')) || m.captured(2) == m.captured(3))) {
                line = m.captured(1).toLatin1() + MapTargets(m.captured(4).toLatin1(), map);
            }
        } else if (state == InChar) {
            const QRegularExpressionMatch m = charLine.match(s);
            if (m.hasMatch()) {
                line = m.captured(1).toLatin1() + MapTargets(m.captured(2).toLatin1(), map);
            }
        }
    }
    return lines.join('\n');
}

// The numbers n of every "/ToUnicode n 0 R" in pdf.
std::vector<qint64> TextMapObjects(const QByteArray& pdf)
{
    std::vector<qint64> out;
    static const QByteArray key = "/ToUnicode";
    for (qsizetype at = pdf.indexOf(key); at >= 0; at = pdf.indexOf(key, at + key.size())) {
        const QByteArray after = pdf.mid(at + key.size(), 24).trimmed();
        const QList<QByteArray> fields = after.split(' ');
        if (fields.size() >= 3 && fields[1] == "0" && fields[2].startsWith('R')) {
            out.push_back(fields[0].toLongLong());
        }
    }
    // Faces of several sizes may share one map.
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// The stream of object nObject when its dictionary holds only a direct
// /Length (nothing to decode); empty otherwise.
QByteArray PlainStream(const QByteArray& pdf, qint64 nObject)
{
    const qsizetype objAt = FindPdfObject(pdf, nObject);
    const qsizetype streamAt = objAt >= 0 ? pdf.indexOf("stream", objAt) : -1;
    if (streamAt < 0) {
        return {};
    }
    static const QRegularExpression plainDict(QStringLiteral("^\\d+ 0 obj\\s*<<\\s*/Length (\\d+)\\s*>>\\s*$"));
    const QRegularExpressionMatch m = plainDict.match(QString::fromLatin1(pdf.mid(objAt, streamAt - objAt)));
    if (!m.hasMatch()) {
        return {};
    }
    qsizetype dataAt = streamAt + 6;
    dataAt += pdf.mid(dataAt, 2) == "\r\n" ? 2 : 1;
    const qsizetype nLength = m.captured(1).toLongLong();
    return dataAt + nLength <= pdf.size() ? pdf.mid(dataAt, nLength) : QByteArray();
}

} // namespace

CODE_POINT_MAP IdeographOfSharedGlyph(const QRawFont& font)
{
    // Each unified ideograph's glyph, made on the first code point that needs it.
    auto pByGlyph = std::make_shared<QHash<quint32, char16_t>>();
    return [font, pByGlyph](char16_t c) -> char16_t {
        if (!MaySharePlainGlyph(c) || !font.isValid()) {
            return c;
        }
        if (pByGlyph->isEmpty()) {
            QString all;
            all.reserve(kUnifiedLast - kUnifiedFirst + 1);
            for (char32_t u = kUnifiedFirst; u <= kUnifiedLast; ++u) {
                all += QChar(char16_t(u));
            }
            const QList<quint32> glyphs = font.glyphIndexesForString(all);
            for (qsizetype i = 0; i < glyphs.size(); ++i) {
                if (glyphs[i] != 0 && !pByGlyph->contains(glyphs[i])) {
                    pByGlyph->insert(glyphs[i], char16_t(kUnifiedFirst + i));
                }
            }
        }
        const QList<quint32> glyph = font.glyphIndexesForString(QString(QChar(c)));
        return glyph.size() == 1 && glyph[0] != 0 ? pByGlyph->value(glyph[0], c) : c;
    };
}

bool MendTextMaps(QByteArray& pdf, const CODE_POINT_MAP& map)
{
    CPdfUpdate update;
    if (!update.Begin(pdf)) {
        return false;
    }
    // The maps are read through the cross-references, which the update's
    // objects join only at Finish.
    bool bAdded = false;
    for (qint64 nObject : TextMapObjects(pdf)) {
        const QByteArray cmap = PlainStream(pdf, nObject);
        const QByteArray mapped = cmap.isEmpty() ? cmap : MapCMap(cmap, map);
        if (mapped != cmap) {
            bAdded = update.AddStream(nObject, QByteArray(), mapped) || bAdded;
        }
    }
    // Nothing to mend is a whole file too.
    return !bAdded || update.Finish();
}
