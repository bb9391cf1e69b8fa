#include <corvane/YearEvent.h>

#include <framework/Cp932.h>
#include <framework/HostUi.h>
#include <framework/Numbers.h>
#include <framework/StdioFile.h>

#include <corvane/HtmlManage.h>

#include "table/RecordCodec.h"
#include "table/TableFile.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <limits>

namespace {

// The threshold that stands for "every event is visible": no priority exceeds it.
constexpr std::int32_t kAllVisible = std::numeric_limits<std::int32_t>::max();

// The three visibility rules as one test, nPriority <= threshold.
std::int32_t IndexThreshold(EEventPriority eFilter)
{
    return eFilter == PRIORITY_LOW || eFilter == PRIORITY_ALL ? kAllVisible : static_cast<std::int32_t>(eFilter);
}

std::int32_t QueryThreshold(EEventPriority eFilter)
{
    return eFilter == PRIORITY_ALL ? kAllVisible : static_cast<std::int32_t>(eFilter);
}

// The search rule, and the hidden neighbour of a move: the filter's own value.
std::int32_t SearchThreshold(EEventPriority eFilter)
{
    return static_cast<std::int32_t>(eFilter);
}

bool IsVisible(const SEventData& data, std::int32_t nThreshold)
{
    return data.nPriority <= nThreshold;
}

// The date key within a year; at most 32767 * 1000 + 100 + 32767 in size, so it fits 32 bits.
std::int32_t DateKey(const SEventData& data)
{
    return (data.nMonth == -1 ? 0 : data.nMonth) * 1000 + (data.bLeapMonth ? 100 : 0) + (data.nDay == -1 ? 0 : data.nDay);
}

// True when a sorts strictly after b in chronological order.
bool SortsAfter(const SEventData& a, const SEventData& b)
{
    return a.lYear > b.lYear || (a.lYear == b.lYear && DateKey(a) > DateKey(b));
}


const CString& EventKind()
{
    return TableKindWord(ETableKind::Event);
}

STableFileKind EventFileKind(const CString& strTitle)
{
    return STableFileKind{"lev", CP932("出来事ﾃﾞｰﾀ (*.lev)|*.lev|すべてのﾌｧｲﾙ (*.*)|*.*||"), strTitle};
}

void ShowHiddenDataMessage()
{
    AfxMessageBox(CP932("表示優先度の設定によって、表示されていないデータがあるため、移動ができません。\r\n"
                        "「表示」→「表示優先度」で「すべて表示する」を選択して操作をやり直してください。"),
                  MB_OK);
}

// ---- Event file lines ----

// One record line of version 5: year, month, day, "event", "note", priority, leap flag.
CString RecordLine(const SEventData& data)
{
    CString strLine;
    strLine.Format("%d, %d, %d, ", static_cast<int>(data.lYear), static_cast<int>(data.nMonth),
                   static_cast<int>(data.nDay));
    strLine += QuoteField(EscapeLineBreaks(data.strEvent));
    strLine += ", ";
    strLine += QuoteField(EscapeLineBreaks(data.strNote));
    strLine.AppendFormat(", %d, %d", static_cast<int>(data.nPriority), data.bLeapMonth ? 1 : 0);
    return strLine;
}

// Reads one record line of the given version. False for a line without a comma.
bool ParseRecordLine(const CString& strLine, int nVersion, SEventData& data)
{
    const int nComma = strLine.Find(',');
    if (nComma < 0)
        return false;
    data.lYear = Atoi32(strLine.Left(nComma));
    CRecordFields fields(strLine, nComma + 1);
    if (nVersion >= 2) {
        data.nMonth = fields.Short();
        data.nDay = fields.Short();
    } else {
        data.nMonth = -1;
        data.nDay = -1;
    }
    data.strEvent = fields.Text();
    data.strNote = UnescapeLineBreaks(fields.Text());
    if (nVersion >= 1) {
        const std::int32_t nPriority = fields.Number(0);
        data.nPriority = nPriority < PRIORITY_HIGH || nPriority > PRIORITY_LOW ? 0 : nPriority;
    } else {
        data.nPriority = 0;
    }
    data.bLeapMonth = nVersion >= 5 && fields.Text() == "1";
    return true;
}

} // namespace

// What the table keeps to avoid walks from the head; none of it shows in results. nDescents counts
// the neighbouring pairs out of chronological order and nYearDescents those whose years go down;
// every change of the list keeps both exact. The mark is where the last positional lookup got to
// (the visible event nIndex under nThreshold), until the list changes.
struct CYearEvent::SMemo {
    std::int64_t nDescents = 0;
    std::int64_t nYearDescents = 0;
    bool bMark = false;
    std::int32_t nThreshold = 0;
    int nIndex = 0;
    POSITION pos;
};

// ---- Construction, iteration ----

CYearEvent::CYearEvent() : m_CurPos(m_EventData.cend()), m_pMemo(std::make_unique<SMemo>()) {}

CYearEvent::~CYearEvent() = default;

CYearEvent& CYearEvent::operator=(const CYearEvent& other)
{
    if (this == &other)
        return *this;
    RemoveAll();
    for (const auto& pData : other.m_EventData)
        Append(std::make_unique<SEventData>(*pData));
    CTableBase::operator=(other);
    return *this;
}

bool CYearEvent::IsShown(const SEventData& data, EEventPriority eFilter)
{
    return IsVisible(data, QueryThreshold(eFilter));
}

void CYearEvent::RemoveAll()
{
    m_EventData.clear();
    m_pMemo->nDescents = 0;
    m_pMemo->nYearDescents = 0;
    ListChanged();
}

int CYearEvent::GetLen() const
{
    return static_cast<int>(m_EventData.size());
}

const CYearEvent::CEventList& CYearEvent::GetEventData() const
{
    return m_EventData;
}

bool CYearEvent::GetFirstData(SEventData* pData)
{
    if (!pData)
        return false;
    if (m_EventData.empty()) {
        m_CurPos = m_EventData.cend();
        return false;
    }
    *pData = *m_EventData.front();
    m_CurPos = std::next(m_EventData.cbegin());
    return true;
}

bool CYearEvent::GetNextData(SEventData* pData)
{
    if (!pData || m_CurPos == m_EventData.cend())
        return false;
    *pData = **m_CurPos;
    ++m_CurPos;
    return true;
}

bool CYearEvent::GetTailData(SEventData* pData)
{
    if (!pData || m_EventData.empty())
        return false;
    *pData = *m_EventData.back();
    m_CurPos = m_EventData.cend();
    return true;
}

// ---- Bookkeeping ----

// Every change of the list: the cursor and the mark may no longer name what they named.
void CYearEvent::ListChanged()
{
    m_CurPos = m_EventData.cend();
    m_pMemo->bMark = false;
}

CYearEvent::POSITION CYearEvent::Before(POSITION pos) const
{
    return pos == m_EventData.cbegin() ? m_EventData.cend() : std::prev(pos);
}

// Adds (nSign 1) or takes away (-1) the pair first, second (neighbours, either may be none) from
// the order counts.
void CYearEvent::CountPair(POSITION first, POSITION second, int nSign)
{
    if (first == m_EventData.cend() || second == m_EventData.cend())
        return;
    if (SortsAfter(**first, **second))
        m_pMemo->nDescents += nSign;
    if ((*first)->lYear > (*second)->lYear)
        m_pMemo->nYearDescents += nSign;
}

bool CYearEvent::YearSorted() const
{
    return m_pMemo->nYearDescents == 0;
}

void CYearEvent::Remember(std::int32_t nThreshold, int nIndex, POSITION pos) const
{
    m_pMemo->bMark = true;
    m_pMemo->nThreshold = nThreshold;
    m_pMemo->nIndex = nIndex;
    m_pMemo->pos = pos;
}

// Where a walk for events of years >= lYearBelow may start (no event before it is of such a
// year), and how many events visible under nThreshold lie before that place. In a list in year
// order the mark serves when its year is below lYearBelow, and when it is that very year after
// stepping back to the start of the year's run (a view that goes year by year asks next about the
// year it is in); otherwise the walk starts at the head.
CYearEvent::POSITION CYearEvent::YearWalkStart(std::int64_t lYearBelow, std::int32_t nThreshold,
                                               int& nVisibleBefore) const
{
    nVisibleBefore = 0;
    const SMemo& memo = *m_pMemo;
    if (!memo.bMark || memo.nThreshold != nThreshold || !YearSorted() || (*memo.pos)->lYear > lYearBelow)
        return m_EventData.cbegin();
    POSITION pos = memo.pos;
    int k = memo.nIndex;
    while (pos != m_EventData.cbegin()) {
        const POSITION before = std::prev(pos);
        if ((*before)->lYear < lYearBelow)
            break;
        pos = before;
        if (IsVisible(**pos, nThreshold))
            --k;
    }
    nVisibleBefore = k;
    return pos;
}

// The event of visible index nIndex under nThreshold, or none. Walks from whichever known place
// is nearest: the head, the tail (when every event is visible) or the mark, forwards or backwards.
CYearEvent::POSITION CYearEvent::FindVisible(int nIndex, std::int32_t nThreshold) const
{
    const POSITION end = m_EventData.cend();
    if (nIndex < 0 || m_EventData.empty())
        return end;
    const SMemo& memo = *m_pMemo;
    const bool bMark = memo.bMark && memo.nThreshold == nThreshold;
    const std::int64_t nFromMark = bMark ? std::int64_t{nIndex} - memo.nIndex : 0;
    POSITION pos = end;

    if (nThreshold == kAllVisible) {
        const int nSize = GetLen();
        if (nIndex >= nSize)
            return end;
        const std::int64_t nFromTail = std::int64_t{nSize} - 1 - nIndex;
        if (bMark && std::abs(nFromMark) <= nIndex && std::abs(nFromMark) <= nFromTail)
            pos = std::next(memo.pos, static_cast<std::ptrdiff_t>(nFromMark));
        else if (nIndex <= nFromTail)
            pos = std::next(m_EventData.cbegin(), nIndex);
        else
            pos = std::prev(end, static_cast<std::ptrdiff_t>(nFromTail) + 1);
    } else if (bMark && nFromMark < 0 && -nFromMark < nIndex) {
        // Backwards from the mark: exactly memo.nIndex visible events lie before it.
        pos = memo.pos;
        for (int k = memo.nIndex; k > nIndex;) {
            --pos;
            if (IsVisible(**pos, nThreshold))
                --k;
        }
    } else {
        int k = -1;
        POSITION it = m_EventData.cbegin();
        if (bMark && nFromMark >= 0) {
            k = memo.nIndex - 1;
            it = memo.pos;
        }
        for (; it != end; ++it) {
            if (IsVisible(**it, nThreshold) && ++k == nIndex) {
                pos = it;
                break;
            }
        }
        if (pos == end)
            return end;
    }
    Remember(nThreshold, nIndex, pos);
    return pos;
}

// The first event of lYear in list order, whatever its priority; none if no event has that year.
CYearEvent::POSITION CYearEvent::FindFirstOfYear(std::int32_t lYear) const
{
    const bool bSorted = YearSorted();
    int nIgnored = 0;
    const std::int32_t nThreshold = m_pMemo->bMark ? m_pMemo->nThreshold : kAllVisible;
    for (POSITION it = YearWalkStart(lYear, nThreshold, nIgnored); it != m_EventData.cend(); ++it) {
        if ((*it)->lYear == lYear)
            return it;
        if (bSorted && (*it)->lYear > lYear)
            break;
    }
    return m_EventData.cend();
}

// The first event in list order that sorts after data, or none. The order counts say how much of
// the list must be looked at; the answer is always the one a walk from the head would give.
CYearEvent::POSITION CYearEvent::FindInsertPosition(const SEventData& data) const
{
    const POSITION begin = m_EventData.cbegin();
    const POSITION end = m_EventData.cend();
    if (m_pMemo->nDescents == 0) {
        // In order: the events that sort after data are a tail of the list, found from the end,
        // so that appending and reading a file in order cost O(1) an event.
        POSITION pos = end;
        while (pos != begin && SortsAfter(**std::prev(pos), data))
            --pos;
        return pos;
    }
    if (YearSorted()) {
        // Years in order, hand-made order within years: the events of data's year are one run;
        // the answer is in that run or is the first event of a later year.
        POSITION later = end;
        while (later != begin && (*std::prev(later))->lYear > data.lYear)
            --later;
        POSITION run = later;
        while (run != begin && (*std::prev(run))->lYear == data.lYear)
            --run;
        const std::int32_t nKey = DateKey(data);
        for (; run != later; ++run) {
            if (DateKey(**run) > nKey)
                return run;
        }
        return later;
    }
    for (POSITION it = begin; it != end; ++it) {
        if (SortsAfter(**it, data))
            return it;
    }
    return end;
}

// ---- Changing the list; each keeps the order counts exact ----

CYearEvent::POSITION CYearEvent::InsertBefore(POSITION pos, std::unique_ptr<SEventData> pData)
{
    const POSITION before = Before(pos);
    CountPair(before, pos, -1);
    const POSITION it = m_EventData.insert(pos, std::move(pData));
    CountPair(before, it, 1);
    CountPair(it, pos, 1);
    ListChanged();
    return it;
}

void CYearEvent::Append(std::unique_ptr<SEventData> pData)
{
    InsertBefore(m_EventData.cend(), std::move(pData));
}

void CYearEvent::AddRecord(std::unique_ptr<SEventData> pData, bool bSorted)
{
    if (bSorted && InsertAtDate(pData))
        return;
    Append(std::move(pData));
}

void CYearEvent::Erase(POSITION pos)
{
    const POSITION before = Before(pos);
    const POSITION after = std::next(pos);
    CountPair(before, pos, -1);
    CountPair(pos, after, -1);
    CountPair(before, after, 1);
    m_EventData.erase(pos);
    ListChanged();
}

void CYearEvent::Replace(POSITION pos, const SEventData& data)
{
    const POSITION before = Before(pos);
    const POSITION after = std::next(pos);
    CountPair(before, pos, -1);
    CountPair(pos, after, -1);
    **pos = data;
    CountPair(before, pos, 1);
    CountPair(pos, after, 1);
    ListChanged();
}

// Moves the event at pos to just before `before` (which may be none, the end).
void CYearEvent::Relocate(POSITION pos, POSITION before)
{
    if (before == pos || before == std::next(pos))
        return;
    const POSITION oldBefore = Before(pos);
    const POSITION oldAfter = std::next(pos);
    CountPair(oldBefore, pos, -1);
    CountPair(pos, oldAfter, -1);
    CountPair(oldBefore, oldAfter, 1);
    const POSITION newBefore = Before(before);
    CountPair(newBefore, before, -1);
    m_EventData.splice(before, m_EventData, pos);
    CountPair(newBefore, pos, 1);
    CountPair(pos, before, 1);
    ListChanged();
}

// ---- Access and editing by index ----

bool CYearEvent::GetAt(int nIndex, SEventData* pData, EEventPriority eFilter) const
{
    if (!pData)
        return false;
    const POSITION pos = FindVisible(nIndex, IndexThreshold(eFilter));
    if (pos == m_EventData.cend())
        return false;
    *pData = **pos;
    return true;
}

bool CYearEvent::SetAt(int nIndex, const SEventData* pData, EEventPriority eFilter)
{
    if (!pData)
        return false;
    const POSITION pos = FindVisible(nIndex, IndexThreshold(eFilter));
    if (pos == m_EventData.cend())
        return false;
    Replace(pos, *pData);
    return true;
}

bool CYearEvent::RemoveAt(int nIndex, EEventPriority eFilter, SEventData* pData)
{
    const POSITION pos = FindVisible(nIndex, IndexThreshold(eFilter));
    if (pos == m_EventData.cend())
        return false;
    if (pData)
        *pData = **pos;
    Erase(pos);
    m_bModified = true;
    return true;
}

bool CYearEvent::SetData(SEventData data, bool bSorted, int nIndex, EEventPriority eFilter)
{
    if (nIndex == -1) {
        AddRecord(std::make_unique<SEventData>(std::move(data)), bSorted);
        m_bModified = true;
        return true;
    }
    const POSITION pos = FindVisible(nIndex, IndexThreshold(eFilter));
    if (pos == m_EventData.cend())
        return false;
    const SEventData& current = **pos;
    if (data == current)
        return true;
    const bool bSameDate = data.nMonth == current.nMonth && data.nDay == current.nDay &&
                           data.bLeapMonth == current.bLeapMonth;
    const bool bUndated = data.nMonth == -1 && data.nDay == -1;
    if (data.lYear == current.lYear && (bSameDate || bUndated)) {
        Replace(pos, data);
    } else {
        Erase(pos);
        AddRecord(std::make_unique<SEventData>(std::move(data)), true);
    }
    m_bModified = true;
    return true;
}

bool CYearEvent::InsertAtDate(std::unique_ptr<SEventData>& pData)
{
    if (!pData || m_EventData.empty())
        return false;
    const POSITION pos = FindInsertPosition(*pData);
    if (pos == m_EventData.cend())
        return false;
    InsertBefore(pos, std::move(pData));
    m_bModified = true;
    return true;
}

// ---- Queries ----

int CYearEvent::GetIndexFromYear(std::int32_t lYear, EEventPriority eFilter) const
{
    const std::int32_t nThreshold = QueryThreshold(eFilter);
    const bool bSorted = YearSorted();
    int k = 0;
    for (POSITION it = YearWalkStart(lYear, nThreshold, k); it != m_EventData.cend(); ++it) {
        const SEventData& data = **it;
        if (bSorted && data.lYear > lYear)
            break;
        if (!IsVisible(data, nThreshold))
            continue;
        if (data.lYear == lYear) {
            Remember(nThreshold, k, it);
            return k;
        }
        ++k;
    }
    return -1;
}

int CYearEvent::GetNearestYear(std::int32_t lYear, EEventPriority eFilter) const
{
    const std::int32_t nThreshold = QueryThreshold(eFilter);
    int k = 0;
    for (POSITION it = YearWalkStart(lYear, nThreshold, k); it != m_EventData.cend(); ++it) {
        const SEventData& data = **it;
        if (!IsVisible(data, nThreshold))
            continue;
        if (data.lYear >= lYear) {
            Remember(nThreshold, k, it);
            return k;
        }
        ++k;
    }
    return -1;
}

int CYearEvent::GetNumOfYear(std::int32_t lYear, EEventPriority eFilter) const
{
    const std::int32_t nThreshold = QueryThreshold(eFilter);
    const bool bSorted = YearSorted();
    int k = 0;
    int nCount = 0;
    for (POSITION it = YearWalkStart(lYear, nThreshold, k); it != m_EventData.cend(); ++it) {
        const SEventData& data = **it;
        if (bSorted && data.lYear > lYear)
            break;
        if (!IsVisible(data, nThreshold))
            continue;
        if (data.lYear == lYear && nCount++ == 0)
            Remember(nThreshold, k, it);
        ++k;
    }
    return nCount;
}

std::int32_t CYearEvent::GetNextYear(std::int32_t lYear, EEventPriority eFilter) const
{
    const std::int32_t nThreshold = QueryThreshold(eFilter);
    int k = 0;
    for (POSITION it = YearWalkStart(std::int64_t{lYear} + 1, nThreshold, k); it != m_EventData.cend(); ++it) {
        const SEventData& data = **it;
        if (!IsVisible(data, nThreshold))
            continue;
        if (data.lYear > lYear) {
            Remember(nThreshold, k, it);
            return data.lYear;
        }
        ++k;
    }
    return NO_YEAR;
}

int CYearEvent::GetIndexFromEventData(const SEventData& data, EEventPriority eFilter) const
{
    const std::int32_t nThreshold = IndexThreshold(eFilter);
    const bool bSorted = YearSorted();
    int k = 0;
    for (POSITION it = YearWalkStart(data.lYear, nThreshold, k); it != m_EventData.cend(); ++it) {
        const SEventData& current = **it;
        if (bSorted && current.lYear > data.lYear)
            break;
        if (!IsVisible(current, nThreshold))
            continue;
        if (current == data) {
            Remember(nThreshold, k, it);
            return k;
        }
        ++k;
    }
    return -1;
}

bool CYearEvent::GetData(std::int32_t lYear, std::vector<SEventData*>& vData, EEventPriority eFilter)
{
    std::vector<SEventData*>().swap(vData);
    const std::int32_t nThreshold = QueryThreshold(eFilter);
    const bool bSorted = YearSorted();
    int k = 0;
    for (POSITION it = YearWalkStart(lYear, nThreshold, k); it != m_EventData.cend(); ++it) {
        SEventData& data = **it;
        if (bSorted && data.lYear > lYear)
            break;
        if (!IsVisible(data, nThreshold))
            continue;
        if (data.lYear == lYear) {
            if (vData.empty())
                Remember(nThreshold, k, it);
            vData.push_back(&data);
        }
        ++k;
    }
    return !vData.empty();
}

int CYearEvent::SearchStr(const char* pszText, std::int32_t& lYear, std::int32_t lFrom, std::int32_t lTo,
                          EEventPriority eFilter, int nStart) const
{
    if (nStart == -1)
        nStart = 0;
    else if (nStart < 0 || nStart >= GetLen())
        return -1;
    const CString strText(pszText);
    CHtmlManage html;
    CString strPlain;
    int nIndex = nStart;
    for (POSITION it = FindVisible(nStart, kAllVisible); it != m_EventData.cend(); ++it, ++nIndex) {
        const SEventData& data = **it;
        if (data.lYear < lFrom || data.lYear > lTo || !IsVisible(data, SearchThreshold(eFilter)))
            continue;
        html.RemoveHtml(data.strEvent, strPlain);
        if (strPlain.Find(strText) >= 0) {
            Remember(kAllVisible, nIndex, it);
            lYear = NO_YEAR;
            return nIndex;
        }
    }
    return -1;
}

// ---- Moves and merging ----

CYearEvent::EMoveCheck CYearEvent::FindMovePair(std::int32_t lYear, std::int64_t nSteps, EEventPriority eFilter,
                                                POSITION& pos, POSITION& next) const
{
    const POSITION end = m_EventData.cend();
    const std::int32_t nThreshold = QueryThreshold(eFilter);
    POSITION reached = FindFirstOfYear(lYear);
    if (reached == end)
        return MOVE_NO_YEAR;
    for (std::int64_t nPassed = 0; nPassed < nSteps;) {
        if (++reached == end)
            return MOVE_REFUSED;
        if (IsVisible(**reached, nThreshold))
            ++nPassed;
    }
    if ((*reached)->lYear != lYear || std::next(reached) == end)
        return MOVE_REFUSED;
    if (!IsVisible(**std::next(reached), SearchThreshold(eFilter)))
        return MOVE_HIDDEN;
    pos = reached;
    next = std::next(reached);
    return MOVE_SWAPS;
}

CYearEvent::EMoveCheck CYearEvent::CheckMoveToAfter(std::int32_t lYear, int nPos, EEventPriority eFilter) const
{
    POSITION pos = m_EventData.cend(), next = pos;
    return FindMovePair(lYear, nPos, eFilter, pos, next);
}

CYearEvent::EMoveCheck CYearEvent::CheckMoveToBefore(std::int32_t lYear, int nPos, EEventPriority eFilter) const
{
    POSITION pos = m_EventData.cend(), next = pos;
    return FindMovePair(lYear, std::int64_t{nPos} - 1, eFilter, pos, next);
}

bool CYearEvent::FinishMove(EMoveCheck eCheck, POSITION moved, POSITION before)
{
    if (eCheck == MOVE_HIDDEN)
        ShowHiddenDataMessage();
    if (eCheck != MOVE_SWAPS)
        return eCheck == MOVE_NO_YEAR;
    Relocate(moved, before);
    m_bModified = true;
    return true;
}

bool CYearEvent::MoveToAfter(std::int32_t lYear, int nPos, EEventPriority eFilter)
{
    POSITION pos = m_EventData.cend(), next = pos;
    const EMoveCheck eCheck = FindMovePair(lYear, nPos, eFilter, pos, next);
    return FinishMove(eCheck, pos, eCheck == MOVE_SWAPS ? std::next(next) : next);
}

bool CYearEvent::MoveToBefore(std::int32_t lYear, int nPos, EEventPriority eFilter)
{
    POSITION pos = m_EventData.cend(), next = pos;
    const EMoveCheck eCheck = FindMovePair(lYear, std::int64_t{nPos} - 1, eFilter, pos, next);
    return FinishMove(eCheck, next, pos);
}

bool CYearEvent::Merge(CYearEvent& other)
{
    SEventData data;
    if (&other == this) {
        // Take the copies first: inserting would otherwise feed the walk with its own output.
        std::vector<SEventData> vCopies;
        vCopies.reserve(m_EventData.size());
        for (bool bMore = GetFirstData(&data); bMore; bMore = GetNextData(&data))
            vCopies.push_back(data);
        for (SEventData& copy : vCopies)
            SetData(std::move(copy), true, -1, PRIORITY_ALL);
        return true;
    }
    for (bool bMore = other.GetFirstData(&data); bMore; bMore = other.GetNextData(&data))
        SetData(data, true, -1, PRIORITY_ALL);
    return true;
}

// ---- Event files ----

unsigned CYearEvent::ReadEventLines(CStdioFile& file, bool bSorted)
{
    CString strLine;
    CString strField;
    if (!file.ReadString(strLine))
        return IDS_FILE_BAD_FORMAT;
    CString strKind;
    int nVersion = 0;
    GetTableKindNameAndFileVer(strLine, strKind, nVersion);
    if (strKind != EventKind())
        return IDS_FILE_BAD_FORMAT;

    if (!file.ReadString(strLine))
        return IDS_FILE_BAD_FORMAT;
    if (GetElementFromCSV(strLine, 0, strField) >= 0)
        m_strTableName = strField;
    if (nVersion >= 3) {
        if (!file.ReadString(strLine))
            return IDS_FILE_BAD_FORMAT;
        if (GetElementFromCSV(strLine, 0, strField) >= 0)
            m_strExplanation = UnescapeLineBreaks(strField);
    }
    if (nVersion >= 4) {
        if (!file.ReadString(strLine))
            return IDS_FILE_BAD_FORMAT;
        m_bTodayDate = Atoi32(strLine) != 0;
    } else {
        m_bTodayDate = false;
    }

    SEventData data;
    while (file.ReadString(strLine)) {
        if (!ParseRecordLine(strLine, nVersion, data))
            return IDS_FILE_BAD_FORMAT;
        AddRecord(std::make_unique<SEventData>(std::move(data)), bSorted);
        m_bModified = true;
    }
    return 0;
}

bool CYearEvent::ReadFile(const char* pszFileName, bool bSorted)
{
    const STableFileKind kind = EventFileKind(CP932("出来事ﾃﾞｰﾀの読込み"));
    return ReadTableFile(*this, pszFileName, kind, true,
                         [this, bSorted](CStdioFile& file) { return ReadEventLines(file, bSorted); });
}

SFileStatus CYearEvent::Load(const char* pszPath, bool bSorted, Env* pEnv)
{
    return LoadTableFile(*this, pszPath, [this, bSorted](CStdioFile& file) { return ReadEventLines(file, bSorted); },
                         pEnv);
}

SFileStatus CYearEvent::Load(const std::filesystem::path& path, bool bSorted, Env* pEnv)
{
    return LoadTableFile(*this, path, [this, bSorted](CStdioFile& file) { return ReadEventLines(file, bSorted); },
                         pEnv);
}

SFileStatus CYearEvent::Save(const char* pszPath, Env* pEnv)
{
    return SaveTableFile(*this, pszPath, [this](CStdioFile& file) { WriteEventLines(file); }, pEnv);
}

SFileStatus CYearEvent::Save(const std::filesystem::path& path, Env* pEnv)
{
    return SaveTableFile(*this, path, [this](CStdioFile& file) { WriteEventLines(file); }, pEnv);
}

void CYearEvent::WriteEventLines(CStdioFile& file) const
{
    CTableLineWriter lines(file);
    lines.Line(HeaderLine(EventKind(), 5, ", "));
    lines.Line(TextField(EscapeLineBreaks(m_strTableName)));
    lines.Line(TextField(EscapeLineBreaks(m_strExplanation)));
    lines.Line(m_bTodayDate ? "1" : "0");
    for (const auto& pData : m_EventData)
        lines.Line(RecordLine(*pData));
}

bool CYearEvent::WriteFile(bool bDialog, CDocument* pDocument, EHeaderType)
{
    return WriteTableFile(*this, bDialog, pDocument, EventFileKind(CP932("出来事ﾃﾞｰﾀの書込み")),
                          [this](CStdioFile& file) { WriteEventLines(file); });
}
