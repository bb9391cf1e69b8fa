// The band view's geometry: the line of time, the axis ticks, era and period lanes (the two courts),
// and event labels that never overlap, also on a table far larger than the view.
#include "BandLayout.h"

#include <gtest/gtest.h>

#include <cmath>

#include <framework/Cp932.h>

#include "EventTestData_test.h"

namespace {

SGengouEraTable Era(const char* pszName, std::int32_t lBegin, std::int32_t lEnd, const char* pszNote = "")
{
    SGengouEraTable rec;
    rec.strGengou = LiteralToCp932(pszName);
    rec.lBeginYear = lBegin;
    rec.lEndYear = lEnd;
    rec.strNote = LiteralToCp932(pszNote);
    return rec;
}

const SBandSpan* SpanOf(const SBandSpans& spans, int nRecord)
{
    for (const SBandSpan& span : spans.vSpans) {
        if (span.nRecord == nRecord)
            return &span;
    }
    return nullptr;
}

} // namespace

TEST(BandScale, YearsDatesAndZoomKeepTheirPlace)
{
    const struct {
        std::int32_t lYear;
        double dStart;
    } aYears[] = {{1, 0}, {2, 1}, {-1, -1}, {-660, -660}, {2147483647, 2147483646.0}, {-2147483647 - 1, -2147483648.0}};
    for (const auto& test : aYears) {
        EXPECT_EQ(test.dStart, CBandScale::YearStart(test.lYear)) << test.lYear;
        EXPECT_EQ(test.lYear, CBandScale::YearAt(test.dStart + 0.5)) << test.lYear;
    }
    // From 701 a day lies where it was: 明治元年12月9日 was 1869-01-21, 天正10年6月2日 1582-06-21
    // (Julian; 1582 had 355 days), 1873-03-01 the 60th day of its year.
    EXPECT_DOUBLE_EQ(1868.0 + 20.0 / 365, CBandScale::DateStart(1868, 12, false, 9));
    EXPECT_DOUBLE_EQ(1868.0 + 21.0 / 365, CBandScale::DateEnd(1868, 12, false, 9));
    EXPECT_DOUBLE_EQ(1581.0 + 171.0 / 355, CBandScale::DateStart(1582, 6, false, 2));
    EXPECT_DOUBLE_EQ(1872.0 + 59.0 / 365, CBandScale::DateStart(1873, 3, false, 1));
    EXPECT_DOUBLE_EQ(CBandScale::DateStart(1873, 3, false, 1), CBandScale::WesternMonthStart(1873, 3));
    EXPECT_DOUBLE_EQ(CBandScale::DateEnd(1873, 2, false, 0), CBandScale::DateStart(1873, 3, false, 1));
    // A leap month after its month, as long as it was; the month ends where the next begins.
    EXPECT_LT(CBandScale::DateStart(1860, 3, false, 30), CBandScale::DateStart(1860, 3, true, 1));
    EXPECT_DOUBLE_EQ(CBandScale::DateEnd(1860, 3, false, 0), CBandScale::DateStart(1860, 3, true, 1));
    EXPECT_DOUBLE_EQ(CBandScale::DateEnd(1860, 3, true, 0), CBandScale::DateStart(1860, 4, false, 1));
    EXPECT_DOUBLE_EQ(CBandScale::DateEnd(1872, 12, false, 0), CBandScale::YearStart(1873));
    // Before 701, and a day that never was (kept as written): twelve equal months of 31 days.
    EXPECT_DOUBLE_EQ(644.0 + 5.0 / 12 + 11.0 / 372, CBandScale::DateStart(645, 6, false, 12));
    EXPECT_DOUBLE_EQ(1871.0 + 11.0 / 12 + 9.0 / 372, CBandScale::DateStart(1872, 12, false, 10));
    EXPECT_LT(CBandScale::DateStart(600, 3, false, 15), CBandScale::DateStart(600, 3, true, 1));
    EXPECT_DOUBLE_EQ(CBandScale::DateEnd(600, 3, true, 0), CBandScale::DateStart(600, 4, false, 1));
    EXPECT_EQ(CBandScale::YearStart(5) + 1, CBandScale::DateEnd(5, 13, false, 40));   // nonsense: the year
    EXPECT_EQ(CBandScale::YearStart(2147483647) + 1, CBandScale::DateEnd(2147483647, 0, false, 0));
    // The last 32-bit year has no next year to measure its days by: twelve equal months.
    EXPECT_DOUBLE_EQ(CBandScale::YearStart(2147483647) + 11.0 / 12 + 30.0 / 372, CBandScale::DateStart(2147483647, 12, false, 31));

    CBandScale scale(1500, 2);
    for (const double dFactor : {1.25, 0.8, 1e12, 1e-30}) {
        const double dBefore = scale.Time(333);
        scale.ZoomAt(333, dFactor);
        EXPECT_NEAR(dBefore, scale.Time(333), 1e-6 * std::max(1.0, std::abs(dBefore)));
        EXPECT_GE(scale.PixelsPerYear(), CBandScale::kMinPixelsPerYear);
        EXPECT_LE(scale.PixelsPerYear(), CBandScale::kMaxPixelsPerYear);
    }
}

TEST(BandScale, TicksAdaptToTheZoom)
{
    const struct {
        double dPixelsPerYear;
        double dStep;   // of the labelled ticks
    } aZooms[] = {{0.01, 10000}, {0.1, 1000}, {1, 100}, {10, 10}, {70, 1}, {300, 0.25}, {2000, 1.0 / 12}};
    for (const auto& test : aZooms) {
        CBandScale scale(-1000, test.dPixelsPerYear);
        scale.PlaceAt(1600, 500);
        EXPECT_DOUBLE_EQ(test.dStep, scale.LabelStepYears(60)) << test.dPixelsPerYear;
        const std::vector<SBandTick> vTicks = scale.Ticks(1000, 60);
        ASSERT_FALSE(vTicks.empty());
        for (std::size_t n = 1; n < vTicks.size(); ++n) {
            EXPECT_GE(scale.X(vTicks[n].dTime) - scale.X(vTicks[n - 1].dTime), 6 - 1e-9);
            EXPECT_TRUE(vTicks[n].dTime >= scale.Time(0) && vTicks[n].dTime <= scale.Time(1000));
        }
    }
    // The whole 32-bit range in a view: a handful of ticks, not one a year.
    CBandScale all(-2147483648.0, CBandScale::kMinPixelsPerYear);
    EXPECT_LE(all.Ticks(1000, 60).size(), 1000u / 6 + 2);
    // Around year 1 (no year 0) the centuries are -100, 1, 100.
    CBandScale scale(-150, 1);
    std::vector<std::int32_t> vLabelled;
    for (const SBandTick& tick : scale.Ticks(300, 60))
        if (tick.bLabelled)
            vLabelled.push_back(tick.lYear);
    EXPECT_EQ((std::vector<std::int32_t>{-100, 1, 100}), vLabelled);
}

TEST(BandLayout, ErasOfTwoCourtsTakeTwoLanesAndChangeYearsAreShared)
{
    const CGengouEraArray records = {
        Era("嘉暦", 1326, 1329),        Era("元徳", 1329, 1332),         Era("元弘", 1331, 1334, "南朝"),
        Era("正慶", 1332, 1333, "北朝"), Era("建武", 1334, 1338),         Era("延元", 1336, 1340, "南朝"),
        Era("暦応", 1338, 1342, "北朝"), Era("天授", 1375, 1381, "南朝"), Era("康暦", 1379, 1381, "北朝"),
        Era("弘和", 1381, 1384, "南朝"), Era("永徳", 1381, 1384, "北朝"), Era("応永", 1394, 1428),
        Era("逆さま", 1500, 1400),
    };
    const SBandSpans spans = CBandLayout::LayOutSpans(records);
    EXPECT_EQ(2, spans.nLanes);
    EXPECT_EQ(nullptr, SpanOf(spans, 12));   // ends before it begins
    const struct {
        int nRecord;
        int nLane;
        bool bAlone;
    } aExpected[] = {{0, 0, true}, {1, 0, false}, {2, 1, false}, {3, 0, false}, {5, 1, false},
                     {6, 0, false}, {9, 1, false}, {10, 0, false}, {11, 0, true}};
    for (const auto& test : aExpected) {
        const SBandSpan* pSpan = SpanOf(spans, test.nRecord);
        ASSERT_NE(nullptr, pSpan) << test.nRecord;
        EXPECT_EQ(test.nLane, pSpan->nLane) << test.nRecord;
        EXPECT_EQ(test.bAlone, pSpan->bAlone) << test.nRecord;
    }
    // 嘉暦 gives its last year to 元徳; 応永, last of its lane, keeps its own.
    EXPECT_EQ(CBandScale::YearStart(1329), SpanOf(spans, 0)->dEnd);
    EXPECT_EQ(CBandScale::YearStart(1429), SpanOf(spans, 11)->dEnd);

    // Known days decide by themselves, and a lane's span ends on its last day.
    CGengouEraArray days = {Era("甲", 1000, 1010), Era("乙", 1010, 1020)};
    days[0].nEndMonth = 3;
    days[0].nEndDay = 5;
    days[1].nBeginMonth = 3;
    days[1].nBeginDay = 6;
    const SBandSpans dated = CBandLayout::LayOutSpans(days);
    EXPECT_EQ(1, dated.nLanes);
    EXPECT_DOUBLE_EQ(CBandScale::DateEnd(1010, 3, false, 5), dated.vSpans[0].dEnd);
}

TEST(BandLayout, LabelsNeverOverlapAndStayFewOnAHugeTable)
{
    CYearEvent table;
    for (int i = 0; i < 200000; ++i)
        table.SetData(Event(1 + i / 100, "x", i % 3, 1 + i % 12, 1 + i % 28), false, -1, PRIORITY_ALL);
    CBandEvents events;
    events.Build(table);
    const struct {
        double dPixelsPerYear;
        EEventPriority eFilter;
    } aViews[] = {{0.5, PRIORITY_ALL}, {5, PRIORITY_HIGH}, {500, PRIORITY_MIDDLE}, {8000, PRIORITY_ALL}};
    for (const auto& test : aViews) {
        SBandLabelRequest request;
        request.pEvents = &events;
        request.eFilter = test.eFilter;
        request.scale = CBandScale(0, test.dPixelsPerYear);
        request.scale.PlaceAt(CBandScale::DateStart(1001, 5, false, 13), 500);   // the selected event, 1001 5月13日
        request.nWidth = 1000;
        request.nRows = 10;
        request.nSelected = 100000;   // year 1001, priority 1
        request.labelWidth = [](const SBandEvent& event, int) { return 40.0 + event.nListIndex % 7 * 10; };
        const SBandLabelResult result = CBandLayout::LayOutLabels(request);
        ASSERT_FALSE(result.vLabels.empty());
        EXPECT_LE(result.vLabels.size(), 10u * 1000 / 40);
        const bool bSelectedShown = test.eFilter != PRIORITY_HIGH;
        EXPECT_EQ(bSelectedShown, result.vLabels.front().pEvent->nListIndex == 100000) << test.dPixelsPerYear;
        for (std::size_t i = 0; i < result.vLabels.size(); ++i) {
            const SBandLabel& a = result.vLabels[i];
            EXPECT_LE(a.pEvent->pData->nPriority, test.eFilter);
            for (std::size_t j = i + 1; j < result.vLabels.size(); ++j) {
                const SBandLabel& b = result.vLabels[j];
                EXPECT_TRUE(a.nRow != b.nRow || a.dRight <= b.dLeft || b.dRight <= a.dLeft);
            }
        }
        if (result.vLabels.size() < result.nVisible) {
            std::size_t nCounted = 0;
            for (int nCount : result.vDensity)
                nCounted += static_cast<std::size_t>(nCount);
            EXPECT_LE(nCounted, result.nVisible);
            EXPECT_GT(nCounted, result.nVisible / 2);
        }
    }
}

namespace {

// The labels of undated events (each a year long) at the years given, every label 50 pixels wide,
// in a view of 1 pixel a year from time 0, nWidth pixels wide, with nRows rows.
SBandLabelResult Labels(CYearEvent& table, CBandEvents& events, std::initializer_list<std::int32_t> years, int nWidth,
                        int nRows, double dLeft = 0)
{
    for (std::int32_t lYear : years)
        table.SetData(Event(lYear, "x"), true, -1, PRIORITY_ALL);
    events.Build(table);
    SBandLabelRequest request;
    request.pEvents = &events;
    request.scale = CBandScale(dLeft, 1.0);
    request.nWidth = nWidth;
    request.nRows = nRows;
    request.labelWidth = [](const SBandEvent&, int) { return 50.0; };
    return CBandLayout::LayOutLabels(request);
}

int RowOfYear(const SBandLabelResult& result, std::int32_t lYear)
{
    for (const SBandLabel& label : result.vLabels) {
        if (label.pEvent->pData->lYear == lYear)
            return label.nRow;
    }
    return -1;
}

} // namespace

TEST(BandLayout, LabelsOfARowKeepTheirGapToThePixel)
{
    // Year Y begins at Y - 1: a label at pixel 100 ends at 150; the next may begin at 156 (the gap
    // is 6), not at 155.
    const struct {
        std::int32_t lSecond;
        int nRow;
    } aCases[] = {{157, 0}, {156, 1}, {151, 1}, {158, 0}};
    for (const auto& test : aCases) {
        CYearEvent table;
        CBandEvents events;
        const SBandLabelResult result = Labels(table, events, {101, test.lSecond}, 1000, 3);
        ASSERT_EQ(2u, result.vLabels.size());
        EXPECT_EQ(0, RowOfYear(result, 101));
        EXPECT_EQ(test.nRow, RowOfYear(result, test.lSecond)) << test.lSecond;
    }
}

TEST(BandLayout, LabelsAtTheRightEdgeStayInTheViewAndEventsEndingAtTheLeftEdgeAreNotThere)
{
    CYearEvent table;
    CBandEvents events;
    // 100 pixels wide from time 1000: year 1000 ends exactly at the left edge, 1001 is the first
    // year in view, 1100 the last; 1090 and 1100 would run past the right edge.
    const SBandLabelResult result = Labels(table, events, {1000, 1001, 1090, 1100, 1101}, 100, 5, 1000);
    EXPECT_EQ(3u, result.nVisible);
    EXPECT_EQ(-1, RowOfYear(result, 1000));
    EXPECT_EQ(-1, RowOfYear(result, 1101));
    ASSERT_EQ(3u, result.vLabels.size());
    for (const SBandLabel& label : result.vLabels) {
        const std::int32_t lYear = label.pEvent->pData->lYear;
        EXPECT_GE(label.dLeft, 0) << lYear;
        EXPECT_LE(label.dRight, 100) << lYear;
        EXPECT_EQ(lYear != 1001, label.bTextBefore) << lYear;
        if (label.bTextBefore) {
            // The text ends at its mark: the label's left is its width before the mark.
            EXPECT_DOUBLE_EQ(label.dMarkLeft - 50, label.dLeft) << lYear;
        }
    }
    // Too wide to go before the mark either: laid the usual way, cut at the edge.
    CYearEvent narrowTable;
    CBandEvents narrowEvents;
    const SBandLabelResult narrow = Labels(narrowTable, narrowEvents, {1030}, 60, 1, 1000);
    ASSERT_EQ(1u, narrow.vLabels.size());
    EXPECT_FALSE(narrow.vLabels[0].bTextBefore);
    EXPECT_DOUBLE_EQ(29, narrow.vLabels[0].dLeft);
}

TEST(BandLayout, ALabelPlacedBeforeItsLeftNeighbourKeepsTheGapToo)
{
    // The later event (year 157, pixel 156) is selected and placed first; the earlier one, 50
    // pixels wide with a gap of 6, fits beside it only when it begins at pixel 100 or before.
    const struct {
        std::int32_t lFirst;
        int nRow;
    } aCases[] = {{101, 0}, {102, 1}, {60, 0}, {150, 1}, {156, 1}};
    for (const auto& test : aCases) {
        CYearEvent table;
        table.SetData(Event(test.lFirst, "x"), true, -1, PRIORITY_ALL);
        table.SetData(Event(157, "y"), true, -1, PRIORITY_ALL);
        CBandEvents events;
        events.Build(table);
        int nSelected = -1;
        for (const SBandEvent& event : events.Group(0))
            nSelected = event.pData->lYear == 157 ? event.nListIndex : nSelected;
        SBandLabelRequest request;
        request.pEvents = &events;
        request.scale = CBandScale(0, 1.0);
        request.nWidth = 1000;
        request.nRows = 3;
        request.nSelected = nSelected;
        request.labelWidth = [](const SBandEvent&, int) { return 50.0; };
        const SBandLabelResult result = CBandLayout::LayOutLabels(request);
        ASSERT_EQ(2u, result.vLabels.size());
        EXPECT_EQ(157, result.vLabels[0].pEvent->pData->lYear);
        EXPECT_EQ(0, RowOfYear(result, 157));
        EXPECT_EQ(test.nRow, RowOfYear(result, test.lFirst)) << test.lFirst;
    }
}

TEST(BandEvents, AnEventEndingAtTheLeftEdgeOrBeginningAtTheRightIsNotVisible)
{
    // A day (1500-03-10), a month (1500-05) and a year (1400) of priority 1, and a day of
    // priority 2 that the middle filter leaves out.
    CYearEvent table;
    table.SetData(Event(1500, "day", 1, 3, 10), true, -1, PRIORITY_ALL);
    table.SetData(Event(1500, "month", 1, 5), true, -1, PRIORITY_ALL);
    table.SetData(Event(1400, "year", 1), true, -1, PRIORITY_ALL);
    table.SetData(Event(1500, "low", 2, 3, 10), true, -1, PRIORITY_ALL);
    CBandEvents events;
    events.Build(table);
    const double dDay = CBandScale::DateStart(1500, 3, false, 10);
    const double dDayEnd = CBandScale::DateEnd(1500, 3, false, 10);
    const double dMonth = CBandScale::DateStart(1500, 5, false, 0);
    const double dMonthEnd = CBandScale::DateEnd(1500, 5, false, 0);
    const double dYearEnd = CBandScale::YearStart(1401);
    const double e = 1e-7;
    const struct {
        const char* pszCase;
        double dFrom;
        double dTo;
        EEventPriority eFilter;
        std::size_t nVisible;
    } aCases[] = {
        {"day ends at the left edge", dDayEnd, dMonth + e, PRIORITY_ALL, 1},
        {"day ends just after the left edge", dDayEnd - e, dMonth + e, PRIORITY_ALL, 3},
        {"day ends just after, middle filter", dDayEnd - e, dMonth + e, PRIORITY_MIDDLE, 2},
        {"month begins at the right edge", dDay, dMonth, PRIORITY_ALL, 2},
        {"month ends at the left edge", dMonthEnd, dMonthEnd + 10, PRIORITY_ALL, 0},
        {"month ends just after the left edge", dMonthEnd - e, dMonthEnd + 10, PRIORITY_ALL, 1},
        {"year ends at the left edge", dYearEnd, dDay, PRIORITY_ALL, 0},
        {"year ends just after the left edge", dYearEnd - e, dDay, PRIORITY_ALL, 1},
        {"everything", 0, 2000, PRIORITY_ALL, 4},
    };
    for (const auto& test : aCases) {
        EXPECT_EQ(test.nVisible, events.CountVisible(test.eFilter, test.dFrom, test.dTo)) << test.pszCase;
        // The labels are of the same events, the selected one included.
        for (int nSelected = -1; nSelected < 4; ++nSelected) {
            SBandLabelRequest request;
            request.pEvents = &events;
            request.eFilter = test.eFilter;
            request.scale = CBandScale(test.dFrom, 1000.0 / (test.dTo - test.dFrom));
            request.nWidth = 1000;
            request.nRows = 8;
            request.nSelected = nSelected;
            request.labelWidth = [](const SBandEvent&, int) { return 10.0; };
            const SBandLabelResult result = CBandLayout::LayOutLabels(request);
            EXPECT_EQ(test.nVisible, result.nVisible) << test.pszCase;
            EXPECT_EQ(test.nVisible, result.vLabels.size()) << test.pszCase << " selected " << nSelected;
            for (const SBandLabel& label : result.vLabels)
                EXPECT_TRUE(label.pEvent->dEnd > test.dFrom && label.pEvent->dBegin < test.dTo) << test.pszCase;
        }
    }
}

TEST(BandLayout, ErasStillRunningEndWhereTheyAreToldTo)
{
    CGengouEraArray records = {Era("平成", 1989, 2019), Era("令和", 2019, CGengouEra::NOT_ENDED),
                               Era("先の世", 3000, CGengouEra::NOT_ENDED), Era("昔", 800, 900)};
    records[1].nBeginMonth = 5;
    records[1].nBeginDay = 1;
    const double dOpenEnd = CBandScale::YearStart(2027);
    const struct {
        double dOpenEnd;
        int nRecord;
        double dEnd;
    } aCases[] = {
        {dOpenEnd, 1, dOpenEnd},
        {dOpenEnd, 2, CBandScale::YearStart(3001)},   // begins later: its first year
        {dOpenEnd, 3, CBandScale::YearStart(901)},    // ended: as it was
        {dOpenEnd, 0, CBandScale::DateStart(2019, 5, false, 1)},
        {std::numeric_limits<double>::infinity(), 1, CBandScale::YearStart(CGengouEra::NOT_ENDED) + 1},
    };
    for (const auto& test : aCases) {
        const SBandSpans spans = CBandLayout::LayOutSpans(records, 3, test.dOpenEnd);
        const SBandSpan* pSpan = SpanOf(spans, test.nRecord);
        ASSERT_NE(nullptr, pSpan) << test.nRecord;
        EXPECT_DOUBLE_EQ(test.dEnd, pSpan->dEnd) << test.nRecord << " " << test.dOpenEnd;
    }
}
