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
