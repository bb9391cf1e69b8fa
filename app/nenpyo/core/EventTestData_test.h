// An event for the tests: undated unless a month (and day) is given.
#pragma once

#include <cstdint>

#include <corvane/EventData.h>
#include <framework/Cp932.h>

inline SEventData Event(std::int32_t lYear, const char* pszText, int nPriority = 0, int nMonth = -1, int nDay = -1)
{
    SEventData data;
    data.lYear = lYear;
    data.strEvent = LiteralToCp932(pszText);
    data.nPriority = nPriority;
    data.nMonth = static_cast<std::int16_t>(nMonth);
    data.nDay = static_cast<std::int16_t>(nDay);
    return data;
}
