#include "BandLayout.h"

#include <algorithm>
#include <cmath>

#include <framework/Cp932.h>

namespace {

// A span with the stretch that counts for overlaps (a shared first or last year left out).
struct SLaneItem {
    SBandSpan span;
    double dBusyEnd = 0;
    bool bYearOnlyEnd = false;
    int nPrefer = -1;   // the lane the record asks for when it has a choice, -1 for none
};

// The two courts of 1331-1392: the shipped era table notes 南朝 or 北朝 at the start of a record's
// note; that settles which row an era takes where the years alone leave it open.
int PreferredLane(const CString& strNote)
{
    if (strNote.Left(CP932("南朝").GetLength()) == CP932("南朝"))
        return 1;
    if (strNote.Left(CP932("北朝").GetLength()) == CP932("北朝"))
        return 0;
    return -1;
}

// The rows of labels: each row's taken stretches, sorted and apart.
class CRows {
public:
    explicit CRows(int nRows) : m_vRows(static_cast<std::size_t>(std::max(nRows, 0))) {}

    // The first row where dLeft..dRight (gap included) is free, taken; -1 when none is.
    int Take(double dLeft, double dRight)
    {
        for (std::size_t nRow = 0; nRow < m_vRows.size(); ++nRow) {
            auto& vRow = m_vRows[nRow];
            const auto it = std::lower_bound(vRow.begin(), vRow.end(), dLeft,
                                             [](const std::pair<double, double>& s, double d) { return s.first < d; });
            if (it != vRow.end() && it->first < dRight)
                continue;
            if (it != vRow.begin() && std::prev(it)->second > dLeft)
                continue;
            vRow.insert(it, {dLeft, dRight});
            return static_cast<int>(nRow);
        }
        return -1;
    }

private:
    std::vector<std::vector<std::pair<double, double>>> m_vRows;
};

// The events beginning in each column of nPixels up to dTo, for the density strip.
std::vector<int> Density(const CBandEvents& events, int nGroups, const CBandScale& scale, int nWidth, int nPixels,
                         double dTo)
{
    const int nColumns = (nWidth + nPixels - 1) / nPixels;
    std::vector<int> vDensity(static_cast<std::size_t>(nColumns), 0);
    const double dFrom = scale.Time(0);
    for (int nGroup = 0; nGroup < nGroups; ++nGroup) {
        std::size_t nPrev = events.Range(nGroup, dFrom, dTo).first;
        for (int c = 0; c < nColumns; ++c) {
            const double dColumnEnd = std::min(scale.Time((c + 1.0) * nPixels), dTo);
            const std::size_t nEnd = events.Range(nGroup, dColumnEnd, dTo).first;
            vDensity[static_cast<std::size_t>(c)] += static_cast<int>(std::min<std::size_t>(nEnd - nPrev, 1u << 30));
            nPrev = std::max(nPrev, nEnd);
        }
    }
    return vDensity;
}

// The records that have a stretch of time, as lane items, by beginning.
std::vector<SLaneItem> LaneItems(const CGengouEraArray& records, double dOpenEnd)
{
    std::vector<SLaneItem> vItems;
    vItems.reserve(records.size());
    for (std::size_t n = 0; n < records.size(); ++n) {
        const SGengouEraTable& rec = records[n];
        SLaneItem item;
        item.span.nRecord = static_cast<int>(n);
        item.span.dBegin = CBandScale::DateStart(rec.lBeginYear, rec.nBeginMonth, rec.bBeginLeap, rec.nBeginDay);
        item.span.dEnd = CBandScale::DateEnd(rec.lEndYear, rec.nEndMonth, rec.bEndLeap, rec.nEndDay);
        item.bYearOnlyEnd = rec.nEndMonth < 1 || rec.nEndMonth > 12;
        if (item.bYearOnlyEnd && rec.lEndYear == CGengouEra::NOT_ENDED)
            item.span.dEnd = std::max(std::min(item.span.dEnd, dOpenEnd), CBandScale::YearStart(rec.lBeginYear) + 1.0);
        item.dBusyEnd = item.bYearOnlyEnd ? std::max(CBandScale::YearStart(rec.lEndYear), item.span.dBegin)
                                          : item.span.dEnd;
        item.nPrefer = PreferredLane(rec.strNote);
        if (item.span.dEnd > item.span.dBegin)
            vItems.push_back(item);
    }
    std::stable_sort(vItems.begin(), vItems.end(),
                     [](const SLaneItem& a, const SLaneItem& b) { return a.span.dBegin < b.span.dBegin; });

    return vItems;
}

// Of the events of a group in [nFirst, nLast), the first of each column dColumn years wide, on a
// grid fixed in time so that panning keeps the same sample.
std::vector<std::size_t> Sample(const CBandEvents& events, int nGroup, double dColumn, double dFrom, double dTo,
                                std::size_t nFirst, std::size_t nLast)
{
    std::vector<std::size_t> vSample;
    const auto& vGroup = events.Group(nGroup);
    std::size_t nNext = nFirst;
    for (double k = std::floor(dFrom / dColumn); k * dColumn < dTo; ++k) {
        const std::size_t nAt = events.Range(nGroup, std::max(k * dColumn, dFrom - 1.0), dTo).first;
        if (nAt >= nLast)
            break;
        if (nAt >= nNext && vGroup[nAt].dBegin < (k + 1) * dColumn) {
            vSample.push_back(nAt);
            nNext = nAt + 1;
        }
    }
    return vSample;
}

// A label's place in its row, before a row is found: from the event's beginning to the right, or
// ending at its mark where it would run past the view's right edge.
SBandLabel Geometry(const SBandEvent& event, int nGroup, const SBandLabelRequest& request)
{
    SBandLabel label;
    label.pEvent = &event;
    label.nGroup = nGroup;
    label.dMarkLeft = request.scale.X(event.dBegin);
    label.dMarkRight = std::max(request.scale.X(event.dEnd), label.dMarkLeft + 1);
    label.dLeft = std::max(label.dMarkLeft, 0.0);
    const double dWidth = request.labelWidth(event, nGroup);
    label.dRight = std::max(label.dLeft + dWidth, label.dMarkRight);
    if (label.dRight > request.nWidth && label.dMarkLeft - dWidth >= 0) {
        // Cut off at the edge otherwise: the text goes before the mark.
        label.bTextBefore = true;
        label.dLeft = label.dMarkLeft - dWidth;
        label.dRight = std::min(std::max(label.dMarkRight, label.dMarkLeft + 7), static_cast<double>(request.nWidth));
    }
    return label;
}

} // namespace

SBandSpans CBandLayout::LayOutSpans(const CGengouEraArray& records, int nMaxLanes, double dOpenEnd)
{
    const std::vector<SLaneItem> vItems = LaneItems(records, dOpenEnd);
    SBandSpans result;
    std::vector<double> vLaneEnd;                     // where each lane becomes free
    std::vector<std::vector<std::size_t>> vLanes;     // the items of each lane, in order
    std::vector<SLaneItem> vPlaced;
    for (const SLaneItem& item : vItems) {
        int nLane = -1;
        for (int n = 0; n < static_cast<int>(vLaneEnd.size()); ++n) {
            if (vLaneEnd[static_cast<std::size_t>(n)] > item.span.dBegin)
                continue;
            if (nLane < 0 || n == item.nPrefer)
                nLane = n;
        }
        if (nLane < 0) {
            if (static_cast<int>(vLaneEnd.size()) >= nMaxLanes)
                continue;
            nLane = static_cast<int>(vLaneEnd.size());
            vLaneEnd.push_back(0);
            vLanes.emplace_back();
        }
        vLaneEnd[static_cast<std::size_t>(nLane)] = item.dBusyEnd;
        vLanes[static_cast<std::size_t>(nLane)].push_back(vPlaced.size());
        vPlaced.push_back(item);
        vPlaced.back().span.nLane = nLane;
    }
    result.nLanes = static_cast<int>(vLanes.size());

    // A shared last year is drawn as the next record's of the lane.
    for (const auto& vLane : vLanes) {
        for (std::size_t n = 0; n + 1 < vLane.size(); ++n) {
            SLaneItem& item = vPlaced[vLane[n]];
            const double dNext = vPlaced[vLane[n + 1]].span.dBegin;
            if (item.bYearOnlyEnd && dNext > item.span.dBegin && dNext < item.span.dEnd)
                item.span.dEnd = dNext;
        }
    }
    // Alone: no span of another lane is busy at the same time.
    for (SLaneItem& item : vPlaced) {
        for (std::size_t nLane = 0; nLane < vLanes.size() && item.span.bAlone; ++nLane) {
            if (static_cast<int>(nLane) == item.span.nLane)
                continue;
            const auto& vLane = vLanes[nLane];
            // The last span of that lane beginning before this one is no longer busy.
            const auto it = std::lower_bound(vLane.begin(), vLane.end(), item.dBusyEnd,
                                             [&](std::size_t n, double d) { return vPlaced[n].span.dBegin < d; });
            if (it == vLane.begin())
                continue;
            const SLaneItem& other = vPlaced[*std::prev(it)];
            const double dOtherBusyEnd = std::max(other.dBusyEnd, other.span.dBegin + 1e-9);
            if (dOtherBusyEnd > item.span.dBegin && other.span.dBegin < std::max(item.dBusyEnd, item.span.dBegin + 1e-9))
                item.span.bAlone = false;
        }
    }
    result.vSpans.reserve(vPlaced.size());
    for (const SLaneItem& item : vPlaced)
        result.vSpans.push_back(item.span);
    return result;
}

SBandLabelResult CBandLayout::LayOutLabels(const SBandLabelRequest& request)
{
    SBandLabelResult result;
    result.nDensityPixels = std::max(request.nDensityPixels, 1);
    if (request.pEvents == nullptr || request.nWidth <= 0)
        return result;
    const CBandEvents& events = *request.pEvents;
    const CBandScale& scale = request.scale;
    const double dFrom = scale.Time(0);
    const double dTo = scale.Time(request.nWidth);
    const int nGroups = CBandEvents::GroupsShown(request.eFilter);
    result.nVisible = events.CountVisible(request.eFilter, dFrom, dTo);

    CRows rows(request.nRows);
    int nSelectedPlaced = -1;
    const auto place = [&](const SBandEvent& event, int nGroup) {
        if (event.nListIndex == nSelectedPlaced || !(event.dEnd > dFrom) || !(event.dBegin < dTo))
            return;
        SBandLabel label = Geometry(event, nGroup, request);
        label.nRow = rows.Take(label.dLeft, label.dRight + request.dGap);
        if (label.nRow >= 0)
            result.vLabels.push_back(label);
    };

    int nSelectedGroup = 0;
    if (const SBandEvent* pSelected = events.Find(request.nSelected, &nSelectedGroup);
        pSelected != nullptr && nSelectedGroup < nGroups) {
        place(*pSelected, nSelectedGroup);
        nSelectedPlaced = pSelected->nListIndex;
    }
    // Beyond this many events in view, a group is sampled: the first event of each few pixels.
    const double dSamplePixels = 8;
    const auto nBudget = static_cast<std::size_t>(std::max(request.nRows, 1)) *
                         static_cast<std::size_t>(request.nWidth / 16 + 1);
    for (int nGroup = 0; nGroup < nGroups && request.nRows > 0; ++nGroup) {
        const auto& vGroup = events.Group(nGroup);
        const auto [nFirst, nLast] = events.Range(nGroup, dFrom - 1.0, dTo);
        if (nLast - nFirst <= nBudget) {
            for (std::size_t n = nFirst; n < nLast; ++n)
                place(vGroup[n], nGroup);
            continue;
        }
        for (std::size_t nAt : Sample(events, nGroup, dSamplePixels / scale.PixelsPerYear(), dFrom, dTo, nFirst, nLast))
            place(vGroup[nAt], nGroup);
    }

    if (result.vLabels.size() < result.nVisible)
        result.vDensity = Density(events, nGroups, scale, request.nWidth, result.nDensityPixels, dTo);
    return result;
}
