// CPrintLayout: where the rows of a printed table go, page by page, for a printer that draws and
// drops each page as it goes. No toolkit: heights are whole device units.
//
// A row is a number of lines of one height plus a padding (above and below together). A row goes
// whole on the page it starts on; one that does not fit in what is left of a page starts the next
// page. A row taller than a whole page starts a page and is split at line boundaries only, each
// part filling a page, so that no line is ever cut. A page always takes at least one line, so a
// page too small for any line still makes progress (that line then overflows the page).
//
// Cost: constant per slice placed; the layout keeps nothing per row.
#pragma once

#include <vector>

class CPrintLayout {
public:
    // One part of a row on one page (a row that fits has one).
    struct SSlice {
        int nPage;        // from 0
        int nTop;         // from the top of the page's row area
        int nFirstLine;   // the row's first line on this page (above 0: the row goes on from a page before)
        int nLines;       // lines on this page, at least 1
        int nHeight;      // padding + nLines line heights

        bool operator==(const SSlice&) const = default;
    };

    // nBodyHeight: the height of the row area of a page; nLineHeight (at least 1) and nPadding:
    // of every row; nFirstPageReserved: taken off the top of the first page's row area (the
    // title and explanation), at most the whole area.
    CPrintLayout(int nBodyHeight, int nLineHeight, int nPadding, int nFirstPageReserved = 0);

    // Places the next row, of nLines lines (below 1 counts as 1): vSlices gets its parts, in
    // order (emptied first).
    void Place(int nLines, std::vector<SSlice>& vSlices);

    // The pages used so far: 1 before any row.
    int Pages() const { return m_nPage + 1; }

private:
    int m_nBodyHeight;
    int m_nLineHeight;
    int m_nPadding;
    int m_nPage = 0;
    int m_nY;
    bool m_bPageEmpty = true;
};
