#include "engine/RgnDataDrawer.h"

#include "engine/MeasureGeometry.h"
#include "engine/QtTextMeasurer.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

int32_t CRgnDataDrawer::MinimumWidth(double r)
{
    // The thinnest line that still shows after the picture is shrunk by r.
    static const struct {
        double dRatio;
        int32_t nWidth;
    } kMinimum[] = {{1.0, 1}, {0.8, 2}, {0.6, 3}, {0.5, 4}, {0.4, 5}, {0.3, 8}, {0.2, 11}, {0.1, 22}};
    for (const auto& m : kMinimum) {
        if (r >= m.dRatio) {
            return m.nWidth;
        }
    }
    return 35;
}

int32_t CRgnDataDrawer::FigureLineWidth(int32_t nWidth, double dRatio, bool bScreen, BOOL bAutoReSize)
{
    int32_t w = nWidth < 1 ? 5 : nWidth;
    if (bScreen && bAutoReSize && dRatio > 0.0) {
        const double v = w / dRatio;
        w = std::max<int32_t>(1, FitsInt32(v) ? RoundHalfUp(v) : INT32_MAX / 4);
        w = std::max(w, MinimumWidth(dRatio));
    }
    return std::min<int32_t>(w, 100000);
}

void CRgnDataDrawer::DrawCalibrationLine(const FIGURE_PASS& pass)
{
    const CRgnDataCtrl& eng = *pass.eng;
    QPainter& p = *pass.p;
    const int n = eng.GetPointCount();
    const int kind = eng.GetMakingKind();
    const DRAW_SETTING& s = eng.GetDrawSetting();
    const bool bDone = (kind == 0 && n >= 2) || (kind == 1 && n >= 3);
    p.setPen(FigurePen(bDone ? s.RgnColor : s.MakeRgnColor, pass.nLineWidth));
    auto seg = [&](POINT a, POINT b) {
        if (IsGivenPoint(a) && IsGivenPoint(b) && a != b) {
            p.drawLine(PixelCentre(a), PixelCentre(b));
        }
    };
    const POINT a = eng.GetInputPoint(0), b = eng.GetInputPoint(1), q = eng.GetInputPoint(2);
    if (n < 1) {
        return;
    }
    seg(a, b);
    if (kind == 1 && n >= 2 && IsGivenPoint(q) && a != b) {
        const POINT f = CalcPerpendicularFoot(q, a, b);
        seg(q, f);
        seg(POINT{a.x + q.x - f.x, a.y + q.y - f.y}, POINT{b.x + q.x - f.x, b.y + q.y - f.y});
    }
}

void CRgnDataDrawer::DrawCrossLines(const FIGURE_PASS& pass, int32_t nWidth)
{
    const CRgnDataCtrl& eng = *pass.eng;
    QPainter& p = *pass.p;
    p.setPen(FigurePen(eng.GetDrawSetting().CrossColor, nWidth));
    const double W = eng.GetImageWidth(), H = eng.GetImageHeight();
    for (int i = 0; i < MAX_CROSS_LINE; ++i) {
        if (eng.GetCrossX()[i] != 0) {
            const double x = eng.GetCrossX()[i] + 0.5;
            p.drawLine(QPointF(x, 0), QPointF(x, H));
        }
        if (eng.GetCrossY()[i] != 0) {
            const double y = eng.GetCrossY()[i] + 0.5;
            p.drawLine(QPointF(0, y), QPointF(W, y));
        }
    }
}

void CRgnDataDrawer::DrawScale(QPainter& p, const CRgnDataCtrl& eng, const RECT& client, double dRatio,
                               int32_t nLineWidth, int nFontPt)
{
    const double k = eng.GetCalibration();
    const double Lx = eng.m_dScaleSizeX, Ly = eng.m_dScaleSizeY;
    if (!(k > 0.0) || !(Lx > 0.0) || !(dRatio > 0.0)) {
        return;
    }
    const int corner = eng.m_nScalePos;
    const double lenX = Lx / k * dRatio;
    if (!FitsInt32(lenX) || !FitsInt32(Ly / k * dRatio)) {
        return;
    }
    const int m = RoundHalfUp(30 * dRatio);
    const int left = client.left, top = client.top, right = client.right, bottom = client.bottom;
    const POINT o{(corner == 0 || corner == 1) ? left + m : right - m, (corner == 0 || corner == 2) ? top + m : bottom - m};
    p.setPen(FigurePen(eng.GetDrawSetting().ScaleColor, std::max(1, RoundHalfUp(nLineWidth * dRatio))));
    const int hx = (corner == 0 || corner == 1) ? 1 : -1;
    const POINT fx{o.x + hx * RoundHalfUp(lenX), o.y};
    p.drawLine(QPointF(o.x, o.y), QPointF(fx.x, fx.y));
    p.drawLine(QPointF(fx.x, fx.y - 10), QPointF(fx.x, fx.y + 10));
    if (Ly == 0.0) {
        p.drawLine(QPointF(o.x, o.y - 10), QPointF(o.x, o.y + 10));
    } else {
        const int vy = (corner == 0 || corner == 2) ? 1 : -1;
        const POINT fy{o.x, o.y + vy * RoundHalfUp(Ly / k * dRatio)};
        p.drawLine(QPointF(o.x, o.y), QPointF(fy.x, fy.y));
        p.drawLine(QPointF(fy.x - 10, fy.y), QPointF(fy.x + 10, fy.y));
    }
    // The label: the horizontal length without its unit.
    const std::u16string text = FormatValueString(Lx, eng.GetDecimals());
    const QFont font = MakeMeasureFont(TextFieldString(eng.GetDrawSetting().MeasStrFontName), std::max(1, nFontPt));
    const QFontMetrics fm(font);
    const int cx = fm.horizontalAdvance(QString::fromStdU16String(text));
    const int cy = fm.height();
    const int h = int(std::trunc(lenX / 2));
    int x = 0;
    if (corner == 0 || corner == 1) {
        x = o.x + h - cx / 2;
        if (x < o.x) {
            x = o.x + 5;
        }
    } else {
        x = o.x - h - cx / 2;
        if (x + cx > o.x) {
            x = o.x - cx - 5;
        }
    }
    const int y = (corner == 0 || corner == 2) ? o.y + m / 2 : o.y - m / 2 - cy;
    QPainterPath path;
    path.addText(QPointF(x, y + fm.ascent()), font, QString::fromStdU16String(text));
    const QColor colour = ToQColor(eng.GetDrawSetting().ScaleColor);
    // The label's halo, as captions have, keeps it legible on a picture of its colour.
    QPainterPathStroker halo;
    halo.setWidth(CTextOutlines::HaloWidth(nFontPt));
    halo.setJoinStyle(Qt::RoundJoin);
    p.fillPath(halo.createStroke(path), ColourOf(ContrastingColour(eng.GetDrawSetting().ScaleColor)));
    p.setPen(QPen(colour, 1));
    p.setBrush(colour);
    p.drawPath(path);
    p.setBrush(Qt::NoBrush);
}

void CRgnDataDrawer::DrawShapesLayer(const FIGURE_PASS& pass, const QTransform& view, int32_t nWidth,
                                     int32_t nHeight)
{
    const CRgnDataCtrl& eng = *pass.eng;
    const bool bSize = m_Layer.width() == nWidth && m_Layer.height() == nHeight;
    if (!bSize || m_pLayerEngine != &eng || m_nLayerRevision != eng.GetRevision()) {
        if (!bSize) {
            m_Layer = QImage(nWidth, nHeight, QImage::Format_ARGB32_Premultiplied);
        }
        m_Layer.fill(Qt::transparent);
        QPainter layer(&m_Layer);
        layer.setRenderHint(QPainter::Antialiasing, false);
        layer.setTransform(view);
        const FIGURE_PASS layerPass{&layer, &eng, pass.nLineWidth, true, &m_Texts};
        for (const CQSRgnData& shape : eng.GetShapeList()) {
            PaintFigure(layerPass, shape.Data(), eng.GetDrawSetting().RgnColor, kOwnTextColour);
        }
        m_pLayerEngine = &eng;
        m_nLayerRevision = eng.GetRevision();
        m_bLayerEmpty = eng.GetShapeList().empty();
        ++m_nLayerRenders;
    }
    pass.p->setTransform(QTransform());
    if (!m_bLayerEmpty) {
        pass.p->drawImage(0, 0, m_Layer); // blended over the picture beneath
    }
}

void CRgnDataDrawer::DrawSelection(const FIGURE_PASS& pass)
{
    const CRgnDataCtrl& eng = *pass.eng;
    const DRAW_SETTING& s = eng.GetDrawSetting();
    const std::vector<int32_t>& sel = eng.GetSelection();
    if (eng.GetInputState() != INPUT_SELECTED || sel.empty()) {
        return;
    }
    const int32_t frameWidth = FigureLineWidth(1, eng.GetRatio(), true, TRUE);
    for (const CQSRgnData& shape : eng.GetShapeList()) {
        const RGN_DATA& d = shape.Data();
        if (d.nMeasNo == 0 || std::find(sel.begin(), sel.end(), d.nMeasNo) == sel.end()) {
            continue;
        }
        PaintFigure(pass, d, s.SelRgnColor, s.SelMeasStrColor);
        if (d.nFigure == RGN_TEXT && d.nPointNum >= 2) {
            pass.p->setPen(FigurePen(s.SelMeasStrColor, frameWidth));
            pass.p->setBrush(Qt::NoBrush);
            pass.p->drawRect(QRectF(QPointF(d.nX[0], d.nY[0]), QPointF(d.nX[1], d.nY[1])));
        }
    }
}

BOOL CRgnDataDrawer::Draw(const CRgnDataCtrl& eng, QPainter& painter, int32_t nWidth, int32_t nHeight, bool bOpaque)
{
    if (!eng.HasDrawWindow() || nWidth <= 0 || nHeight <= 0 || !(eng.GetRatio() > 0.0)) {
        return FALSE;
    }
    const DRAW_SETTING& s = eng.GetDrawSetting();
    const double r = eng.GetRatio();
    m_Texts.Prune(eng.GetShapeList());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (bOpaque) {
        painter.fillRect(QRect(0, 0, nWidth, nHeight), Qt::black);
    }
    // The picture's source region of trunc(w / ratio) pixels is stretched to
    // the window: use that exact scale.
    const double srcW = std::max(1.0, std::trunc(nWidth / r));
    const double srcH = std::max(1.0, std::trunc(nHeight / r));
    const double sx = nWidth / srcW, sy = nHeight / srcH;
    const POINT scroll = eng.GetScroll();
    painter.setClipRect(QRect(0, 0, nWidth, nHeight));
    const QTransform view(sx, 0, 0, sy, -scroll.x * sx, -scroll.y * sy);
    const FIGURE_PASS pass{&painter, &eng, FigureLineWidth(s.DrawLineWidth, r, true, s.bAutoReSize), true, &m_Texts};
    if (eng.m_bDispShapes) {
        DrawShapesLayer(pass, view, nWidth, nHeight);
    }
    painter.setTransform(view);
    if (eng.m_bDispShapes) {
        DrawSelection(pass);
        eng.GetPreview(m_Preview);
        PaintPreview(pass, m_Preview);
    }
    if (eng.m_bDispCrossLine) {
        DrawCrossLines(pass, FigureLineWidth(s.DrawCrossLineWidth, r, true, s.bAutoReSize));
    }
    if (eng.IsCalibrationLineShown()) {
        DrawCalibrationLine(pass);
    }
    painter.setTransform(QTransform());
    if (eng.m_bDispScale) {
        int pt = s.bAutoReSize ? s.MeasStrFontPt : RoundHalfUp(s.MeasStrFontPt * r);
        if (s.bAutoReSize && RoundHalfUp(s.MeasStrFontPt / r) < 12) {
            pt = RoundHalfUp(12 * r);
        }
        DrawScale(painter, eng, RECT{0, 0, nWidth, nHeight}, r, pass.nLineWidth, pt);
    }
    if (bOpaque) {
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(0, 0, nWidth - 1, nHeight - 1));
    }
    painter.restore();
    return TRUE;
}

BOOL CRgnDataDrawer::Render(const CRgnDataCtrl& eng, QImage& target, const RECT& area)
{
    return Render(eng, target, area, QPoint(0, 0));
}

BOOL CRgnDataDrawer::Render(const CRgnDataCtrl& eng, QImage& target, const RECT& area, QPoint origin)
{
    if (!eng.HasDrawWindow() || target.isNull() || eng.GetImageHeight() < 1) {
        return FALSE;
    }
    QPainter painter(&target);
    if (!painter.isActive()) {
        return FALSE;
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(-origin);
    const DRAW_SETTING& s = eng.GetDrawSetting();
    const int32_t w = FigureLineWidth(s.DrawLineWidth, 1.0, false, FALSE);
    const FIGURE_PASS pass{&painter, &eng, w, false, &m_Texts};
    // A band skips the figures that lie wholly off it.
    const QRect band(origin, target.size());
    const bool bWhole = origin.isNull() && target.width() >= eng.GetImageWidth() &&
                        target.height() >= eng.GetImageHeight();
    for (const CQSRgnData& shape : eng.GetShapeList()) {
        if (!bWhole) {
            const QRect bounds = FigureBounds(shape.Data(), w, eng.FarLimit());
            if (!bounds.isNull() && !bounds.intersects(band)) {
                continue;
            }
        }
        PaintFigure(pass, shape.Data(), s.RgnColor, kOwnTextColour);
    }
    if (eng.m_bDispCrossLine) {
        DrawCrossLines(pass, FigureLineWidth(s.DrawCrossLineWidth, 1.0, false, FALSE));
    }
    if (eng.m_bDispScale) {
        const bool bEmpty = area.right <= area.left || area.bottom <= area.top;
        const RECT rc = bEmpty ? RECT{0, 0, target.width(), target.height()} : area;
        DrawScale(painter, eng, rc, 1.0, w, s.MeasStrFontPt);
    }
    return TRUE;
}
