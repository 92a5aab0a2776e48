// The picture's view as the program's window map states it, and the image
// pixel a screen point shows in it.
#pragma once

#include <QPoint>
#include <QRect>
#include <QRegularExpression>
#include <QString>

#include <cmath>

struct VIEW {
    double dRatio = 0.0;
    QPoint scroll;
};

inline VIEW ParseView(const QString& info)
{
    static const QRegularExpression re(QStringLiteral("ratio=([0-9.eE+-]+) scroll=(-?\\d+),(-?\\d+)"));
    const QRegularExpressionMatch m = re.match(info);
    return m.hasMatch() ? VIEW{m.captured(1).toDouble(), QPoint(m.captured(2).toInt(), m.captured(3).toInt())} : VIEW{};
}

// Image pixel i is drawn over screen pixels [i * ratio, (i + 1) * ratio) of the box from the scroll position.
inline QPoint PixelShownAt(const QRect& box, const VIEW& v, const QPoint& screen)
{
    return QPoint(int(std::floor((screen.x() - box.left() + 0.5) / v.dRatio)) + v.scroll.x(),
                  int(std::floor((screen.y() - box.top() + 0.5) / v.dRatio)) + v.scroll.y());
}
