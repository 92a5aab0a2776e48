#include "engine/QSListCtrl.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr UINT kNotify = WM_USER + 0x20;

class QSListCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.resize(300, 400);
        list.SetupColumns({{"No.", LVCFMT_CENTER, 30}, {"A", LVCFMT_LEFT, 100}, {"B", LVCFMT_RIGHT, 74},
                           {"C", LVCFMT_CENTER, 40}},
                          &sink, kNotify);
        std::vector<QStringList> rows;
        for (int i = 0; i < 5; ++i) {
            rows.push_back({QString::number(i + 1), QStringLiteral("row %1").arg(i), "1.0", "mm"});
        }
        list.SetAllRows(rows);
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
        sink.Take();
    }
    size_t Posted()
    {
        size_t n = 0;
        for (const POSTED_MESSAGE& m : sink.Take()) {
            EXPECT_EQ(m.nMessage, kNotify);
            EXPECT_EQ(m.wParam, 0);
            EXPECT_EQ(m.lParam, 0);
            ++n;
        }
        return n;
    }
    std::vector<int> Selected() const
    {
        std::vector<int> rows;
        list.GetSelectedRows(rows);
        return rows;
    }
    QPoint RowPoint(int nRow) const { return list.visualItemRect(list.item(nRow, 1)).center(); }

    CRecordingSink sink;
    CQSListCtrl list;
};

} // namespace

TEST_F(QSListCtrlTest, KeysMoveTheSelectionAndNotify)
{
    list.SelectRow(2);
    EXPECT_EQ(Posted(), 1u);
    EXPECT_EQ(Selected(), std::vector<int>{2});
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.GetCurRow(), 1);
    EXPECT_EQ(Selected(), std::vector<int>{1});
    EXPECT_EQ(Posted(), 1u);
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(Posted(), 1u);
    // Up on the first row: nothing changes, nothing posted.
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.GetCurRow(), 0);
    EXPECT_EQ(Posted(), 0u);

    list.SelectRow(4);
    Posted();
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.GetCurRow(), 4);
    EXPECT_EQ(Selected(), std::vector<int>{4});
    EXPECT_EQ(Posted(), 0u);
    QTest::keyClick(&list, Qt::Key_Down, Qt::NoModifier);
    QTest::keyClick(&list, Qt::Key_Delete); // not the list's: no selection change
    EXPECT_EQ(Selected(), std::vector<int>{4});
    EXPECT_EQ(Posted(), 0u);

    // No row selected: None leaves it, Down starts at the top.
    list.SelectRow(-1);
    EXPECT_EQ(Posted(), 1u);
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(list.GetCurRow(), -1);
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(Selected(), std::vector<int>{0});
    EXPECT_EQ(Posted(), 1u);
}

TEST_F(QSListCtrlTest, ClicksSelectAndNotifyEvenOnEmptySpace)
{
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(3));
    EXPECT_EQ(list.GetCurRow(), 3);
    EXPECT_EQ(Selected(), std::vector<int>{3});
    EXPECT_EQ(Posted(), 1u);

    QTest::mouseClick(list.viewport(), Qt::RightButton, Qt::NoModifier, RowPoint(1));
    EXPECT_EQ(list.GetCurRow(), 1);
    EXPECT_EQ(Posted(), 1u);

    // Below the last row: no row current, selection gone, still notified.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, list.viewport()->height() - 5));
    EXPECT_EQ(list.GetCurRow(), -1);
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(Posted(), 1u);

    // Several rows in the results list, reported ascending.
    list.SetMultiSelect(true);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(4));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, RowPoint(0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, RowPoint(2));
    EXPECT_EQ(Selected(), (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(list.GetCurRow(), 2);
    EXPECT_EQ(Posted(), 3u);

    // Without a notify message nothing is posted.
    list.SetNotify(&sink, 0);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(1));
    EXPECT_EQ(Posted(), 0u);
}

TEST_F(QSListCtrlTest, RowsAndColumnsAreKeptAsGiven)
{
    EXPECT_EQ(list.GetColumnCount(), 4);
    EXPECT_EQ(list.horizontalHeaderItem(1)->text(), "A");
    EXPECT_EQ(list.GetColumnFormat(2), LVCFMT_RIGHT);
    EXPECT_EQ(list.GetRowCount(), 5);
    EXPECT_EQ(list.item(4, 1)->text(), "row 4");

    ASSERT_TRUE(list.InsertRow(-1));
    EXPECT_EQ(list.GetRowCount(), 6);
    EXPECT_EQ(list.GetCurRow(), 5);
    EXPECT_EQ(list.item(5, 3)->text(), "");
    const QStringList texts{"9", "new", "2.5", "cm"};
    ASSERT_TRUE(list.InsertRow(1, &texts));
    EXPECT_EQ(list.item(1, 1)->text(), "new");
    EXPECT_EQ(list.item(2, 1)->text(), "row 1");
    EXPECT_EQ(list.GetCurRow(), 1);

    EXPECT_FALSE(list.SetRowTexts(7, texts));
    EXPECT_FALSE(list.SetRowTexts(-1, texts));
    ASSERT_TRUE(list.SetRowTexts(0, {"1", "renamed"}));
    EXPECT_EQ(list.item(0, 1)->text(), "renamed");
    EXPECT_EQ(list.item(0, 2)->text(), ""); // missing texts leave columns empty
    EXPECT_EQ(Posted(), 0u);               // filling never notifies

    list.SetSelectedRows({2, 3});
    EXPECT_EQ(Selected(), (std::vector<int>{2, 3}));
    EXPECT_EQ(Posted(), 0u);

    ASSERT_TRUE(list.DeleteRow(6));
    EXPECT_FALSE(list.DeleteRow(6));
    list.ResetColumns();
    EXPECT_EQ(list.GetColumnCount(), 0);
    EXPECT_EQ(list.GetRowCount(), 0);
    EXPECT_FALSE(list.InsertRow(-1));
}
