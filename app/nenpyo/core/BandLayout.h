// CBandLayout: where the band view puts things, apart from how they are painted. No toolkit.
//
// Spans (eras, periods) go into lanes: a span takes the first lane that is free at its beginning,
// so that overlapping tables (two courts, periods within periods) come out as parallel rows. A
// record known by years only shares its first and last year with its neighbours (the year of a
// change belongs to both eras); such a shared year is no overlap, and is drawn as the later
// record's.
//
// Event labels go into rows: each label is the event's mark and text, laid from the event's
// beginning to the right (to the left, ending at the mark, where it would run past the view's
// right edge), and takes the first row where it touches no other label; the selected
// event comes first, then the events by priority, each priority in time order. Only the events of
// the visible stretch are looked at, and of a dense stretch only a sample (the first event of each
// few pixels), so the work depends on the view's size, not on the table's. What is left without
// a label is counted in a density strip.
#pragma once

#include <functional>
#include <limits>
#include <vector>

#include <corvane/GengouEra.h>

#include "BandEvents.h"
#include "BandScale.h"

// An era or period in its lane.
struct SBandSpan {
    double dBegin = 0;
    double dEnd = 0;          // exclusive
    int nLane = 0;
    bool bAlone = true;       // no other lane has a span at the same time: it may take the band's height
    int nRecord = 0;          // its index in the table
};

struct SBandSpans {
    std::vector<SBandSpan> vSpans;   // by beginning
    int nLanes = 0;
};

// A placed label; pixels from the view's left edge.
struct SBandLabel {
    const SBandEvent* pEvent = nullptr;
    int nGroup = 0;           // priority group (CBandEvents)
    int nRow = 0;
    double dMarkLeft = 0;     // the event's mark
    double dMarkRight = 0;
    double dLeft = 0;         // the label, mark included
    double dRight = 0;
    // The text lies before its mark, ending there: laid the usual way it would run past the view's
    // right edge.
    bool bTextBefore = false;
};

struct SBandLabelRequest {
    const CBandEvents* pEvents = nullptr;
    EEventPriority eFilter = PRIORITY_ALL;
    CBandScale scale;
    int nWidth = 0;           // pixels
    int nRows = 0;
    int nSelected = -1;       // list index of the selected event
    // The pixels a label's text and mark take (without the gap between labels).
    std::function<double(const SBandEvent&, int nGroup)> labelWidth;
    double dGap = 6;          // the least room between two labels of a row
    int nDensityPixels = 3;   // the width of a column of the density strip
};

struct SBandLabelResult {
    std::vector<SBandLabel> vLabels;
    std::size_t nVisible = 0;        // events the filter shows in the view
    std::vector<int> vDensity;       // events beginning in each column; empty when all are labelled
    int nDensityPixels = 3;
};

class CBandLayout {
public:
    // The lanes of an era or period table; records beyond nMaxLanes parallel ones, and records
    // that end before they begin, are left out. A record that has not ended (end year
    // CGengouEra::NOT_ENDED without an end month) ends at dOpenEnd, or with its first year when
    // it begins later: it is not drawn on into years nobody has dated.
    static SBandSpans LayOutSpans(const CGengouEraArray& records, int nMaxLanes = 3,
                                  double dOpenEnd = std::numeric_limits<double>::infinity());
    // The labels of the visible events.
    static SBandLabelResult LayOutLabels(const SBandLabelRequest& request);
};
