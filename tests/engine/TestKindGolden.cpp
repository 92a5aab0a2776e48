// Values, captions, shapes, hit regions and messages of thousands of seeded
// random click sequences for every measurement kind, folded into one
// fingerprint per kind. The table was taken from the engine as it computed
// before its kinds got classes of their own: any change of a single bit of
// a value, a caption, a point or a message shows here.
#include "EngineFixture.h"

#include <cstring>
#include <random>

namespace {

struct FINGERPRINT {
    uint64_t h = 1469598103934665603ull;
    void Bytes(const void* p, size_t n)
    {
        const auto* b = static_cast<const uint8_t*>(p);
        for (size_t i = 0; i < n; ++i) {
            h = (h ^ b[i]) * 0x100000001b3ull;
        }
    }
    template <class T>
    void Value(const T& v)
    {
        Bytes(&v, sizeof(v));
    }
};

const RGN_DATA& Record(const CQSRgnData& s)
{
    return s.Data();
}

void AddRecord(FINGERPRINT& f, const RGN_DATA& d)
{
    // Field by field: padding carries nothing.
    f.Value(d.nID);
    f.Value(d.nFigure);
    f.Value(d.nPointNum);
    f.Bytes(d.nX, sizeof(d.nX));
    f.Bytes(d.nY, sizeof(d.nY));
    f.Value(d.nMeasNo);
    f.Bytes(d.nChildMeasNo, sizeof(d.nChildMeasNo));
    f.Value(d.nParentID);
    f.Value(d.dPixelValue);
    f.Value(d.dValue);
    f.Bytes(d.szText, sizeof(d.szText));
    f.Bytes(d.szFontName, sizeof(d.szFontName));
    f.Value(d.nFontPt);
    f.Value(d.crText);
    f.Value(d.bSelectable);
    f.Value(d.bMovable);
    f.Value(d.bPrimary);
}

void AddState(FINGERPRINT& f, CRgnDataCtrl& eng)
{
    for (const MEASURE_DATA& r : eng.GetMeasureArray()) {
        f.Value(r.nMeasNum);
        f.Value(r.nFigure);
        f.Value(r.nKind);
        f.Value(r.dPixelValue);
        f.Value(r.dValue);
        f.Bytes(r.szText, sizeof(r.szText));
    }
    for (const CQSRgnData& s : eng.GetShapeList()) {
        const RGN_DATA& d = Record(s);
        AddRecord(f, d);
        // The hit region around the first point and the first caption corner.
        const int n = std::clamp(d.nPointNum, 0, MAX_RGN_POINT);
        for (int i = 0; i < std::min(n, 2); ++i) {
            for (int dy = -12; dy <= 12; dy += 4) {
                for (int dx = -12; dx <= 12; dx += 4) {
                    f.Value(s.Region().Contains(POINT{d.nX[i] + dx, d.nY[i] + dy}));
                }
            }
        }
    }
    f.Value(eng.GetInputState());
    f.Value(eng.GetPointCount());
    f.Value(eng.GetLastShapeID());
    f.Value(eng.GetLastMeasNo());
}

class KindGoldenTest : public EngineTest {
protected:
    uint64_t Run(int32_t nKind, unsigned nSeed, int nSequences)
    {
        FINGERPRINT f;
        std::mt19937 rng(nSeed);
        auto point = [&]() {
            // Half on a coarse grid, so duplicates and collinear points come often;
            // some outside the image.
            if (rng() % 2 == 0) {
                return POINT{int(rng() % 17) * 40, int(rng() % 13) * 40};
            }
            return POINT{int(rng() % 700) - 30, int(rng() % 540) - 30};
        };
        auto flags = [&]() {
            const unsigned m = rng() % 10;
            return UINT(MK_LBUTTON | (m == 0 ? MK_SHIFT : 0) | (m == 1 ? MK_CONTROL : 0));
        };
        static const double kRatios[] = {1.0, 0.5, 1.5};
        for (int seq = 0; seq < nSequences; ++seq) {
            if (seq % 10 == 0) {
                DRAW_SETTING s = Eng().GetDrawSetting();
                s.CountKind = int(rng() % 2);
                s.bAutoReSize = int(rng() % 2);
                Eng().SetDrawSetting(s);
                Eng().SetView(kRatios[rng() % 3], int(rng() % 3) * 8, int(rng() % 3) * 8);
            }
            f.Value(input.StartMakeShape(nKind));
            for (int e = 0; e < 60 && input.IsMakingShape(); ++e) {
                const unsigned op = rng() % 100;
                if (op < 60) {
                    input.OnLButtonDown(flags(), point());
                } else if (op < 85) {
                    input.OnMouseMove(flags() & ~UINT(MK_LBUTTON), point());
                } else if (op < 92) {
                    input.OnRButtonDown(MK_RBUTTON, point());
                } else {
                    f.Value(input.UndoLastPoint());
                }
                f.Value(Eng().GetPointCount());
            }
            input.CancelInput();
            for (const POSTED_MESSAGE& m : sink.Take()) {
                f.Value(m.nMessage);
                f.Value(m.wParam);
                f.Value(m.lParam);
            }
            if (seq % 10 == 9) {
                measured += Eng().GetMeasureArray().size();
                AddState(f, Eng());
                // Drag whatever lies under a random point, then recalculate with a new factor.
                const POINT p = point();
                input.OnLButtonDown(MK_LBUTTON, p);
                input.OnMouseMove(MK_LBUTTON, POINT{p.x + int(rng() % 61) - 30, p.y + int(rng() % 61) - 30});
                input.OnLButtonDown(MK_LBUTTON, POINT{-5, -5});
                Eng().SetCalibration(0.05 + (rng() % 1000) / 97.0, int(rng() % 6), 1, TRUE);
                AddState(f, Eng());
                Eng().SetCalibration(0.5, 1, 1, FALSE);
                Eng().ClearAll();
                sink.Take();
            }
        }
        return f.h;
    }
    size_t measured = 0;
};

} // namespace

TEST_F(KindGoldenTest, EveryKindGivesTheRecordedValuesCaptionsAndShapes)
{
    // Fingerprints of 2000 sequences per kind.
    const uint64_t kGolden[MEAS_COUNT + 1] = {
        0xca823874e312f2f4ull, 0x9ad6626c805db781ull, 0x083ddb5b201cefa0ull, 0x5e41adb71aa71237ull,
        0x8f97ffbb46de8643ull, 0x4d3d5d8d56825d73ull, 0x3d9d69d91a95a620ull, 0xa636f73726f26164ull,
        0x232582ab649e9be9ull, 0x1cd4b91dd65263d3ull,
    };
    for (int32_t kind = MEAS_LENGTH; kind <= MEAS_COUNT; ++kind) {
        measured = 0;
        const uint64_t h = Run(kind, 1000u + unsigned(kind), 2000);
        EXPECT_GT(measured, 150u) << "kind " << kind << ": too few finished measurements to mean anything";
        EXPECT_EQ(h, kGolden[kind]) << "kind " << kind << " fingerprint 0x" << std::hex << h;
    }
}
