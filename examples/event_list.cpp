// event-list: prints the events of an event chronology (.lev), one a line, with the label of its
// year counted from a base year and the date prefix of the event:
//
//     event-list EVENTS.lev [BASEYEAR.lby]
//
//     721	11	4月10日 再建の開始
//
// Without a base-year file the years count from the year of the first event. Event texts are
// printed without their HTML markup, in UTF-8. A file that cannot be read gives the library's
// message on standard error and exit status 1.
#include <corvane/corvane.h>

#include <framework/Cp932.h>

#include <iostream>
#include <string>

namespace {

std::string Utf8(const CString& str)
{
    return Cp932ToUtf8Lossy(str.View());
}

// The code page 932 form of a file name given on the command line (UTF-8).
bool FileName(const char* pszArg, CString& strName)
{
    if (Utf8ToCp932(pszArg, strName))
        return true;
    std::cerr << "event-list: " << pszArg << ": no code page 932 form of this name\n";
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: event-list EVENTS.lev [BASEYEAR.lby]\n";
        return 2;
    }
    CString strEvents;
    CYearEvent events;
    if (!FileName(argv[1], strEvents) || !events.ReadFile(strEvents, true))
        return 1;

    CBaseYear baseYear;
    if (argc == 3) {
        CString strBaseYear;
        if (!FileName(argv[2], strBaseYear) || !baseYear.ReadFile(strBaseYear))
            return 1;
    } else if (!events.GetEventData().empty()) {
        baseYear.SetBaseWesternYear(events.GetEventData().front()->lYear);
    }

    std::cout << Utf8(events.GetTableName()) << '\n';
    const CHtmlManage html;
    for (const auto& pEvent : events.GetEventData()) {
        CString strLabel;   // stays empty for a year that gets no label
        baseYear.MakeBaseYearStr(pEvent->lYear, strLabel);
        CString strDate;
        pEvent->MakeDate(strDate);
        CString strText;
        html.RemoveHtml(pEvent->strEvent, strText);
        std::cout << pEvent->lYear << '\t' << Utf8(strLabel) << '\t' << Utf8(strDate) << Utf8(strText) << '\n';
    }
    return 0;
}
