// Shared set-up for engine tests: a deterministic text measurer and an engine
// on a 640 x 480 image at ratio 1 with 0.5 units per pixel.
#pragma once

#include "engine/LayeredInput.h"
#include "engine/OverlayMessages.h"
#include "engine/RgnDataCtrl.h"
#include "platform/MessageSink.h"

#include <gtest/gtest.h>

class CFixedTextMeasurer : public ITextMeasurer {
public:
    bool MeasureText(const std::u16string& text, const std::u16string&, int nPointSize, int& cx, int& cy) override
    {
        cx = int(text.size()) * nPointSize / 2;
        cy = nPointSize;
        return !failing;
    }
    bool failing = false;
};

inline std::u16string Text(const RGN_DATA& d)
{
    return TextFieldString(d.szText);
}

// An engine driven through the overlay's input, measuring texts with TMeasurer.
template <class TMeasurer>
class EngineTestBase : public ::testing::Test {
protected:
    EngineTestBase() : input(&sink)
    {
        Eng().SetDrawWindow(&measurer);
        Eng().SetImageSize(640, 480, 1.0);
        Eng().SetCalibration(0.5, 1, 1, FALSE);
        input.SetInitialised(TRUE);
    }
    CRgnDataCtrl& Eng() { return input.Engine(); }

    // Runs one measurement of nKind through left clicks; right-clicks the last
    // point when bRight.
    void Measure(int32_t nKind, std::initializer_list<POINT> pts, bool bRight = false)
    {
        ASSERT_TRUE(input.StartMakeShape(nKind));
        size_t i = 0;
        for (POINT p : pts) {
            if (bRight && ++i == pts.size()) {
                input.OnRButtonDown(MK_RBUTTON, p);
            } else {
                input.OnLButtonDown(MK_LBUTTON, p);
            }
        }
    }
    std::vector<UINT> Messages()
    {
        std::vector<UINT> out;
        for (const POSTED_MESSAGE& m : sink.Take()) {
            if (m.nMessage != WM_MOUSE_POSITION) {
                out.push_back(m.nMessage);
            }
        }
        return out;
    }
    bool Contains(const std::vector<UINT>& v, UINT m) { return std::find(v.begin(), v.end(), m) != v.end(); }
    const MEASURE_DATA& Row(size_t i) { return Eng().GetMeasureArray().at(i); }
    int CountShapes(int32_t nMeasNo)
    {
        int n = 0;
        for (const CQSRgnData& s : Eng().GetShapeList()) {
            n += s.Data().nMeasNo == nMeasNo;
        }
        return n;
    }
    std::vector<const RGN_DATA*> ShapesOf(int32_t nMeasNo, int nFigure)
    {
        std::vector<const RGN_DATA*> out;
        for (const CQSRgnData& s : Eng().GetShapeList()) {
            if (s.Data().nMeasNo == nMeasNo && s.Data().nFigure == nFigure) {
                out.push_back(&s.Data());
            }
        }
        return out;
    }

    TMeasurer measurer;
    CRecordingSink sink;
    CLayeredInput input;
};

class EngineTest : public EngineTestBase<CFixedTextMeasurer> {
};
