#include "EventSearch.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::int32_t kFirstYear = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kLastYear = std::numeric_limits<std::int32_t>::max();

} // namespace

int CEventSearch::Next(const CYearEvent& events, const CString& strText, EEventPriority eFilter, int nFrom)
{
    // The table searches from a list position, or from the start with -1.
    if (nFrom >= events.GetLen())
        return -1;
    std::int32_t lYear = 0;
    return events.SearchStr(strText, lYear, kFirstYear, kLastYear, eFilter, nFrom);
}

int CEventSearch::LastBefore(const CYearEvent& events, const CString& strText, EEventPriority eFilter, int nFrom,
                             int nEnd)
{
    int nFound = -1;
    for (int nPos = Next(events, strText, eFilter, nFrom); nPos >= 0 && nPos < nEnd;
         nPos = Next(events, strText, eFilter, nPos + 1))
        nFound = nPos;
    return nFound;
}

int CEventSearch::Count(const CYearEvent& events, const CString& strText, EEventPriority eFilter, int nRevision)
{
    if (m_nCountedRevision == nRevision && m_eCounted == eFilter && m_strCounted == strText)
        return m_nCount;
    int nCount = 0;
    if (!strText.IsEmpty()) {
        for (int nPos = Next(events, strText, eFilter, -1); nPos >= 0; nPos = Next(events, strText, eFilter, nPos + 1))
            ++nCount;
    }
    m_strCounted = strText;
    m_eCounted = eFilter;
    m_nCountedRevision = nRevision;
    m_nCount = nCount;
    return nCount;
}

CEventSearch::SFound CEventSearch::Find(const CYearEvent& events, const CString& strText, EEventPriority eFilter,
                                        int nCurrent, bool bForward, int nRevision)
{
    m_strLast = strText;
    SFound found;
    found.nCount = Count(events, strText, eFilter, nRevision);
    if (found.nCount == 0)
        return found;
    const int nLen = events.GetLen();
    if (nCurrent >= nLen)
        nCurrent = -1;
    if (bForward) {
        found.nIndex = Next(events, strText, eFilter, nCurrent < 0 ? -1 : nCurrent + 1);
        if (found.nIndex < 0) {
            found.nIndex = Next(events, strText, eFilter, -1);
            found.bWrapped = nCurrent >= 0;
        }
    } else {
        found.nIndex = LastBefore(events, strText, eFilter, -1, nCurrent < 0 ? nLen : nCurrent);
        if (found.nIndex < 0) {
            found.nIndex = LastBefore(events, strText, eFilter, std::max(nCurrent, 0), nLen);
            found.bWrapped = nCurrent >= 0;
        }
    }
    return found;
}

int CEventSearch::YearRow(const CYearEvent& events, std::int32_t lYear, EEventPriority eFilter, int nShown)
{
    if (nShown <= 0)
        return -1;
    // Under the filter a shown event's index among the shown ones is its row.
    const int nRow = events.GetNearestYear(lYear, eFilter);
    return nRow < 0 ? nShown - 1 : nRow;
}
