// Values, captions, shapes, hit regions and messages of thousands of seeded
// random click sequences for every measurement kind, and of the overlay's
// input modes mixed at random, folded into fingerprints. They were taken
// from the engine as it computed before its kinds got classes of their own
// and the overlay kept its own copy of the input state: any change of a
// single bit of a value, a caption, a point or a message shows here.
#include "EngineFixture.h"

#include <cstddef>
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
    // The two runs of fields without padding between them.
    f.Bytes(&d.nID, offsetof(RGN_DATA, nParentID) + sizeof(d.nParentID) - offsetof(RGN_DATA, nID));
    f.Bytes(&d.dPixelValue, offsetof(RGN_DATA, bPrimary) + sizeof(d.bPrimary) - offsetof(RGN_DATA, dPixelValue));
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

// Half on a coarse grid, so duplicates and collinear points come often; some
// outside the image.
POINT RandomPoint(std::mt19937& rng)
{
    if (rng() % 2 == 0) {
        return POINT{int(rng() % 17) * 40, int(rng() % 13) * 40};
    }
    return POINT{int(rng() % 700) - 30, int(rng() % 540) - 30};
}

class KindGoldenTest : public EngineTest {
protected:
    uint64_t Run(int32_t nKind, unsigned nSeed, int nSequences)
    {
        FINGERPRINT f;
        std::mt19937 rng(nSeed);
        auto point = [&]() { return RandomPoint(rng); };
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
                const double ratio = kRatios[rng() % 3];
                const int scrollX = int(rng() % 3) * 8;
                const int scrollY = int(rng() % 3) * 8;
                Eng().SetView(ratio, scrollX, scrollY);
            }
            f.Value(input.StartMakeShape(nKind));
            for (int e = 0; e < 60 && input.IsMakingShape(); ++e) {
                const unsigned op = rng() % 100;
                // Locals: the order of the draws must not depend on argument evaluation.
                const UINT nFlags = flags();
                const POINT p = point();
                if (op < 60) {
                    input.OnLButtonDown(nFlags, p);
                } else if (op < 85) {
                    input.OnMouseMove(nFlags & ~UINT(MK_LBUTTON), p);
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
                const double factor = 0.05 + (rng() % 1000) / 97.0;
                Eng().SetCalibration(factor, int(rng() % 6), 1, TRUE);
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
    // Fingerprints of 2000 sequences per kind. Taken again when a pointer
    // came to take the image pixel under its centre: the sequences at ratios
    // 0.5 and 1.5 click other pixels since; those at ratio 1 did not change.
    const uint64_t kGolden[MEAS_COUNT + 1] = {
        0x25ab5eba2e856e5full, 0xb72af4d723b6ce40ull, 0x1f4957f3b44fe1ccull, 0x4ec60c7658554c0eull,
        0xc750f14449828380ull, 0xb06700483eef915aull, 0xe1ebf628dbc49dfbull, 0x4a923e2ad2ef33aaull,
        0xabddafd53405472aull, 0xe27ce39fccfc3194ull,
    };
    for (int32_t kind = MEAS_LENGTH; kind <= MEAS_COUNT; ++kind) {
        measured = 0;
        const uint64_t h = Run(kind, 1000u + unsigned(kind), 2000);
        EXPECT_GT(measured, 150u) << "kind " << kind << ": too few finished measurements to mean anything";
        EXPECT_EQ(h, kGolden[kind]) << "kind " << kind << " fingerprint 0x" << std::hex << h;
    }
}

// The overlay's modes mixed at random: measurements, calibration lines,
// cross lines, annotations, undo, cancel and dragging, with every message,
// mode flag and engine state folded into the fingerprint after each event.
TEST_F(KindGoldenTest, InputModesGiveTheRecordedMessagesAndStates)
{
    FINGERPRINT f;
    std::mt19937 rng(77);
    auto point = [&]() { return RandomPoint(rng); };
    for (int step = 0; step < 20000; ++step) {
        const unsigned op = rng() % 100;
        if (op < 6) {
            f.Value(input.StartMakeShape(int32_t(rng() % 11) - 1));
        } else if (op < 10) {
            f.Value(input.StartCalibrationInput(int32_t(rng() % 3)));
        } else if (op < 13) {
            const int horz = int(rng() % 4);
            const int vert = int(rng() % 4);
            f.Value(input.StartCrossLineInput(horz, vert, BOOL(rng() % 2)));
        } else if (op < 15) {
            f.Value(input.SetTextToPlace(u"note", u"Font", 8 + int(rng() % 20), 0xff));
        } else if (op < 17) {
            f.Value(input.EditSelectedText(u"edited", u"Font", 14, 0xff00));
        } else if (op < 20) {
            f.Value(input.UndoLastPoint());
        } else if (op < 22) {
            f.Value(input.CancelInput());
        } else if (op < 55) {
            const unsigned m = rng() % 10;
            const POINT p = point();
            input.OnLButtonDown(UINT(MK_LBUTTON | (m == 0 ? MK_SHIFT : 0) | (m == 1 ? MK_CONTROL : 0)), p);
        } else if (op < 85) {
            const UINT nFlags = rng() % 4 == 0 ? UINT(MK_LBUTTON) : 0u;
            input.OnMouseMove(nFlags, point());
        } else if (op < 92) {
            input.OnRButtonDown(MK_RBUTTON, point());
        } else if (op < 94) {
            Eng().DeleteMeasurement(1 + int(rng() % std::max(1, Eng().GetLastMeasNo())));
        } else if (op < 95) {
            Eng().ClearAll();
        } else {
            Eng().SelectMeasurements({int(rng() % 12), int(rng() % 12)});
        }
        for (const POSTED_MESSAGE& m : sink.Take()) {
            f.Value(m.nMessage);
            f.Value(m.wParam);
            f.Value(m.lParam);
        }
        f.Value(input.IsMakingShape());
        f.Value(input.IsMakingCrossLine());
        f.Value(input.IsPlacingText());
        f.Value(input.IsCalibrating());
        f.Value(input.GetKind());
        f.Value(input.GetCalibrationPixelLength());
        f.Value(Eng().GetInputState());
        f.Value(Eng().GetPointCount());
        f.Value(Eng().IsCalibrationLineShown());
        f.Bytes(Eng().GetCrossX(), sizeof(int32_t) * MAX_CROSS_LINE);
        f.Bytes(Eng().GetCrossY(), sizeof(int32_t) * MAX_CROSS_LINE);
        f.Value(Eng().GetCrossCountX());
        f.Value(Eng().GetCrossCountY());
        f.Value(Eng().GetSelectedID());
        for (int32_t no : Eng().GetSelection()) {
            f.Value(no);
        }
        if (step % 50 == 49) {
            AddState(f, Eng());
        }
    }
    EXPECT_EQ(f.h, 0x9c7dfa129372164full) << std::hex << f.h;
}

// Recalculating under a new factor gives bit for bit what measuring the same
// clicks under that factor gives: one formula per kind serves both.
TEST_F(KindGoldenTest, RecalculationEqualsMeasuringAnew)
{
    std::mt19937 rng(2024);
    std::vector<std::vector<POINT>> clicks;
    std::vector<int32_t> kinds;
    for (int i = 0; i < 400; ++i) {
        kinds.push_back(int32_t(rng() % 10));
        std::vector<POINT> pts(3 + rng() % 5);
        for (POINT& p : pts) {
            const int x = int(rng() % 640);
            p = POINT{x, int(rng() % 480)};
        }
        clicks.push_back(pts);
    }
    auto measureAll = [&]() {
        for (size_t i = 0; i < kinds.size(); ++i) {
            ASSERT_TRUE(input.StartMakeShape(kinds[i]));
            for (POINT p : clicks[i]) {
                input.OnLButtonDown(MK_LBUTTON, p);
            }
            input.OnRButtonDown(MK_RBUTTON, POINT{5, 5});
            input.CancelInput();
        }
    };
    auto captions = [&]() {
        std::vector<std::u16string> out;
        for (const CQSRgnData& s : Eng().GetShapeList()) {
            if (s.Data().nFigure == RGN_TEXT) {
                out.push_back(Text(s.Data()));
            }
        }
        return out;
    };
    ASSERT_TRUE(Eng().SetCalibration(0.37, 3, 1, FALSE));
    measureAll();
    ASSERT_TRUE(Eng().SetCalibration(1.93, 3, 1, TRUE));
    const std::vector<MEASURE_DATA> recalculated = Eng().GetMeasureArray();
    const std::vector<std::u16string> recalculatedCaptions = captions();
    Eng().ClearAll();
    measureAll();
    const std::vector<MEASURE_DATA>& fresh = Eng().GetMeasureArray();
    ASSERT_GT(fresh.size(), 300u);
    ASSERT_EQ(recalculated.size(), fresh.size());
    for (size_t i = 0; i < fresh.size(); ++i) {
        EXPECT_EQ(recalculated[i].nKind, fresh[i].nKind);
        EXPECT_EQ(std::memcmp(&recalculated[i].dPixelValue, &fresh[i].dPixelValue, sizeof(double)), 0) << i;
        EXPECT_EQ(std::memcmp(&recalculated[i].dValue, &fresh[i].dValue, sizeof(double)), 0)
            << "row " << i << " kind " << fresh[i].nKind;
    }
    EXPECT_EQ(recalculatedCaptions, captions());
}
