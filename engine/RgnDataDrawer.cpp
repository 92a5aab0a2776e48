#include "engine/RgnDataDrawer.h"

#include "engine/MeasureGeometry.h"
#include "engine/QtTextMeasurer.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <unordered_set>

namespace {

constexpr double kDegree = 3.141592653589793 / 180.0;

// The centre of image pixel p: figures cover the same pixels as when drawn
// at image resolution and stretched.
QPointF C(POINT p)
{
    return QPointF(p.x + 0.5, p.y + 0.5);
}

QPen FigurePen(COLORREF cr, int32_t w)
{
    QPen pen(CRgnDataDrawer::ToQColor(cr), std::max(1, w), Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    return pen;
}

bool Present(POINT p)
{
    return p.x != 0 && p.y != 0; // a point at x 0 or y 0 counts as not yet given
}

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
    path.moveTo(C(a));
    path.arcTo(box, -t0 / kDegree, -dir * sweep); // Qt counts angles counter-clockwise on the screen
    return true;
}

} // namespace

QColor CRgnDataDrawer::ToQColor(COLORREF cr)
{
    return QColor(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

int32_t CRgnDataDrawer::MinimumWidth(double r)
{
    if (r >= 1.0) {
        return 1;
    }
    if (r >= 0.8) {
        return 2;
    }
    if (r >= 0.6) {
        return 3;
    }
    if (r >= 0.5) {
        return 4;
    }
    if (r >= 0.4) {
        return 5;
    }
    if (r >= 0.3) {
        return 8;
    }
    if (r >= 0.2) {
        return 11;
    }
    if (r >= 0.1) {
        return 22;
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

const CRgnDataDrawer::CACHED_TEXT& CRgnDataDrawer::TextOutline(const RGN_DATA& d, int nPointSize)
{
    const std::u16string text = TextFieldString(d.szText);
    const std::u16string font = TextFieldString(d.szFontName);
    const POINT pt = RgnPoint(d, 0);
    CACHED_TEXT* pEntry = &m_Scratch;
    if (d.nID != 0) {
        pEntry = &m_Texts[d.nID];
        if (pEntry->text == text && pEntry->font == font && pEntry->nPointSize == nPointSize && pEntry->pt == pt &&
            !pEntry->fill.isEmpty()) {
            return *pEntry; // built when the text last changed
        }
    }
    const QFont qfont = MakeMeasureFont(font, nPointSize);
    const QFontMetrics fm(qfont);
    QPainterPath path;
    path.addText(QPointF(pt.x, pt.y + fm.ascent()), qfont, QString::fromStdU16String(text));
    QPainterPathStroker stroker;
    stroker.setWidth(1.0);
    QPainterPath stroke = stroker.createStroke(path);
    stroke.setFillRule(Qt::WindingFill);
    *pEntry = CACHED_TEXT{text, font, nPointSize, pt, path, stroke};
    return *pEntry;
}

void CRgnDataDrawer::DrawText(const PASS& pass, const RGN_DATA& d, COLORREF cr)
{
    if (d.nPointNum < 1) {
        return;
    }
    const int pt = pass.bScreen ? pass.eng->ScreenFontPt(d.nFontPt) : d.nFontPt;
    const CACHED_TEXT& t = TextOutline(d, pt);
    const QBrush brush(ToQColor(cr));
    pass.p->fillPath(t.fill, brush);
    pass.p->fillPath(t.stroke, brush);
}

void CRgnDataDrawer::DrawShape(const PASS& pass, const CQSRgnData& shape, COLORREF crFigure, COLORREF crText)
{
    const RGN_DATA& d = shape.m_RgnData;
    QPainter& p = *pass.p;
    const int n = std::clamp(d.nPointNum, 0, MAX_RGN_POINT);
    p.setPen(FigurePen(crFigure, pass.nLineWidth));
    p.setBrush(Qt::NoBrush);
    switch (d.nFigure) {
    case RGN_LINE:
        if (n >= 2 && RgnPoint(d, 0) != RgnPoint(d, 1)) {
            p.drawLine(C(RgnPoint(d, 0)), C(RgnPoint(d, 1)));
        }
        break;
    case RGN_CIRCLE:
        if (n >= 5 && d.nX[4] > d.nX[3]) {
            p.drawEllipse(QRectF(C(RgnPoint(d, 3)), C(RgnPoint(d, 4))));
        }
        break;
    case RGN_ARC:
        if (n >= 3) {
            QPainterPath path;
            if (ArcPath(RgnPoint(d, 0), RgnPoint(d, 1), RgnPoint(d, 2), path, false, pass.eng->FarLimit())) {
                p.drawPath(path);
            }
        }
        break;
    case RGN_POLYGON:
        if (n >= 2) {
            QPolygonF poly;
            for (int i = 0; i < n; ++i) {
                poly << C(RgnPoint(d, i));
            }
            p.drawPolygon(poly);
        }
        break;
    case RGN_POINTS: {
        const double h = pass.nLineWidth;
        for (int i = 0; i < n; ++i) {
            p.fillRect(QRectF(C(RgnPoint(d, i)) - QPointF(h, h), QSizeF(2 * h, 2 * h)), ToQColor(crFigure));
        }
        break;
    }
    case RGN_TEXT:
        // An annotation keeps its own colour; captions follow the current setting.
        DrawText(pass, d, crText != 0xffffffffu ? crText : (d.dValue == 0.0 ? d.crText : pass.eng->GetDrawSetting().MeasStrColor));
        break;
    default:
        break;
    }
}

void CRgnDataDrawer::DrawConstruction(const PASS& pass)
{
    const CRgnDataCtrl& eng = *pass.eng;
    QPainter& p = *pass.p;
    const int n = eng.GetPointCount();
    const int kind = eng.GetMakingKind();
    const DRAW_SETTING& s = eng.GetDrawSetting();
    const QPen pen = FigurePen(s.MakeRgnColor, pass.nLineWidth);
    auto P = [&](int i) { return eng.GetInputPoint(i); };
    auto seg = [&](POINT a, POINT b) {
        if (Present(a) && Present(b) && a != b) {
            p.setPen(pen);
            p.drawLine(C(a), C(b));
        }
    };
    const double markR = 5.0 / std::max(eng.GetRatio(), 1e-6);
    auto mark = [&](POINT a) {
        if (Present(a)) {
            p.setPen(QPen(ToQColor(0x010101), 0));
            p.setBrush(Qt::white);
            p.drawEllipse(C(a), markR, markR);
            p.setBrush(Qt::NoBrush);
        }
    };
    auto circle = [&](POINT a, POINT b, POINT c, bool bFull) {
        QPainterPath path;
        if (Present(a) && Present(b) && Present(c) && ArcPath(a, b, c, path, bFull, eng.FarLimit())) {
            p.setPen(pen);
            p.drawPath(path);
        }
    };
    auto perpendicular = [&](POINT a, POINT b, POINT q, bool bParallel) {
        if (!Present(a) || !Present(b) || !Present(q) || a == b) {
            return;
        }
        const POINT f = CalcPerpendicularFoot(q, a, b);
        seg(q, f);
        if (bParallel) {
            seg(POINT{a.x + q.x - f.x, a.y + q.y - f.y}, POINT{b.x + q.x - f.x, b.y + q.y - f.y});
        }
    };
    switch (kind) {
    case MEAS_LENGTH:
        if (n == 1) {
            seg(P(0), P(1));
        }
        break;
    case MEAS_PARALLEL:
        if (n >= 1) {
            seg(P(0), P(1));
        }
        if (n == 2) {
            perpendicular(P(0), P(1), P(2), true);
        }
        break;
    case MEAS_CIRCLE:
    case MEAS_ARC:
        if (n >= 2) {
            circle(P(0), P(1), P(2), kind == MEAS_CIRCLE);
        }
        if (n >= 1) {
            mark(P(0));
        }
        if (n == 2) {
            mark(P(1));
        }
        break;
    case MEAS_2CIRCLE:
        if (n >= 2) {
            circle(P(0), P(1), P(2), true);
        }
        if (n >= 5) {
            circle(P(3), P(4), P(5), true);
        }
        if (n >= 1 && n <= 2) {
            mark(P(0));
        }
        if (n == 2) {
            mark(P(1));
        }
        if (n > 3) {
            mark(P(3));
        }
        if (n == 5) {
            mark(P(4));
        }
        break;
    case MEAS_PERPENDICULAR:
        if (n >= 1) {
            seg(P(0), P(1));
        }
        for (int i = 2; i <= n && i < MAX_INPUT_POINT; ++i) {
            perpendicular(P(0), P(1), P(i), false);
        }
        break;
    case MEAS_POLYGON:
        for (int i = 0; i < n && i + 1 < MAX_INPUT_POINT; ++i) {
            seg(P(i), P(i + 1));
        }
        break;
    case MEAS_ANGLE:
        if (n >= 1) {
            seg(P(0), P(1));
        }
        if (n == 2) {
            seg(P(1), P(2));
        }
        break;
    case MEAS_2LINE_ANGLE:
        if (n >= 1 && n <= 3) {
            seg(P(0), P(1));
        }
        if (n == 3) {
            seg(P(2), P(3));
        }
        if (n >= 4) {
            double x = 0, y = 0;
            if (CalcLineIntersection(P(0), P(1), P(2), P(3), x, y) && FitsInt32(x) && FitsInt32(y) &&
                std::fabs(x) < eng.FarLimit() && std::fabs(y) < eng.FarLimit()) {
                const POINT I{RoundHalfUp(x), RoundHalfUp(y)};
                auto far = [&](POINT a, POINT b) {
                    const double da = std::hypot(double(a.x) - I.x, double(a.y) - I.y);
                    const double db = std::hypot(double(b.x) - I.x, double(b.y) - I.y);
                    return db > da ? b : a;
                };
                p.setPen(pen);
                p.drawLine(C(far(P(0), P(1))), C(I));
                p.drawLine(C(I), C(far(P(2), P(3))));
            }
        }
        break;
    case MEAS_COUNT: {
        const double h = pass.nLineWidth;
        for (int i = 0; i < n; ++i) {
            p.fillRect(QRectF(C(P(i)) - QPointF(h, h), QSizeF(2 * h, 2 * h)), ToQColor(s.MakeRgnColor));
        }
        break;
    }
    default:
        break;
    }
}

void CRgnDataDrawer::DrawCalibrationLine(const PASS& pass)
{
    const CRgnDataCtrl& eng = *pass.eng;
    QPainter& p = *pass.p;
    const int n = eng.GetPointCount();
    const int kind = eng.GetMakingKind();
    const DRAW_SETTING& s = eng.GetDrawSetting();
    const bool bDone = (kind == 0 && n >= 2) || (kind == 1 && n >= 3);
    p.setPen(FigurePen(bDone ? s.RgnColor : s.MakeRgnColor, pass.nLineWidth));
    auto seg = [&](POINT a, POINT b) {
        if (Present(a) && Present(b) && a != b) {
            p.drawLine(C(a), C(b));
        }
    };
    const POINT a = eng.GetInputPoint(0), b = eng.GetInputPoint(1), q = eng.GetInputPoint(2);
    if (n < 1) {
        return;
    }
    seg(a, b);
    if (kind == 1 && n >= 2 && Present(q) && a != b) {
        const POINT f = CalcPerpendicularFoot(q, a, b);
        seg(q, f);
        seg(POINT{a.x + q.x - f.x, a.y + q.y - f.y}, POINT{b.x + q.x - f.x, b.y + q.y - f.y});
    }
}

void CRgnDataDrawer::DrawCrossLines(const PASS& pass, int32_t nWidth)
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
    p.setPen(QPen(colour, 1));
    p.setBrush(colour);
    p.drawPath(path);
    p.setBrush(Qt::NoBrush);
}

namespace {
struct KEY_HASH {
    uint64_t h = 1469598103934665603ull;
    void Bytes(const void* p, size_t n)
    {
        const auto* b = static_cast<const uint8_t*>(p);
        size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            uint64_t w;
            std::memcpy(&w, b + i, 8);
            h = (h ^ w) * 0x100000001b3ull;
            h ^= h >> 29;
        }
        for (; i < n; ++i) {
            h = (h ^ b[i]) * 0x100000001b3ull;
        }
    }
    template <class T>
    void Value(const T& v)
    {
        Bytes(&v, sizeof(v));
    }
};
} // namespace

uint64_t CRgnDataDrawer::LayerKey(const CRgnDataCtrl& eng, int32_t nWidth, int32_t nHeight)
{
    KEY_HASH k;
    k.Value(nWidth);
    k.Value(nHeight);
    k.Value(eng.GetRatio());
    k.Value(eng.GetScroll());
    k.Value(eng.m_bDispShapes);
    const DRAW_SETTING& s = eng.GetDrawSetting();
    k.Value(s.RgnColor);
    k.Value(s.MeasStrColor);
    k.Value(s.DrawLineWidth);
    k.Value(s.bAutoReSize);
    k.Value(s.MeasStrFontPt);
    k.Bytes(s.MeasStrFontName, sizeof(s.MeasStrFontName));
    for (const CQSRgnData& shape : eng.GetShapeList()) {
        // Field by field: padding bytes of a record carry nothing.
        const RGN_DATA& d = shape.m_RgnData;
        k.Bytes(&d.nID, offsetof(RGN_DATA, nParentID) + sizeof(d.nParentID) - offsetof(RGN_DATA, nID));
        k.Value(d.dValue);
        k.Bytes(d.szText, sizeof(d.szText));
        k.Bytes(d.szFontName, sizeof(d.szFontName));
        k.Value(d.nFontPt);
        k.Value(d.crText);
    }
    return k.h | 1; // never 0, the value of an empty cache
}

BOOL CRgnDataDrawer::Draw(const CRgnDataCtrl& eng, QPainter& painter, int32_t nWidth, int32_t nHeight, bool bOpaque)
{
    if (!eng.HasDrawWindow() || nWidth <= 0 || nHeight <= 0 || !(eng.GetRatio() > 0.0)) {
        return FALSE;
    }
    const DRAW_SETTING& s = eng.GetDrawSetting();
    const double r = eng.GetRatio();
    if (m_Texts.size() > eng.GetShapeList().size() * 2 + 64) {
        std::unordered_set<int32_t> alive;
        for (const CQSRgnData& shape : eng.GetShapeList()) {
            alive.insert(shape.m_RgnData.nID);
        }
        for (auto it = m_Texts.begin(); it != m_Texts.end();) {
            it = alive.count(it->first) ? std::next(it) : m_Texts.erase(it);
        }
    }
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
    const PASS pass{&painter, &eng, FigureLineWidth(s.DrawLineWidth, r, true, s.bAutoReSize), true};
    if (eng.m_bDispShapes) {
        const uint64_t key = LayerKey(eng, nWidth, nHeight);
        if (key != m_nLayerKey || m_Layer.width() != nWidth || m_Layer.height() != nHeight) {
            if (m_Layer.width() != nWidth || m_Layer.height() != nHeight) {
                m_Layer = QImage(nWidth, nHeight, QImage::Format_ARGB32_Premultiplied);
            }
            m_Layer.fill(Qt::transparent);
            QPainter layer(&m_Layer);
            layer.setRenderHint(QPainter::Antialiasing, false);
            layer.setTransform(view);
            const PASS layerPass{&layer, &eng, pass.nLineWidth, true};
            for (const CQSRgnData& shape : eng.GetShapeList()) {
                DrawShape(layerPass, shape, s.RgnColor, 0xffffffffu);
            }
            m_nLayerKey = key;
            ++m_nLayerRenders;
        }
        painter.setTransform(QTransform());
        painter.drawImage(0, 0, m_Layer); // blended over the picture beneath
    }
    painter.setTransform(view);
    if (eng.m_bDispShapes) {
        const std::vector<int32_t>& sel = eng.GetSelection();
        if (eng.GetInputState() == INPUT_SELECTED && !sel.empty()) {
            const int32_t frameWidth = FigureLineWidth(1, r, true, TRUE);
            for (const CQSRgnData& shape : eng.GetShapeList()) {
                const RGN_DATA& d = shape.m_RgnData;
                if (d.nMeasNo == 0 || std::find(sel.begin(), sel.end(), d.nMeasNo) == sel.end()) {
                    continue;
                }
                DrawShape(pass, shape, s.SelRgnColor, s.SelMeasStrColor);
                if (d.nFigure == RGN_TEXT && d.nPointNum >= 2) {
                    painter.setPen(FigurePen(s.SelMeasStrColor, frameWidth));
                    painter.setBrush(Qt::NoBrush);
                    painter.drawRect(QRectF(QPointF(d.nX[0], d.nY[0]), QPointF(d.nX[1], d.nY[1])));
                }
            }
        }
        if (eng.GetInputState() == INPUT_MAKING_SHAPE) {
            DrawConstruction(pass);
        }
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
    if (!eng.HasDrawWindow() || target.isNull() || eng.GetImageHeight() < 1) {
        return FALSE;
    }
    QPainter painter(&target);
    if (!painter.isActive()) {
        return FALSE;
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    const DRAW_SETTING& s = eng.GetDrawSetting();
    const int32_t w = FigureLineWidth(s.DrawLineWidth, 1.0, false, FALSE);
    const PASS pass{&painter, &eng, w, false};
    for (const CQSRgnData& shape : eng.GetShapeList()) {
        DrawShape(pass, shape, s.RgnColor, 0xffffffffu);
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
