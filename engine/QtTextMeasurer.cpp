#include "engine/QtTextMeasurer.h"

#include <QFontMetrics>

#include <cmath>

QFont MakeMeasureFont(const QString& fontName, int nPointSize)
{
    QFont font(fontName);
    font.setPixelSize(std::max(1, int(std::lround(nPointSize * 96.0 / 72.0))));
    return font;
}

QFont MakeMeasureFont(const std::u16string& fontName, int nPointSize)
{
    return MakeMeasureFont(QString::fromStdU16String(fontName), nPointSize);
}

bool CQtTextMeasurer::MeasureText(const std::u16string& text, const std::u16string& fontName, int nPointSize,
                                  int& cx, int& cy)
{
    if (fontName.empty() || nPointSize < 1 || nPointSize > 10000) {
        return false;
    }
    const QFontMetrics fm(MakeMeasureFont(fontName, nPointSize));
    cx = fm.horizontalAdvance(QString::fromStdU16String(text));
    cy = fm.height();
    return true;
}
