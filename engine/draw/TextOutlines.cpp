#include "engine/draw/TextOutlines.h"

#include "engine/QtTextMeasurer.h"

#include <QFontMetrics>
#include <QPainterPathStroker>

#include <unordered_set>

const CTextOutlines::OUTLINE& CTextOutlines::Get(const RGN_DATA& d, int nPointSize)
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
    *pEntry = OUTLINE{text, font, nPointSize, pt, path, stroke};
    return *pEntry;
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
