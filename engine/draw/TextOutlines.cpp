#include "engine/draw/TextOutlines.h"

#include "engine/QtTextMeasurer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPathStroker>

#include <algorithm>
#include <unordered_set>

COLORREF ContrastingColour(COLORREF crText)
{
    // Rec. 601 luma of the text colour, 0..255000.
    const int luma = 299 * GetRValue(crText) + 587 * GetGValue(crText) + 114 * GetBValue(crText);
    return luma >= 128000 ? COLORREF(0x00010101) : COLORREF(0x00ffffff);
}

double CTextOutlines::HaloWidth(int nPointSize)
{
    // About a pixel beyond the text's own 1-pixel outline at 15 points.
    return std::max(3.0, nPointSize / 5.0);
}

CTextOutlines::OUTLINE& CTextOutlines::Get(const RGN_DATA& d, int nPointSize)
{
    const std::u16string text = TextFieldString(d.szText);
    const std::u16string font = TextFieldString(d.szFontName);
    const POINT pt = RgnPoint(d, 0);
    OUTLINE* pEntry = &m_Scratch;
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
    stroker.setWidth(HaloWidth(nPointSize));
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath halo = stroker.createStroke(path);
    halo.setFillRule(Qt::WindingFill);
    *pEntry = OUTLINE{text, font, nPointSize, pt, path, stroke, halo};
    return *pEntry;
}

const QImage& CTextOutlines::Sprite(OUTLINE& t, COLORREF crText, QPoint& at)
{
    if (t.sprite.isNull() || t.spriteColour != crText) {
        // A pixel of margin: the aliased fill may set the pixel its bounds end in.
        const QRect box = t.halo.boundingRect().united(t.stroke.boundingRect()).toAlignedRect().adjusted(-1, -1, 1, 1);
        t.sprite = QImage(box.size(), QImage::Format_ARGB32_Premultiplied);
        t.sprite.fill(Qt::transparent);
        QPainter p(&t.sprite);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.translate(-box.topLeft());
        const QColor colour(GetRValue(crText), GetGValue(crText), GetBValue(crText));
        const COLORREF crHalo = ContrastingColour(crText);
        p.fillPath(t.halo, QColor(GetRValue(crHalo), GetGValue(crHalo), GetBValue(crHalo)));
        p.fillPath(t.fill, colour);
        p.fillPath(t.stroke, colour);
        t.spriteAt = box.topLeft();
        t.spriteColour = crText;
    }
    at = t.spriteAt;
    return t.sprite;
}

void CTextOutlines::Prune(const std::list<CQSRgnData>& shapes)
{
    if (m_Texts.size() <= shapes.size() * 2 + 64) {
        return;
    }
    std::unordered_set<int32_t> alive;
    for (const CQSRgnData& shape : shapes) {
        alive.insert(shape.Data().nID);
    }
    for (auto it = m_Texts.begin(); it != m_Texts.end();) {
        it = alive.count(it->first) ? std::next(it) : m_Texts.erase(it);
    }
}
