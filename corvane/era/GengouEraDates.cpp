// The lookups of CGengouEra by date, over an index built on the first lookup after a change.
#include <corvane/GengouEra.h>

#include <framework/Cp932.h>

#include <corvane/Calendar.h>

#include "calendar/CalendarReason.h"

#include <corvane/HtmlManage.h>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

// A date as one number that orders as SEraDate does; month 15 and day 63 stand for "the last".
constexpr int kLastMonth = 15;
constexpr int kLastDay = 63;

std::int64_t Key(std::int32_t lYear, int nMonth, bool bLeap, int nDay)
{
    return ((std::int64_t{lYear} * 16 + nMonth) * 2 + (bLeap ? 1 : 0)) * 64 + nDay;
}

bool IsMonth(int nMonth) { return nMonth >= 1 && nMonth <= 12; }
bool IsDay(int nDay) { return nDay >= 1 && nDay <= 31; }

// The first and the last key of the span of time a (partial) date names.
std::pair<std::int64_t, std::int64_t> Keys(const SEraDate& date)
{
    if (!IsMonth(date.nMonth))
        return {Key(date.lYear, 0, false, 0), Key(date.lYear, kLastMonth, true, kLastDay)};
    if (!IsDay(date.nDay))
        return {Key(date.lYear, date.nMonth, date.bLeap, 0), Key(date.lYear, date.nMonth, date.bLeap, kLastDay)};
    const std::int64_t lKey = Key(date.lYear, date.nMonth, date.bLeap, date.nDay);
    return {lKey, lKey};
}

// The first day a record covers: its begin day, else the start of its begin month or year.
std::int64_t BeginKey(const SGengouEraTable& rec)
{
    if (!IsMonth(rec.nBeginMonth))
        return Key(rec.lBeginYear, 0, false, 0);
    return Key(rec.lBeginYear, rec.nBeginMonth, rec.bBeginLeap, IsDay(rec.nBeginDay) ? rec.nBeginDay : 0);
}

std::int64_t EndKey(const SGengouEraTable& rec)
{
    if (!IsMonth(rec.nEndMonth))
        return Key(rec.lEndYear, kLastMonth, true, kLastDay);
    return Key(rec.lEndYear, rec.nEndMonth, rec.bEndLeap, IsDay(rec.nEndDay) ? rec.nEndDay : kLastDay);
}

CString PlainName(const CString& strName)
{
    CString strPlain;
    CHtmlManage().RemoveHtml(strName, strPlain);
    return strPlain;
}

// "閏4月" or "4月".
CString MonthText(int nMonth, bool bLeap)
{
    CString str;
    str.Format(CP932("%s%d月").GetString(), bLeap ? CP932("閏").GetString() : "", nMonth);
    return str;
}

// By name (bytes), then index. (Not the pair's own ordering: CString converts to a pointer, which
// a three-way comparison would take.)
bool NameLess(const std::pair<CString, int>& a, const std::pair<CString, int>& b)
{
    const int nCompare = a.first.Compare(b.first);
    return nCompare != 0 ? nCompare < 0 : a.second < b.second;
}

} // namespace

struct CGengouEra::SDateIndex {
    struct SSpan {
        std::int64_t lBegin;
        std::int64_t lEnd;
        int nIndex;
        bool bBeginDay;   // lBegin is a day of the record, not the start of a month or year
        bool bEndDay;
    };
    std::vector<SSpan> spans;               // by lBegin, then table order
    std::vector<std::int64_t> maxEnd;       // a tree of the largest lEnd below each node
    std::size_t nLeaves = 0;
    std::vector<std::pair<CString, int>> names;                 // plain name, index; by name, index
    std::vector<std::pair<std::int32_t, int>> leapMonths;       // year, leap month the days name

    // Appends the spans in [nFrom, nTo) of the subtree nNode (covering [nLow, nHigh)) that end at
    // or after lFirst.
    void Collect(std::size_t nNode, std::size_t nLow, std::size_t nHigh, std::size_t nTo, std::int64_t lFirst,
                 std::vector<const SSpan*>& found) const
    {
        if (nLow >= nTo || maxEnd[nNode] < lFirst)
            return;
        if (nHigh - nLow == 1) {
            found.push_back(&spans[nLow]);
            return;
        }
        const std::size_t nMid = (nLow + nHigh) / 2;
        Collect(2 * nNode, nLow, nMid, nTo, lFirst, found);
        Collect(2 * nNode + 1, nMid, nHigh, nTo, lFirst, found);
    }
};

const CGengouEra::SDateIndex& CGengouEra::DateIndex() const
{
    if (m_pDateIndex)
        return *m_pDateIndex;
    auto pIndex = std::make_shared<SDateIndex>();
    for (int i = 0; i < GetSize(); ++i) {
        const SGengouEraTable& rec = m_GengouEraTable[static_cast<std::size_t>(i)];
        pIndex->names.emplace_back(PlainName(rec.strGengou), i);
        if (IsMonth(rec.nBeginMonth) && rec.bBeginLeap)
            pIndex->leapMonths.emplace_back(rec.lBeginYear, rec.nBeginMonth);
        if (IsMonth(rec.nEndMonth) && rec.bEndLeap)
            pIndex->leapMonths.emplace_back(rec.lEndYear, rec.nEndMonth);
        const std::int64_t lBegin = BeginKey(rec);
        const std::int64_t lEnd = EndKey(rec);
        if (lBegin <= lEnd)
            pIndex->spans.push_back({lBegin, lEnd, i, IsMonth(rec.nBeginMonth) && IsDay(rec.nBeginDay),
                                     IsMonth(rec.nEndMonth) && IsDay(rec.nEndDay)});
    }
    std::stable_sort(pIndex->spans.begin(), pIndex->spans.end(),
                     [](const SDateIndex::SSpan& a, const SDateIndex::SSpan& b) { return a.lBegin < b.lBegin; });
    std::sort(pIndex->names.begin(), pIndex->names.end(), NameLess);
    std::sort(pIndex->leapMonths.begin(), pIndex->leapMonths.end());

    std::size_t nLeaves = 1;
    while (nLeaves < pIndex->spans.size())
        nLeaves *= 2;
    pIndex->nLeaves = nLeaves;
    pIndex->maxEnd.assign(2 * nLeaves, std::numeric_limits<std::int64_t>::min());
    for (std::size_t i = 0; i < pIndex->spans.size(); ++i)
        pIndex->maxEnd[nLeaves + i] = pIndex->spans[i].lEnd;
    for (std::size_t i = nLeaves - 1; i >= 1; --i)
        pIndex->maxEnd[i] = std::max(pIndex->maxEnd[2 * i], pIndex->maxEnd[2 * i + 1]);
    m_pDateIndex = std::move(pIndex);
    return *m_pDateIndex;
}

std::vector<int> CGengouEra::GetIndicesInForce(const SEraDate& date) const
{
    const SDateIndex& index = DateIndex();
    const std::pair<std::int64_t, std::int64_t> keys = Keys(date);
    const std::int64_t lFirst = keys.first;
    const std::int64_t lLast = keys.second;
    // Spans that begin at or before the last key and end at or after the first one.
    const auto itEnd = std::upper_bound(index.spans.begin(), index.spans.end(), lLast,
                                        [](std::int64_t lKey, const SDateIndex::SSpan& span) { return lKey < span.lBegin; });
    std::vector<const SDateIndex::SSpan*> found;
    if (!index.spans.empty())
        index.Collect(1, 0, index.nLeaves, static_cast<std::size_t>(itEnd - index.spans.begin()), lFirst, found);

    std::vector<int> indices;
    for (const SDateIndex::SSpan* pSpan : found) {
        // The day of a change belongs to the era that begins on it.
        const bool bHandedOver =
            lFirst == lLast && pSpan->bEndDay && pSpan->lEnd == lFirst &&
            std::any_of(found.begin(), found.end(), [&](const SDateIndex::SSpan* pOther) {
                return pOther != pSpan && pOther->bBeginDay && pOther->lBegin == lFirst && pOther->lBegin > pSpan->lBegin;
            });
        if (!bHandedOver)
            indices.push_back(pSpan->nIndex);
    }
    std::sort(indices.begin(), indices.end());
    return indices;
}

int CGengouEra::GetIndexFromName(const char* pszName) const
{
    const SDateIndex& index = DateIndex();
    const CString strName(pszName);
    const auto it = std::lower_bound(index.names.begin(), index.names.end(), std::make_pair(strName, -1), NameLess);
    return it != index.names.end() && it->first == strName ? it->second : -1;
}

CString CGengouEra::GetEraDateText(int nIndex, const SEraDate& date) const
{
    if (nIndex < 0 || nIndex >= GetSize())
        return CString();
    const SGengouEraTable& rec = m_GengouEraTable[static_cast<std::size_t>(nIndex)];
    const std::int64_t llEraYear = std::int64_t{date.lYear} - rec.lBeginYear + 1;
    if (llEraYear < 1)
        return CString();
    CString strText = PlainName(rec.strGengou);
    if (llEraYear == 1)
        strText += CP932("元年");
    else
        strText.AppendFormat(CP932("%lld年").GetString(), static_cast<long long>(llEraYear));
    if (IsMonth(date.nMonth)) {
        strText += MonthText(date.nMonth, date.bLeap);
        if (IsDay(date.nDay))
            strText.AppendFormat(CP932("%d日").GetString(), date.nDay);
    }
    return strText;
}

bool CGengouEra::IsValidDate(const SEraDate& date, CString* pstrError) const
{
    if (!CCalendar::CheckDate(date, pstrError))
        return false;
    if (!date.bLeap || CCalendar::GetLeapMonth(date.lYear) >= 0)
        return true;
    // Before 701 the calendar knows no leap months: a year has at most one, so one that the
    // table's days place in the year excludes every other.
    const SDateIndex& index = DateIndex();
    const auto range = std::equal_range(index.leapMonths.begin(), index.leapMonths.end(), std::make_pair(date.lYear, 0),
                                        [](const auto& a, const auto& b) { return a.first < b.first; });
    if (range.first == range.second ||
        std::any_of(range.first, range.second, [&](const auto& leap) { return leap.second == date.nMonth; }))
        return true;
    if (pstrError)
        *pstrError = corvane::calendar::LeapMonthReason(date.lYear, date.nMonth, range.first->second);
    return false;
}

bool CGengouEra::GetDateOfEraDate(int nIndex, std::int32_t lEraYear, int nMonth, bool bLeap, int nDay, SEraDate& date,
                                  CString* pstrError) const
{
    CString strError;
    const auto fail = [&](const CString& str) {
        if (pstrError)
            *pstrError = str;
        return false;
    };
    if (nIndex < 0 || nIndex >= GetSize())
        return fail(CP932("その元号は表にありません"));
    const SGengouEraTable& rec = m_GengouEraTable[static_cast<std::size_t>(nIndex)];
    // The name without markup, for the messages only.
    const auto Name = [&rec] { return PlainName(rec.strGengou); };
    if (lEraYear < 1) {
        strError.Format(CP932("%s%d年はありません(最初の年は元年です)").GetString(), Name().GetString(), lEraYear);
        return fail(strError);
    }
    const std::int64_t llYear = std::int64_t{rec.lBeginYear} + lEraYear - 1;
    if (llYear > rec.lEndYear) {
        const std::int64_t llLast = std::int64_t{rec.lEndYear} - rec.lBeginYear + 1;
        strError.Format(CP932("%s%d年はありません(%sは%lld年(%d年)までです)").GetString(), Name().GetString(), lEraYear,
                        Name().GetString(), static_cast<long long>(llLast), rec.lEndYear);
        return fail(strError);
    }
    const SEraDate found{static_cast<std::int32_t>(llYear), nMonth, bLeap, nDay};
    if (!IsValidDate(found, &strError)) {
        CString strText = GetEraDateText(nIndex, found);
        return fail(strText.IsEmpty() ? strError : strText + CP932(": ") + strError);
    }
    const auto [lFirst, lLast] = Keys(found);
    if (lLast < BeginKey(rec)) {
        strError.Format(CP932("%sはありません(%sは%sに始まりました)").GetString(), GetEraDateText(nIndex, found).GetString(),
                        Name().GetString(), GetEraDateText(nIndex, rec.BeginDate()).GetString());
        return fail(strError);
    }
    if (lFirst > EndKey(rec)) {
        strError.Format(CP932("%sはありません(%sは%sで終わりました)").GetString(), GetEraDateText(nIndex, found).GetString(),
                        Name().GetString(), GetEraDateText(nIndex, rec.EndDate()).GetString());
        return fail(strError);
    }
    date = found;
    return true;
}
