// Helpers shared by the event table tests: a short way to make records.
#pragma once

#include <framework/Cp932.h>
#include <framework/String.h>

#include <corvane/EventData.h>

#include <cstdint>
#include <string>

namespace eventtest {

inline SEventData Event(std::int32_t lYear, int nMonth, int nDay, const char* pszEvent, int nPriority = 0,
                        bool bLeap = false, const char* pszNote = "")
{
    SEventData data;
    data.lYear = lYear;
    data.nMonth = static_cast<std::int16_t>(nMonth);
    data.nDay = static_cast<std::int16_t>(nDay);
    data.strEvent = pszEvent;
    data.strNote = pszNote;
    data.nPriority = nPriority;
    data.bLeapMonth = bLeap;
    return data;
}

} // namespace eventtest
