// Edge snap's marker on a real screen: with the box ticked, the pointer near
// a ring of the simulated picture shows where the click will land; unticked,
// the rubber band follows the pointer there and no marker shows.
#include "system/SystemFixture.h"

#include "engine/SnapMarker.h"

#include <QImage>

namespace {

const QString kMain = QString::fromLatin1(kMainWindow);
const QString kTool = QString::fromLatin1(kToolWindow);

bool IsRingPixel(QRgb c)
{
    return qRed(c) > 150 && qGreen(c) < 110 && qBlue(c) < 110;
}

bool IsMarkerPixel(QRgb c)
{
    return std::abs(qRed(c) - qRed(kSnapMarkerColour)) < 40 && std::abs(qGreen(c) - qGreen(kSnapMarkerColour)) < 40 &&
           std::abs(qBlue(c) - qBlue(kSnapMarkerColour)) < 40;
}

// The shape being made (the default colour of settings' MakeRgnColor, orange).
bool IsRubberBandPixel(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) > 90 && qGreen(c) < 170 && qBlue(c) < 110;
}

// A pixel within nReach of p that fn accepts, on the screen as it is now.
bool ShowsNear(CXSession& x, QPoint p, int nReach, bool (*fn)(QRgb), QImage* pShot = nullptr)
{
    const QImage shot = x.Screenshot();
    if (pShot != nullptr) {
        *pShot = shot;
    }
    for (int y = p.y() - nReach; y <= p.y() + nReach; ++y) {
        for (int xx = p.x() - nReach; xx <= p.x() + nReach; ++xx) {
            if (shot.rect().contains(xx, y) && fn(shot.pixel(xx, y))) {
                return true;
            }
        }
    }
    return false;
}

class SnapMarkerTest : public SystemTest {
protected:
    void MovePointer(QPoint p)
    {
        m_X.XdoTool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())});
    }
};

TEST_F(SnapMarkerTest, MarkerShowsNearAnEdgeOnlyWithSnapOn)
{
    CProgramRun run(m_X);
    StartMeasuring(run);
    if (HasFatalFailure()) {
        return;
    }
    const WINDOW_MAP map = run.Map();
    const MAP_CONTROL* pBox = map.Control(kMain, QStringLiteral("pictureBox"));
    ASSERT_NE(pBox, nullptr);
    const QRect box = pBox->rect;

    // The largest ring crosses the picture's middle row: 5 screen pixels left of its left crossing.
    QImage shot = m_X.Screenshot();
    const int y = box.center().y();
    int xRing = -1;
    for (int x = box.left() + 10; x < box.center().x() && xRing < 0; ++x) {
        xRing = IsRingPixel(shot.pixel(x, y)) ? x : -1;
    }
    ASSERT_GE(xRing, 0) << "no ring on the middle row";
    const QPoint nearRing(xRing - 5, y);

    ASSERT_TRUE(run.ClickControl(kTool, QStringLiteral("checkEdgeSnap")));
    ASSERT_TRUE(run.ClickControl(kTool, QStringLiteral("btnDistance")));
    MovePointer(nearRing);
    EXPECT_TRUE(PollFor(kWindowMs, [&] { return ShowsNear(m_X, nearRing, 12, IsMarkerPixel, &shot); }))
        << "no snap marker near the pointer";
    if (qEnvironmentVariableIsSet("PIXMETRA_SYSTEM_SHOTS")) {
        shot.save(qEnvironmentVariable("PIXMETRA_SYSTEM_SHOTS") + QStringLiteral("/snap-marker.png"));
    }

    // Off: the first point on plain ground, then the rubber band reaches the
    // pointer near the ring, and no marker is there.
    ASSERT_TRUE(run.ClickControl(kTool, QStringLiteral("checkEdgeSnap")));
    m_X.Click(QPoint(nearRing.x() - 60, y + 17));
    MovePointer(nearRing);
    ASSERT_TRUE(PollFor(kWindowMs, [&] { return ShowsNear(m_X, nearRing, 3, IsRubberBandPixel, &shot); }))
        << "the rubber band did not follow the pointer";
    bool bMarker = false;
    for (int yy = nearRing.y() - 12; yy <= nearRing.y() + 12; ++yy) {
        for (int x = nearRing.x() - 12; x <= nearRing.x() + 12; ++x) {
            bMarker = bMarker || IsMarkerPixel(shot.pixel(x, yy));
        }
    }
    EXPECT_FALSE(bMarker) << "a snap marker with snap off";
    run.Kill();
}

} // namespace
