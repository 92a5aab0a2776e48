#include "EngineFixture.h"

#include <random>
#include <set>

// (Region widths around lines, discs and count points: the kind fingerprints
// fold the regions around each shape's first points.)
TEST_F(EngineTest, AConcavePolygonsNotchIsOutside)
{
    Measure(MEAS_POLYGON, {POINT{400, 300}, POINT{600, 300}, POINT{600, 450}, POINT{500, 350}, POINT{400, 450}}, true);
    ASSERT_EQ(Eng().GetMeasureArray().size(), 1u);
    EXPECT_NE(Eng().HitTest(POINT{420, 320}), nullptr);
    EXPECT_EQ(Eng().HitTest(POINT{500, 420}), nullptr);
}

TEST_F(EngineTest, TextAnnotationsPlaceEditAndNeverEditCaptions)
{
    // (Placing, outside clicks and editing a caption: the input-mode fingerprint.)
    ASSERT_TRUE(input.SetTextToPlace(u"試料 A", u"Font", 20, 0x123456));
    input.OnLButtonDown(MK_LBUTTON, POINT{100, 100});
    ASSERT_EQ(Eng().GetMeasureArray().size(), 1u);
    EXPECT_EQ(TextFieldString(Row(0).szText), u"試料 A");
    input.OnLButtonDown(MK_LBUTTON, POINT{102, 102});
    ASSERT_EQ(Eng().GetSelection().size(), 1u);
    ASSERT_TRUE(input.EditSelectedText(std::u16string(150, u'x'), u"Font", 12, 0x654321));
    EXPECT_EQ(TextFieldString(Row(0).szText).size(), size_t(MAX_TEXT_LEN)); // truncated, never overflowing

    Measure(MEAS_LENGTH, {POINT{300, 300}, POINT{400, 300}});
    const RGN_DATA* cap = ShapesOf(2, RGN_TEXT).at(0);
    const std::u16string before = Text(*cap);
    input.OnLButtonDown(MK_LBUTTON, POINT{cap->nX[0] + 1, cap->nY[0] + 1});
    ASSERT_EQ(Eng().GetSelection(), std::vector<int32_t>{2});
    EXPECT_FALSE(input.EditSelectedText(u"fake value", u"Font", 12, 0));
    EXPECT_EQ(Text(*cap), before);
}

TEST_F(EngineTest, SelectFromTheListAndCopyTheResults)
{
    Measure(MEAS_LENGTH, {POINT{10, 10}, POINT{50, 10}});
    Measure(MEAS_LENGTH, {POINT{10, 50}, POINT{50, 50}});
    ASSERT_TRUE(Eng().SelectMeasurements({2, 77}));
    EXPECT_EQ(Eng().GetInputState(), INPUT_SELECTED);
    std::vector<int32_t> sel;
    Eng().GetSelectedMeasNo(sel);
    EXPECT_EQ(sel, std::vector<int32_t>{2});
    ASSERT_TRUE(Eng().SelectMeasurements({77}));
    EXPECT_EQ(Eng().GetInputState(), INPUT_SELECTED); // nothing matched, still selected
    ASSERT_TRUE(Eng().SelectMeasurements({}));
    EXPECT_EQ(Eng().GetInputState(), INPUT_IDLE);
    std::vector<MEASURE_DATA> copy(5);
    Eng().CopyMeasureData(copy);
    ASSERT_EQ(copy.size(), 2u);
    EXPECT_EQ(copy[1].nMeasNum, 2);
}

// Long random sequences of input, picking, dragging, editing and deletion
// never leave a dangling link.
TEST_F(EngineTest, RandomOperationsKeepEveryLinkValid)
{
    std::mt19937 rng(4711);
    auto rp = [&] { return POINT{int(rng() % 640), int(rng() % 480)}; };
    for (int step = 0; step < 3000; ++step) {
        const int op = int(rng() % 10);
        if (op < 4) {
            const int kind = int(rng() % 10);
            if (!input.StartMakeShape(kind)) {
                input.CancelInput();
                continue;
            }
            const int clicks = 1 + int(rng() % 7);
            for (int i = 0; i < clicks; ++i) {
                input.OnMouseMove(0, rp());
                input.OnLButtonDown(rng() % 5 == 0 ? MK_LBUTTON | MK_SHIFT : MK_LBUTTON, rp());
            }
            if (input.IsMakingShape()) {
                input.OnRButtonDown(MK_RBUTTON, rp());
            }
            input.CancelInput();
        } else if (op == 4) {
            input.OnLButtonDown(MK_LBUTTON, rp());
            for (int i = 0; i < 3; ++i) {
                input.OnMouseMove(MK_LBUTTON, rp());
            }
        } else if (op == 5) {
            Eng().DeleteMeasurement(1 + int(rng() % std::max(1, Eng().GetLastMeasNo())));
        } else if (op == 6) {
            if (input.SetTextToPlace(u"note", u"Font", 10 + int(rng() % 20), 0xff)) {
                input.OnLButtonDown(MK_LBUTTON, rp());
            }
        } else if (op == 7) {
            input.EditSelectedText(u"edited", u"Font", 14, 0xff00);
        } else if (op == 8) {
            Eng().SelectMeasurements({int(rng() % 20), int(rng() % 20)});
        } else if (rng() % 20 == 0) {
            Eng().ClearAll();
        } else {
            DRAW_SETTING s = Eng().GetDrawSetting();
            s.CountKind = int(rng() % 2);
            Eng().SetDrawSetting(s);
            Eng().SetCalibration(0.1 + (rng() % 100) / 50.0, int(rng() % 6), 1, TRUE);
        }

        // Invariants.
        std::set<int32_t> rows, ids;
        for (const MEASURE_DATA& r : Eng().GetMeasureArray()) {
            ASSERT_TRUE(rows.insert(r.nMeasNum).second);
            ASSERT_LE(r.nMeasNum, Eng().GetLastMeasNo());
        }
        for (const CQSRgnData& s : Eng().GetShapeList()) {
            ASSERT_TRUE(ids.insert(s.Data().nID).second);
        }
        for (const CQSRgnData& s : Eng().GetShapeList()) {
            const RGN_DATA& d = s.Data();
            ASSERT_GE(d.nPointNum, 0);
            ASSERT_LE(d.nPointNum, MAX_RGN_POINT);
            ASSERT_LE(d.nID, Eng().GetLastShapeID());
            if (d.nMeasNo != 0) {
                ASSERT_TRUE(rows.count(d.nMeasNo)) << "shape " << d.nID << " names row " << d.nMeasNo;
            } else {
                bool bChild = false;
                for (int32_t c : d.nChildMeasNo) {
                    if (c != 0) {
                        ASSERT_TRUE(rows.count(c)) << "base line names row " << c;
                        bChild = true;
                    }
                }
                ASSERT_TRUE(bChild) << "a base line without perpendiculars";
            }
            if (d.nParentID != 0) {
                ASSERT_TRUE(ids.count(d.nParentID)) << "parent " << d.nParentID;
            }
        }
        for (int32_t r : rows) {
            ASSERT_GT(CountShapes(r), 0) << "row " << r << " has no shape";
        }
        std::vector<int32_t> sel;
        Eng().GetSelectedMeasNo(sel);
        for (int32_t no : sel) {
            ASSERT_TRUE(rows.count(no)) << "selection names row " << no;
        }
        ASSERT_TRUE(Eng().GetSelectedID() == -1 || ids.count(Eng().GetSelectedID()));
    }
}
