// A click measures from the image pixel the pointer is on: the picture's grid
// lines found on the screen as a person sees them, clicked on their first and
// last screen columns, give the grid's known pitch at every zoom.
#include "system/PictureView.h"
#include "system/SystemFixture.h"

#include <QImage>

#include <cmath>

namespace {

constexpr int kGridPitch = 50; // the simulated camera's grid, in image pixels

const QString kMain = QString::fromLatin1(kMainWindow);
const QString kTool = QString::fromLatin1(kToolWindow);

// A grid line's pixel: well darker than the ground (the camera's colour
// balance tints both), and not the red of the rings.
bool IsGridPixel(QRgb c)
{
    return qGray(c) < 175 && qRed(c) < 2 * qGreen(c);
}

struct RUN {
    int nFirst;
    int nLast;
};

// The runs of grid-line columns along one screen row inside the box.
std::vector<RUN> GridRuns(const QImage& shot, const QRect& box, int y)
{
    std::vector<RUN> runs;
    for (int x = box.left(); x <= box.right(); ++x) {
        if (!IsGridPixel(shot.pixel(x, y))) {
            continue;
        }
        if (!runs.empty() && runs.back().nLast == x - 1) {
            runs.back().nLast = x;
        } else {
            runs.push_back({x, x});
        }
    }
    return runs;
}

// The value of the newest result row (the cell that reads as a number after the number column).
double NewestValue(const MAP_CONTROL& list)
{
    const QStringList rows = list.info.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (rows.isEmpty()) {
        return NAN;
    }
    const QStringList cells = rows.last().split(QLatin1Char('|'));
    for (int i = 1; i < cells.size(); ++i) {
        bool bNumber = false;
        const double v = cells[i].trimmed().toDouble(&bNumber);
        if (bNumber) {
            return v;
        }
    }
    return NAN;
}

class PointerTest : public SystemTest {
protected:
    // Zooms with the zoom-in button until the ratio list reads the text given.
    void ZoomTo(CProgramRun& run, const QString& ratio)
    {
        for (int i = 0; i < 24; ++i) {
            const WINDOW_MAP map = run.Map();
            const MAP_CONTROL* pCombo = map.Control(kMain, QStringLiteral("comboRatio"));
            ASSERT_NE(pCombo, nullptr);
            if (pCombo->text == ratio) {
                return;
            }
            const QString before = pCombo->text;
            ASSERT_TRUE(run.ClickControl(kMain, QStringLiteral("btnZoomIn")));
            ASSERT_TRUE(run.WaitForMap(kWindowMs, [&](const WINDOW_MAP& m) {
                const MAP_CONTROL* c = m.Control(kMain, QStringLiteral("comboRatio"));
                return c != nullptr && c->text != before;
            })) << "zoom in did nothing at " << before.toStdString();
        }
        FAIL() << "the ratio list never read " << ratio.toStdString();
    }

    // Measures a distance with two clicks and returns its value as the results list shows it.
    double Distance(CProgramRun& run, const QPoint& a, const QPoint& b)
    {
        const WINDOW_MAP before = run.Map();
        const MAP_CONTROL* pList = before.Control(kTool, QStringLiteral("listResults"));
        const int nRows = pList != nullptr ? pList->text.toInt() : 0;
        EXPECT_TRUE(run.ClickControl(kTool, QStringLiteral("btnDistance")));
        m_X.Click(a);
        m_X.Click(b);
        WINDOW_MAP map;
        const bool bAdded = run.WaitForMap(kWindowMs, [&](const WINDOW_MAP& m) {
            const MAP_CONTROL* c = m.Control(kTool, QStringLiteral("listResults"));
            return c != nullptr && c->text.toInt() == nRows + 1;
        }, &map);
        EXPECT_TRUE(bAdded) << "the distance did not reach the results list";
        return bAdded ? NewestValue(*map.Control(kTool, QStringLiteral("listResults"))) : NAN;
    }

    // A screen row of the picture that crosses the vertical grid lines but lies on no horizontal one.
    int ClearRow(const QImage& shot, const QRect& box)
    {
        for (int y = box.center().y(); y < box.bottom() - 8; ++y) {
            const std::vector<RUN> runs = GridRuns(shot, box, y);
            int dark = 0;
            for (const RUN& r : runs) {
                dark += r.nLast - r.nFirst + 1;
            }
            if (!runs.empty() && dark < box.width() / 4) {
                return y;
            }
        }
        return -1;
    }
};

TEST_F(PointerTest, ClickMeasuresFromThePixelUnderThePointer)
{
    CProgramRun run(m_X);
    StartMeasuring(run);
    if (HasFatalFailure()) {
        return;
    }
    for (const int nZoom : {2, 3}) {
        SCOPED_TRACE(nZoom);
        ZoomTo(run, QStringLiteral("x%1.00").arg(nZoom));
        if (HasFatalFailure()) {
            return;
        }
        // The picture as drawn: each grid line nZoom screen columns wide.
        WINDOW_MAP map;
        ASSERT_TRUE(run.WaitForMap(kWindowMs, [&](const WINDOW_MAP& m) {
            const MAP_CONTROL* c = m.Control(kMain, QStringLiteral("pictureBox"));
            return c != nullptr && ParseView(c->info).dRatio == nZoom;
        }, &map));
        const QRect box = map.Control(kMain, QStringLiteral("pictureBox"))->rect;
        const QImage shot = m_X.Screenshot();
        ASSERT_FALSE(shot.isNull());
        if (qEnvironmentVariableIsSet("PIXMETRA_SYSTEM_SHOTS")) {
            shot.save(qEnvironmentVariable("PIXMETRA_SYSTEM_SHOTS") + QStringLiteral("/pointer-x%1.png").arg(nZoom));
        }
        const int y = ClearRow(shot, box);
        ASSERT_GE(y, 0);
        std::vector<RUN> runs;
        for (const RUN& r : GridRuns(shot, box, y)) {
            // Whole lines only: one cut by the box's edge does not show its width.
            if (r.nFirst > box.left() && r.nLast < box.right() && r.nLast - r.nFirst + 1 == nZoom) {
                runs.push_back(r);
            }
        }
        ASSERT_GE(runs.size(), 3u) << "no three whole grid lines on the screen";
        ASSERT_EQ(runs[2].nFirst - runs[0].nFirst, 2 * kGridPitch * nZoom);
        // From the first screen column of one line to the last of the next but one, and the other way round.
        EXPECT_DOUBLE_EQ(Distance(run, {runs[0].nFirst, y}, {runs[2].nLast, y}), 2.0 * kGridPitch);
        EXPECT_DOUBLE_EQ(Distance(run, {runs[0].nLast, y}, {runs[2].nFirst, y}), 2.0 * kGridPitch);
        EXPECT_DOUBLE_EQ(Distance(run, {runs[0].nFirst + nZoom / 2, y}, {runs[1].nLast, y}), 1.0 * kGridPitch);
    }

    // At fit a screen pixel shows more than one image pixel: the click takes
    // the one under the middle of the pointer's pixel.
    ASSERT_TRUE(run.ClickControl(kMain, QStringLiteral("btnZoomFit")));
    WINDOW_MAP map;
    ASSERT_TRUE(run.WaitForMap(kWindowMs, [&](const WINDOW_MAP& m) {
        const MAP_CONTROL* c = m.Control(kMain, QStringLiteral("pictureBox"));
        return c != nullptr && ParseView(c->info).dRatio < 1.0;
    }, &map));
    const MAP_CONTROL* pBox = map.Control(kMain, QStringLiteral("pictureBox"));
    const VIEW view = ParseView(pBox->info);
    const int y = pBox->rect.center().y();
    const int xa = pBox->rect.left() + 101, xb = pBox->rect.left() + 733;
    const auto imageX = [&](int x) { return std::floor((x - pBox->rect.left() + 0.5) / view.dRatio) + view.scroll.x(); };
    EXPECT_DOUBLE_EQ(Distance(run, {xa, y}, {xb, y}), imageX(xb) - imageX(xa));

    // How the program ends is the exit suite's matter.
    run.Kill();
}

} // namespace
