// The page break rule: rows go whole on a page, the next page takes a row that does not fit, and
// only a row taller than a page is split, at line boundaries, each part on a page of its own.
#include "PrintLayout.h"

#include <gtest/gtest.h>

#include <vector>

TEST(PrintLayout, RowsGoWholeOnAPageAndOnlyATallRowIsSplitAtLines)
{
    using SSlice = CPrintLayout::SSlice;
    // Row area 100, lines of 10, padding 4: a page holds 9 lines of one row, and the first page
    // keeps 30 for the title.
    const struct {
        const char* pszCase;
        std::vector<int> vRows;                // lines of each row
        std::vector<SSlice> vLast;             // the slices of the last row
        int nPages;
    } aCases[] = {
        {"one-line rows fill the first page", {1, 1, 1, 1, 1}, {{0, 86, 0, 1, 14}}, 1},
        {"the next row starts a page", {1, 1, 1, 1, 1, 1}, {{1, 0, 0, 1, 14}}, 2},
        {"a row that fits no more moves whole", {6, 2}, {{1, 0, 0, 2, 24}}, 2},
        {"a row of a whole page", {1, 9}, {{1, 0, 0, 9, 94}}, 2},
        {"a taller row starts a page, split at lines",
         {1, 20},
         {{1, 0, 0, 9, 94}, {2, 0, 9, 9, 94}, {3, 0, 18, 2, 24}},
         4},
        {"a tall first row uses the first page", {12}, {{0, 30, 0, 6, 64}, {1, 0, 6, 6, 64}}, 2},
        {"no lines count as one", {0}, {{0, 30, 0, 1, 14}}, 1},
    };
    for (const auto& test : aCases) {
        SCOPED_TRACE(test.pszCase);
        CPrintLayout layout(100, 10, 4, 30);
        std::vector<SSlice> vSlices;
        for (const int nLines : test.vRows)
            layout.Place(nLines, vSlices);
        EXPECT_EQ(test.vLast, vSlices);
        EXPECT_EQ(test.nPages, layout.Pages());
    }

    // A page too small for one line still takes one line a page.
    CPrintLayout tiny(5, 10, 4);
    std::vector<SSlice> vSlices;
    tiny.Place(3, vSlices);
    EXPECT_EQ((std::vector<SSlice>{{0, 0, 0, 1, 14}, {1, 0, 1, 1, 14}, {2, 0, 2, 1, 14}}), vSlices);
}
