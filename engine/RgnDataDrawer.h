// Draws the engine's shapes, captions, selection, the shape under
// construction, the calibration line, cross lines and the scale bar. For the
// screen it draws straight into the window with the zoom and scroll as a
// transform, so a redraw needs no image-sized buffer; for saving it draws
// into the full-resolution picture.
#pragma once

#include "engine/RgnDataCtrl.h"
#include "engine/draw/FigurePainters.h"
#include "engine/draw/TextOutlines.h"

#include <QColor>
#include <QImage>

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
    // The same for a band of the picture whose top left pixel is the
    // picture's point origin, area given in the picture's coordinates. The
    // painter cuts the drawing at the band's edges, which may move a shape's
    // edge by a pixel here and there, never more.
    BOOL Render(const CRgnDataCtrl& eng, QImage& target, const RECT& area, QPoint origin);

    // Figure line width: DrawLineWidth (5 below 1), for the screen with auto
    // resize max(1, round(w / ratio)) raised to the ratio's minimum.
    static int32_t FigureLineWidth(int32_t nWidth, double dRatio, bool bScreen, BOOL bAutoReSize);
    static int32_t MinimumWidth(double dRatio);
    static QColor ToQColor(COLORREF cr) { return ColourOf(cr); }
    // How often the layer of finished shapes was drawn anew (for tests).
    int LayerRenderCount() const { return m_nLayerRenders; }

private:
    void DrawShapesLayer(const FIGURE_PASS& pass, const QTransform& view, int32_t nWidth, int32_t nHeight);
    void DrawSelection(const FIGURE_PASS& pass);
    void DrawCalibrationLine(const FIGURE_PASS& pass);
    void DrawCrossLines(const FIGURE_PASS& pass, int32_t nWidth);
    void DrawScale(QPainter& p, const CRgnDataCtrl& eng, const RECT& client, double dRatio, int32_t nLineWidth,
                   int nFontPt);

    CTextOutlines m_Texts;
    std::vector<PREVIEW_ITEM> m_Preview;
    // The finished shapes at window size, drawn anew only when the engine's
    // revision or the window size changed.
    QImage m_Layer;
    const CRgnDataCtrl* m_pLayerEngine = nullptr;
    uint64_t m_nLayerRevision = 0;
    // No finished shape: the blit over the picture is skipped.
    bool m_bLayerEmpty = true;
    int m_nLayerRenders = 0;
};
