// Text extents from the fonts the overlay draws with, so a caption's box is
// the box that is drawn.
#pragma once

#include "engine/TextMeasurer.h"

#include <QFont>
#include <QString>

// The font of a text of nPointSize points (as a screen of 96 dpi makes it).
QFont MakeMeasureFont(const std::u16string& fontName, int nPointSize);
QFont MakeMeasureFont(const QString& fontName, int nPointSize);

class CQtTextMeasurer : public ITextMeasurer {
public:
    bool MeasureText(const std::u16string& text, const std::u16string& fontName, int nPointSize, int& cx,
                     int& cy) override;
};
