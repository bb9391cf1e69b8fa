// The reader of era dates and Western dates on any bytes, against a table of eras with days (both
// courts, changes written both ways): it never fails other than by returning false, and every text
// it accepts writes back, as a Western date, as the era date of every era in force then and, for a
// day of the calendar, as its day number and its Julian and Gregorian day, to texts it reads as the
// same date.
#include <corvane/Calendar.h>
#include <corvane/EraDateText.h>

#include "FuzzCheck.h"
#include "testing/DatedEraTable.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const CGengouEra& s_eras = [] () -> const CGengouEra& {
        static CGengouEra s_table;
        testing_eras::FillDatedEras(s_table);
        return s_table;
    }();
    const CString strText(reinterpret_cast<const char*>(data), static_cast<int>(size));
    SParsedEraDate parsed;
    CString strError;
    if (!ParseEraDateText(s_eras, strText, parsed, strError)) {
        FuzzCheck(!strError.IsEmpty());
        return 0;
    }
    const auto readsBack = [&](const CString& strWritten) {
        SParsedEraDate again;
        CString strAgain;
        return ParseEraDateText(s_eras, strWritten, again, strAgain) && again.date == parsed.date;
    };
    FuzzCheck(readsBack(FormatWesternDate(parsed.date)));
    if (parsed.nEra >= 0)
        FuzzCheck(readsBack(s_eras.GetEraDateText(parsed.nEra, parsed.date)));
    for (const int nIndex : s_eras.GetIndicesInForce(parsed.date))
        FuzzCheck(readsBack(s_eras.GetEraDateText(nIndex, parsed.date)));
    std::int64_t lJdn = 0;
    if (parsed.date.nDay != 0 && CCalendar::JdnOfDate(parsed.date, lJdn)) {
        CString strDay;
        strDay.Format("JD%lld", static_cast<long long>(lJdn));
        FuzzCheck(readsBack(strDay));
        SWesternDate julian;
        SWesternDate gregorian;
        FuzzCheck(CCalendar::JdnToJulian(lJdn, julian) && CCalendar::JdnToGregorian(lJdn, gregorian));
        const CString strJulian = FormatWesternDate({julian.lYear, julian.nMonth, false, julian.nDay});
        const CString strGregorian = FormatWesternDate({gregorian.lYear, gregorian.nMonth, false, gregorian.nDay});
        FuzzCheck(readsBack(strJulian + LiteralToCp932("(ユリウス暦)")));
        FuzzCheck(readsBack(LiteralToCp932("グレゴリオ暦") + strGregorian));
    }
    return 0;
}
