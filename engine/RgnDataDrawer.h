// Draws the engine's shapes, captions, selection, the shape under
// construction, the calibration line, cross lines and the scale bar. For the
// screen it draws straight into the window with the zoom and scroll as a
// transform, so a redraw needs no image-sized buffer; for saving it draws
// into the full-resolution picture.
#pragma once

#include "engine/RgnDataCtrl.h"

#include <QColor>
#include <QImage>
#include <QPainterPath>

#include <unordered_map>

class QImage;
class QPainter;

class CRgnDataDrawer {
public:
    // Draws the whole overlay over a window client of nWidth x nHeight.
    // bOpaque fills the background colour first and frames the client, as on
    // a colour-keyed window; otherwise the drawing is blended over what the
    // target holds (the picture beneath the overlay).
    BOOL Draw(const CRgnDataCtrl& eng, QPainter& painter, int32_t nWidth, int32_t nHeight, bool bOpaque = false);
    // Draws into the full-resolution picture for saving: no zoom compensation,
    // no selection, preview or calibration line; the scale bar inside area
    // (the whole picture when area is empty).
    BOOL Render(const CRgnDataCtrl& eng, QImage& target, const RECT& area);

    // Figure line width: DrawLineWidth (5 below 1), for the screen with auto
    // resize max(1, round(w / ratio)) raised to the ratio's minimum.
    static int32_t FigureLineWidth(int32_t nWidth, double dRatio, bool bScreen, BOOL bAutoReSize);
    static int32_t MinimumWidth(double dRatio);
    static QColor ToQColor(COLORREF cr);
    // Forgets the cached text outlines and the layer of finished shapes.
    void ForgetCache()
    {
        m_Texts.clear();
        m_nLayerKey = 0;
    }
    // How often the layer of finished shapes was drawn anew (for tests).
    int LayerRenderCount() const { return m_nLayerRenders; }

private:
    struct CACHED_TEXT {
        std::u16string text;
        std::u16string font;
        int nPointSize;
        POINT pt;
        QPainterPath fill;
        QPainterPath stroke;
    };
    struct PASS {
        QPainter* p;
        const CRgnDataCtrl* eng;
        int32_t nLineWidth;
        bool bScreen;
    };

    void DrawShape(const PASS& pass, const CQSRgnData& shape, COLORREF crFigure, COLORREF crText);
    void DrawText(const PASS& pass, const RGN_DATA& d, COLORREF cr);
    void DrawConstruction(const PASS& pass);
    void DrawCalibrationLine(const PASS& pass);
    void DrawCrossLines(const PASS& pass, int32_t nWidth);
    void DrawScale(QPainter& p, const CRgnDataCtrl& eng, const RECT& client, double dRatio, int32_t nLineWidth,
                   int nFontPt);
    const CACHED_TEXT& TextOutline(const RGN_DATA& d, int nPointSize);
    static uint64_t LayerKey(const CRgnDataCtrl& eng, int32_t nWidth, int32_t nHeight);

    std::unordered_map<int32_t, CACHED_TEXT> m_Texts;
    CACHED_TEXT m_Scratch;
    // The finished shapes at window size, drawn anew only when a record, the
    // settings or the view changed.
    QImage m_Layer;
    uint64_t m_nLayerKey = 0;
    int m_nLayerRenders = 0;
};
