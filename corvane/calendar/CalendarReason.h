// Reasons the calendar gives, shared with the era table's own check of years before 701.
#pragma once

#include <cstdint>

#include <framework/String.h>

namespace corvane::calendar {

// Why leap month nMonth does not exist in lYear, whose leap month is nLeap (0: none), in Japanese:
// "1868年に閏5月はありません(1868年の閏月は閏4月です)".
CString LeapMonthReason(std::int32_t lYear, int nMonth, int nLeap);

}   // namespace corvane::calendar
