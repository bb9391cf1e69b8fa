#include "EventEdit.h"

#include <algorithm>
#include <vector>

#include <corvane/Calendar.h>
#include <framework/Cp932.h>

namespace {

// The records equal to data, by address, in list order.
std::vector<const SEventData*> EqualRecords(const CYearEvent& table, const SEventData& data)
{
    std::vector<const SEventData*> vEqual;
    for (const auto& pRecord : table.GetEventData()) {
        if (*pRecord == data)
            vEqual.push_back(pRecord.get());
    }
    return vEqual;
}

// The list index of the record equal to data that is not one of vBefore: the one just added.
int NewRecordIndex(const CYearEvent& table, const SEventData& data, const std::vector<const SEventData*>& vBefore)
{
    int nIndex = 0;
    for (const auto& pRecord : table.GetEventData()) {
        if (*pRecord == data && std::find(vBefore.begin(), vBefore.end(), pRecord.get()) == vBefore.end())
            return nIndex;
        ++nIndex;
    }
    return -1;
}

std::int32_t YearAt(const CYearEvent& table, int nIndex)
{
    SEventData data;
    return table.GetAt(nIndex, &data, PRIORITY_ALL) ? data.lYear : 0;
}

} // namespace

int CEventEdit::Add(CYearEvent& table, const SEventData& data)
{
    const std::vector<const SEventData*> vBefore = EqualRecords(table, data);
    table.SetData(data, true, -1, PRIORITY_ALL);
    return NewRecordIndex(table, data, vBefore);
}

int CEventEdit::Replace(CYearEvent& table, int nIndex, const SEventData& data)
{
    SEventData old;
    if (!table.GetAt(nIndex, &old, PRIORITY_ALL))
        return -1;
    if (old == data)
        return nIndex;
    const std::vector<const SEventData*> vBefore = EqualRecords(table, data);
    if (!table.SetData(data, true, nIndex, PRIORITY_ALL))
        return -1;
    return NewRecordIndex(table, data, vBefore);
}

void CEventEdit::InsertAt(CYearEvent& table, int nIndex, const SEventData& data)
{
    const int nAdded = Add(table, data);
    if (nAdded == nIndex)
        return;
    // The date order put it elsewhere: lay the list out again with the event where it was.
    std::vector<SEventData> vRecords;
    vRecords.reserve(static_cast<std::size_t>(table.GetLen()));
    for (const auto& pRecord : table.GetEventData())
        vRecords.push_back(*pRecord);
    vRecords.erase(vRecords.begin() + nAdded);
    vRecords.insert(vRecords.begin() + std::clamp(nIndex, 0, static_cast<int>(vRecords.size())), data);
    table.RemoveAll();
    for (SEventData& record : vRecords)
        table.SetData(std::move(record), false, -1, PRIORITY_ALL);
    table.SetModified(true);
}

int CEventEdit::MovePair(const CYearEvent& table, int nIndex, bool bUp, EEventPriority eFilter, bool& bHidden)
{
    bHidden = false;
    SEventData data;
    if (!table.GetAt(nIndex, &data, PRIORITY_ALL))
        return -1;
    const int nOther = bUp ? nIndex - 1 : nIndex + 1;
    if (nOther < 0 || nOther >= table.GetLen() || YearAt(table, nOther) != data.lYear)
        return -1;
    // The table counts the position among the events of the year that the filter shows, from
    // the year's first event, which counts as 0 whether shown or not.
    const int nFirst = table.GetIndexFromYear(data.lYear, PRIORITY_ALL);
    int nPos = 0;
    SEventData other;
    for (int i = nFirst + 1; i <= nIndex; ++i) {
        if (table.GetAt(i, &other, PRIORITY_ALL) && CYearEvent::IsShown(other, eFilter))
            ++nPos;
    }
    const CYearEvent::EMoveCheck eCheck = bUp ? table.CheckMoveToBefore(data.lYear, nPos, eFilter)
                                              : table.CheckMoveToAfter(data.lYear, nPos, eFilter);
    bHidden = eCheck == CYearEvent::MOVE_HIDDEN;
    return eCheck == CYearEvent::MOVE_SWAPS ? std::min(nIndex, nOther) : -1;
}

bool CEventEdit::Swap(CYearEvent& table, int nIndex)
{
    const std::int32_t lYear = YearAt(table, nIndex);
    if (nIndex < 0 || nIndex + 1 >= table.GetLen() || YearAt(table, nIndex + 1) != lYear)
        return false;
    const int nFirst = table.GetIndexFromYear(lYear, PRIORITY_ALL);
    return nFirst >= 0 && table.CheckMoveToAfter(lYear, nIndex - nFirst, PRIORITY_ALL) == CYearEvent::MOVE_SWAPS &&
           table.MoveToAfter(lYear, nIndex - nFirst, PRIORITY_ALL);
}

bool CEventEdit::Check(const SEventData& data, CString& strMessage)
{
    if (data.lYear == 0) {
        strMessage = CP932("西暦0年はありません。紀元前1年(-1)の次の年は西暦1年です。");
        return false;
    }
    if (data.nMonth == -1 && (data.nDay != -1 || data.bLeapMonth)) {
        strMessage = CP932("日や閏月を入れるときは月も入れてください。");
        return false;
    }
    if (data.nMonth != -1 && (data.nMonth < 1 || data.nMonth > 12)) {
        strMessage = CP932("月は1から12までです。");
        return false;
    }
    if (data.nDay != -1 && data.nDay < 1) {
        strMessage = CP932("日は1以上です。");
        return false;
    }
    // The one calendar rule of every program: month lengths and leap months of the lunisolar
    // calendar up to 1872, Gregorian from 1873.
    const SEraDate date{data.lYear, data.nMonth == -1 ? 0 : data.nMonth, data.bLeapMonth, data.nDay == -1 ? 0 : data.nDay};
    if (!CCalendar::CheckDate(date, &strMessage)) {
        strMessage += CP932("。");
        return false;
    }
    CString strText = data.strEvent;
    strText.Trim();
    if (strText.IsEmpty()) {
        strMessage = CP932("出来事を入れてください。");
        return false;
    }
    return true;
}
