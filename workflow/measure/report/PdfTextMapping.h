// Qt's PDF writer names each embedded glyph by the lowest code point the
// font's character map gives it. A CJK face draws an ideograph and the radical
// of the same shape with one glyph, so 角, 面, 高, 日 and 長 would be copied and
// searched as the radicals ⾓, ⾯, ⾼, ⽇ and ⻑. The report's text maps are
// mended to name the ideograph instead.
#pragma once

#include <QByteArray>

#include <functional>

class QRawFont;

// The code point a text map names for a glyph, given the one it names now.
using CODE_POINT_MAP = std::function<char16_t(char16_t)>;

// For a radical or stroke (or an extension ideograph) that font draws with
// the glyph of a unified ideograph: that ideograph; any other code point as
// it is.
CODE_POINT_MAP IdeographOfSharedGlyph(const QRawFont& font);

// Renames, by map, the targets of every text map (ToUnicode) of pdf that Qt
// wrote unfiltered, through an incremental update; false when pdf cannot be
// read, and then it is unchanged.
bool MendTextMaps(QByteArray& pdf, const CODE_POINT_MAP& map);
