#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <wx/frame.h>

#include "GuiTestSupport.h"
#include "controls/CXListCtrl.h"
#include "controls/ListOrder.h"

namespace {

using vrz::CompareNatural;
using vrz::CompareNumeric;

TEST(ListOrder, NamesCompareNaturallyWithoutCase) {
    EXPECT_LT(CompareNatural(L"file2", L"file10"), 0);
    EXPECT_GT(CompareNatural(L"file10", L"file2"), 0);
    EXPECT_LT(CompareNatural(L"alpha", L"Beta"), 0);
    EXPECT_LT(CompareNatural(L"Alpha", L"beta"), 0);
    EXPECT_LT(CompareNatural(L"a", L"ab"), 0);
    EXPECT_LT(CompareNatural(L"x7y", L"x007z"), 0);
    // Equal but for case: still a total order, and stable both ways.
    EXPECT_NE(CompareNatural(L"Read", L"read"), 0);
    EXPECT_EQ(CompareNatural(L"Read", L"read"), -CompareNatural(L"read", L"Read"));
    EXPECT_EQ(CompareNatural(L"same", L"same"), 0);
    EXPECT_LT(CompareNatural(L"\u00e4pfel", L"\u00c4rger"), 0);
}

TEST(ListOrder, SizesCompareAsNumbersAndEmptyComesFirst) {
    EXPECT_LT(CompareNumeric(L"9", L"10"), 0);
    EXPECT_GT(CompareNumeric(L"5242880", L"999"), 0);
    EXPECT_EQ(CompareNumeric(L"12", L"12"), 0);
    EXPECT_LT(CompareNumeric(L"", L"1"), 0);
    EXPECT_EQ(CompareNumeric(L"", L""), 0);
    EXPECT_LT(CompareNumeric(L"18446744073709551615", L"18446744073709551616"), 0);
}

class ListCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame_ = new wxFrame(nullptr, wxID_ANY, "list");
        list_ = new CXListCtrl(frame_, 377, wxPoint(0, 0), wxSize(600, 300));
        list_->AddColumn("File Name", 400);
        list_->AddColumn("File Size (KB)", 150);
        frame_->Show();
    }
    void TearDown() override { frame_->Destroy(); }

    // "name|size|image" per row in display order.
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (long i = 0; i < list_->GetItemCount(); ++i) {
            wxListItem item;
            item.SetId(i);
            item.SetMask(wxLIST_MASK_IMAGE | wxLIST_MASK_TEXT);
            list_->GetItem(item);
            rows.push_back(list_->GetItemText(i, 0).ToStdString() + "|" + list_->GetItemText(i, 1).ToStdString() +
                           "|" + std::to_string(item.GetImage()));
        }
        return rows;
    }

    void ClickHeader(int column) {
        wxListEvent click(wxEVT_LIST_COL_CLICK, list_->GetId());
        click.SetEventObject(list_);
        click.m_col = column;
        list_->GetEventHandler()->ProcessEvent(click);
    }

    void FillRoot() {
        list_->InsertSortedRow("file10.txt", 1, "3", false, 10);
        list_->InsertSortedRow("#Lost Files", 0, "", true, 1);
        list_->InsertSortedRow("docs", 0, "", false, 2);
        list_->InsertSortedRow("File2.txt", 1, "250", false, 3);
        list_->InsertSortedRow("zeta.bin", 1, "1", false, 4);
    }

    wxFrame* frame_ = nullptr;
    CXListCtrl* list_ = nullptr;
};

using Strings = std::vector<std::string>;

TEST_F(ListCtrlTest, InsertionKeepsPinnedRowsFirstAndNamesInNaturalOrder) {
    FillRoot();
    EXPECT_EQ(Rows(), Strings({"#Lost Files||0", "docs||0", "File2.txt|250|1", "file10.txt|3|1", "zeta.bin|1|1"}));
    EXPECT_EQ(list_->GetSortIndicator(), 0);
    EXPECT_TRUE(list_->IsAscendingSortIndicator());
    // Tags follow their rows.
    EXPECT_EQ(list_->GetRowTag(0), 1);
    EXPECT_EQ(list_->GetRowTag(2), 3);
}

TEST_F(ListCtrlTest, HeaderClicksSortBySizeThenTurnTheDirection) {
    FillRoot();
    ClickHeader(1);
    EXPECT_EQ(list_->GetSortIndicator(), 1);
    EXPECT_TRUE(list_->IsAscendingSortIndicator());
    // Icons and sizes move with the names; a row without size sorts first.
    EXPECT_EQ(Rows(), Strings({"#Lost Files||0", "docs||0", "zeta.bin|1|1", "file10.txt|3|1", "File2.txt|250|1"}));
    EXPECT_EQ(list_->GetRowTag(2), 4);

    ClickHeader(1);
    EXPECT_FALSE(list_->IsAscendingSortIndicator());
    EXPECT_EQ(Rows(), Strings({"#Lost Files||0", "File2.txt|250|1", "file10.txt|3|1", "zeta.bin|1|1", "docs||0"}));

    ClickHeader(0);
    EXPECT_EQ(list_->GetSortIndicator(), 0);
    EXPECT_TRUE(list_->IsAscendingSortIndicator());
    EXPECT_EQ(Rows(), Strings({"#Lost Files||0", "docs||0", "File2.txt|250|1", "file10.txt|3|1", "zeta.bin|1|1"}));
}

TEST_F(ListCtrlTest, NewRowsFollowTheOrderInForceAndClearingForgetsTags) {
    FillRoot();
    ClickHeader(0);  // descending by name
    list_->DeleteAllItems();
    list_->InsertSortedRow("b", 1, "1", false, 7);
    list_->InsertSortedRow("..", 0, "", true, 8);
    list_->InsertSortedRow("c", 1, "1", false, 9);
    list_->InsertSortedRow("a", 1, "1", false, 6);
    EXPECT_EQ(Rows(), Strings({"..||0", "c|1|1", "b|1|1", "a|1|1"}));
    EXPECT_EQ(list_->GetRowTag(0), 8);
    EXPECT_EQ(list_->GetRowTag(3), 6);
    EXPECT_EQ(list_->GetRowTag(99), 0);
}

TEST_F(ListCtrlTest, FillingAtOnceGivesTheOneByOneOrderAndSortsLikeIt) {
    FillRoot();
    ClickHeader(1);
    const Strings oneByOne = Rows();
    std::vector<wxIntPtr> tags;
    for (long i = 0; i < list_->GetItemCount(); ++i) tags.push_back(list_->GetRowTag(i));

    list_->DeleteAllItems();
    std::vector<CXListCtrl::NewRow> rows = {{"file10.txt", 1, "3", false, 10},
                                            {"#Lost Files", 0, "", true, 1},
                                            {"docs", 0, "", false, 2},
                                            {"File2.txt", 1, "250", false, 3},
                                            {"zeta.bin", 1, "1", false, 4}};
    list_->InsertSortedRows(rows);
    EXPECT_EQ(Rows(), oneByOne) << "the size order clicked before stays in force";
    for (long i = 0; i < list_->GetItemCount(); ++i) EXPECT_EQ(list_->GetRowTag(i), tags[static_cast<std::size_t>(i)]);

    // A large folder: pinned row first, then natural order of the names.
    list_->DeleteAllItems();
    ClickHeader(0);
    std::vector<CXListCtrl::NewRow> many;
    for (int i = 20000; i > 0; --i) many.push_back({wxString::Format("f%d", i), 1, "1", false, i});
    many.push_back({"..", 0, "", true, 0});
    list_->InsertSortedRows(many);
    ASSERT_EQ(list_->GetItemCount(), 20001);
    EXPECT_EQ(list_->GetItemText(0, 0), "..");
    EXPECT_EQ(list_->GetItemText(1, 0), "f1");
    EXPECT_EQ(list_->GetItemText(10, 0), "f10");
    EXPECT_EQ(list_->GetItemText(20000, 0), "f20000");
}

}  // namespace
