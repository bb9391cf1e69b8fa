#include <corvane/EventData.h>

#include <framework/Cp932.h>

namespace {

// Containment as the record's search needs it: an empty text is contained in every text (the
// framework's Find reports an empty search text as not found).
bool Contains(const CString& strText, const CString& strSub)
{
    return strSub.IsEmpty() || strText.Find(strSub) >= 0;
}

} // namespace

void SEventData::Initialize()
{
    lYear = 0;
    strEvent.Empty();
    strNote.Empty();
    nPriority = 0;
    nMonth = 0;
    bLeapMonth = false;
    nDay = 0;
}

bool SEventData::operator==(const SEventData& other) const
{
    return nDay == other.nDay && strEvent == other.strEvent && nMonth == other.nMonth &&
           bLeapMonth == other.bLeapMonth && nPriority == other.nPriority && strNote == other.strNote &&
           lYear == other.lYear;
}

void SEventData::MakeDate(CString& strDate) const
{
    strDate.Empty();
    if (nMonth == -1)
        return;
    if (bLeapMonth)
        strDate += CP932("閏");
    CString strNumber;
    strNumber.Format("%d", static_cast<int>(nMonth));
    strDate += strNumber;
    strDate += CP932("月");
    if (nDay != -1) {
        strNumber.Format("%d", static_cast<int>(nDay));
        strDate += strNumber;
        strDate += CP932("日");
    }
    strDate += ' ';
}

EventDataSearch SEventData::Search(const char* pszText, bool bNote) const
{
    const CString strText(pszText);
    int nResult = SEARCH_NONE;
    if (Contains(strEvent, strText))
        nResult |= SEARCH_EVENT;
    if (bNote && Contains(strNote, strText))
        nResult |= SEARCH_NOTE;
    CString strDate;
    MakeDate(strDate);
    if (Contains(strDate, strText))
        nResult |= SEARCH_DATE;
    return static_cast<EventDataSearch>(nResult);
}
