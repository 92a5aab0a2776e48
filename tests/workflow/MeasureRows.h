// Results rows as the engine lists them, for the suites of this folder.
#pragma once

#include "engine/RgnData.h"
#include "platform/TextField.h"

#include <QString>

inline MEASURE_DATA MakeRow(int32_t nMeasNum, int32_t nKind, double dValue, int32_t nFigure = RGN_LINE,
                            const QString& text = QString())
{
    MEASURE_DATA r{};
    r.nMeasNum = nMeasNum;
    r.nKind = nKind;
    r.nFigure = nFigure;
    r.dValue = dValue;
    r.dPixelValue = dValue;
    CopyTextField(r.szText, text.toStdU16String());
    return r;
}

inline MEASURE_DATA MakeTextRow(int32_t nMeasNum, const QString& text)
{
    return MakeRow(nMeasNum, MEAS_TEXT, 0.0, RGN_TEXT, text);
}
