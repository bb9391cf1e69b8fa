#include <corvane/EventData.h>

#include <framework/Cp932.h>

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
    if (strEvent.Find(strText) >= 0)
        nResult |= SEARCH_EVENT;
    if (bNote && strNote.Find(strText) >= 0)
        nResult |= SEARCH_NOTE;
    CString strDate;
    MakeDate(strDate);
    if (strDate.Find(strText) >= 0)
        nResult |= SEARCH_DATE;
    return static_cast<EventDataSearch>(nResult);
}
