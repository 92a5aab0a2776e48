// Text extents for caption boxes. The GUI measures with the font it draws
// with; tests use a deterministic stand-in.
#pragma once

#include <string>

class ITextMeasurer {
public:
    virtual ~ITextMeasurer() = default;
    // Extent of text in the named font at nPointSize points; false when the
    // font cannot be made.
    virtual bool MeasureText(const std::u16string& text, const std::u16string& fontName, int nPointSize, int& cx,
                             int& cy) = 0;
};
