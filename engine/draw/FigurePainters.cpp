#include "engine/draw/FigurePainters.h"

#include "engine/MeasureGeometry.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDegree = 3.141592653589793 / 180.0;

// The arc from a through b to c about their circle; false for collinear points.
bool ArcPath(POINT a, POINT b, POINT c, QPainterPath& path, bool bFullCircle, int32_t nLimit)
{
    double cx = 0, cy = 0, r = 0;
    if (IsCollinear(a, b, c) || !CalcCircle3Points(a, b, c, cx, cy, r) || r > nLimit) {
        return false;
    }
    const QPointF centre(RoundHalfUp(cx) + 0.5, RoundHalfUp(cy) + 0.5);
    const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    if (bFullCircle) {
        path.addEllipse(box);
        return true;
    }
    const int dir = CrossProduct(a, b, c) > 0 ? 1 : -1; // +1: clockwise on the screen
    const double t0 = std::atan2(a.y + 0.5 - centre.y(), a.x + 0.5 - centre.x());
    const double t2 = std::atan2(c.y + 0.5 - centre.y(), c.x + 0.5 - centre.x());
    const double sweep = std::fmod(dir * (t2 - t0) / kDegree + 720.0, 360.0);
    path.moveTo(PixelCentre(a));
    path.arcTo(box, -t0 / kDegree, -dir * sweep); // Qt counts angles counter-clockwise on the screen
    return true;
}

// A filled square of half side h about point a.
void PaintSquare(QPainter& p, POINT a, double h, COLORREF cr)
{
    p.fillRect(QRectF(PixelCentre(a) - QPointF(h, h), QSizeF(2 * h, 2 * h)), ColourOf(cr));
}

// --- one painter per figure type, from the record's n stored points --------

using FIGURE_PAINTER = void (*)(const FIGURE_PASS& pass, const RGN_DATA& d, int n, COLORREF crFigure,
                                COLORREF crText);

void PaintLine(const FIGURE_PASS& pass, const RGN_DATA& d, int n, COLORREF, COLORREF)
{
    if (n >= 2 && RgnPoint(d, 0) != RgnPoint(d, 1)) {
        pass.p->drawLine(PixelCentre(RgnPoint(d, 0)), PixelCentre(RgnPoint(d, 1)));
    }
}

void PaintCircle(const FIGURE_PASS& pass, const RGN_DATA& d, int n, COLORREF, COLORREF)
{
    if (n >= 5 && d.nX[4] > d.nX[3]) {
        pass.p->drawEllipse(QRectF(PixelCentre(RgnPoint(d, 3)), PixelCentre(RgnPoint(d, 4))));
    }
}

void PaintArc(const FIGURE_PASS& pass, const RGN_DATA& d, int n, COLORREF, COLORREF)
{
    QPainterPath path;
    if (n >= 3 && ArcPath(RgnPoint(d, 0), RgnPoint(d, 1), RgnPoint(d, 2), path, false, pass.eng->FarLimit())) {
        pass.p->drawPath(path);
    }
}

void PaintPolygon(const FIGURE_PASS& pass, const RGN_DATA& d, int n, COLORREF, COLORREF)
{
    if (n >= 2) {
        QPolygonF poly;
        for (int i = 0; i < n; ++i) {
            poly << PixelCentre(RgnPoint(d, i));
        }
        pass.p->drawPolygon(poly);
    }
}

void PaintPoints(const FIGURE_PASS& pass, const RGN_DATA& d, int n, COLORREF crFigure, COLORREF)
{
    for (int i = 0; i < n; ++i) {
        PaintSquare(*pass.p, RgnPoint(d, i), pass.nLineWidth, crFigure);
    }
}

void PaintText(const FIGURE_PASS& pass, const RGN_DATA& d, int n, COLORREF, COLORREF crText)
{
    if (n < 1) {
        return;
    }
    // An annotation keeps its own colour; captions follow the current setting.
    const COLORREF cr = crText != kOwnTextColour
                            ? crText
                            : (d.dValue == 0.0 ? d.crText : pass.eng->GetDrawSetting().MeasStrColor);
    const int pt = pass.bScreen ? pass.eng->ScreenFontPt(d.nFontPt) : d.nFontPt;
    CTextOutlines::OUTLINE& t = pass.pTexts->Get(d, pt);
    // Opaque colours filled without antialiasing: the sprite's pixels are the
    // fills' own, wherever it is placed a whole number of pixels away.
    const QTransform& tf = pass.p->worldTransform();
    if (tf.type() <= QTransform::TxTranslate && tf.dx() == std::floor(tf.dx()) && tf.dy() == std::floor(tf.dy()) &&
        !pass.p->testRenderHint(QPainter::Antialiasing)) {
        QPoint at;
        const QImage& sprite = CTextOutlines::Sprite(t, cr, at);
        pass.p->drawImage(at, sprite);
        return;
    }
    const QBrush brush(ColourOf(cr));
    pass.p->fillPath(t.halo, QBrush(ColourOf(ContrastingColour(cr))));
    pass.p->fillPath(t.fill, brush);
    pass.p->fillPath(t.stroke, brush);
}

// By figure type, RGN_LINE .. RGN_TEXT.
constexpr FIGURE_PAINTER kPainters[] = {PaintLine, PaintCircle, PaintArc, PaintPolygon, PaintPoints, PaintText};

} // namespace

QColor ColourOf(COLORREF cr)
{
    return QColor(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

QPointF PixelCentre(POINT p)
{
    return QPointF(p.x + 0.5, p.y + 0.5);
}

QPen FigurePen(COLORREF cr, int32_t w)
{
    return QPen(ColourOf(cr), std::max(1, w), Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
}

void PaintFigure(const FIGURE_PASS& pass, const RGN_DATA& d, COLORREF crFigure, COLORREF crText)
{
    pass.p->setPen(FigurePen(crFigure, pass.nLineWidth));
    pass.p->setBrush(Qt::NoBrush);
    if (d.nFigure >= RGN_LINE && d.nFigure <= RGN_TEXT) {
        kPainters[d.nFigure](pass, d, std::clamp(d.nPointNum, 0, MAX_RGN_POINT), crFigure, crText);
    }
}

QRect FigureBounds(const RGN_DATA& d, int32_t nLineWidth, int32_t nFarLimit)
{
    const int n = std::clamp(d.nPointNum, 0, MAX_RGN_POINT);
    if (n < 1 || d.nFigure < RGN_LINE || d.nFigure > RGN_TEXT || (d.nFigure == RGN_TEXT && n < 2)) {
        return QRect();
    }
    int64_t left = d.nX[0], top = d.nY[0], right = d.nX[0], bottom = d.nY[0];
    for (int i = 1; i < n; ++i) {
        left = std::min<int64_t>(left, d.nX[i]);
        right = std::max<int64_t>(right, d.nX[i]);
        top = std::min<int64_t>(top, d.nY[i]);
        bottom = std::max<int64_t>(bottom, d.nY[i]);
    }
    if (d.nFigure == RGN_ARC && n >= 3) {
        // An arc may bulge past its three points: its whole circle holds it.
        double cx = 0, cy = 0, r = 0;
        if (!IsCollinear(RgnPoint(d, 0), RgnPoint(d, 1), RgnPoint(d, 2)) &&
            CalcCircle3Points(RgnPoint(d, 0), RgnPoint(d, 1), RgnPoint(d, 2), cx, cy, r)) {
            if (r > nFarLimit) {
                return QRect();
            }
            left = std::min<int64_t>(left, int64_t(std::floor(cx - r)) - 1);
            right = std::max<int64_t>(right, int64_t(std::ceil(cx + r)) + 1);
            top = std::min<int64_t>(top, int64_t(std::floor(cy - r)) - 1);
            bottom = std::max<int64_t>(bottom, int64_t(std::ceil(cy + r)) + 1);
        }
    }
    // Pens reach half their width past the path, a point's square its whole
    // width; a text's glyphs and halo may stand out of its box by about
    // its size.
    const int64_t margin = 2 + std::max<int64_t>(nLineWidth, d.nFigure == RGN_TEXT ? int64_t(d.nFontPt) * 2 : 0);
    left -= margin;
    top -= margin;
    right += margin;
    bottom += margin;
    constexpr int64_t kLimit = int64_t(1) << 30;
    if (left < -kLimit || top < -kLimit || right > kLimit || bottom > kLimit) {
        return QRect();
    }
    return QRect(QPoint(int(left), int(top)), QPoint(int(right), int(bottom)));
}

void PaintPreview(const FIGURE_PASS& pass, const std::vector<PREVIEW_ITEM>& items)
{
    const CRgnDataCtrl& eng = *pass.eng;
    QPainter& p = *pass.p;
    const COLORREF crMaking = eng.GetDrawSetting().MakeRgnColor;
    const QPen pen = FigurePen(crMaking, pass.nLineWidth);
    const double markR = 5.0 / std::max(eng.GetRatio(), 1e-6);
    for (const PREVIEW_ITEM& it : items) {
        const bool bGiven = IsGivenPoint(it.a) && IsGivenPoint(it.b);
        switch (it.nType) {
        case PREVIEW_SEGMENT:
            if (bGiven && it.a != it.b) {
                p.setPen(pen);
                p.drawLine(PixelCentre(it.a), PixelCentre(it.b));
            }
            break;
        case PREVIEW_LINE:
            p.setPen(pen);
            p.drawLine(PixelCentre(it.a), PixelCentre(it.b));
            break;
        case PREVIEW_ARC:
        case PREVIEW_CIRCLE: {
            QPainterPath path;
            if (bGiven && IsGivenPoint(it.c) &&
                ArcPath(it.a, it.b, it.c, path, it.nType == PREVIEW_CIRCLE, eng.FarLimit())) {
                p.setPen(pen);
                p.drawPath(path);
            }
            break;
        }
        case PREVIEW_MARK:
            if (IsGivenPoint(it.a)) {
                p.setPen(QPen(ColourOf(0x010101), 0));
                p.setBrush(Qt::white);
                p.drawEllipse(PixelCentre(it.a), markR, markR);
                p.setBrush(Qt::NoBrush);
            }
            break;
        case PREVIEW_SQUARE:
            PaintSquare(p, it.a, pass.nLineWidth, crMaking);
            break;
        default:
            break;
        }
    }
}
