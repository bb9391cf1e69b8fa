// CDayText: the texts that say which day a date of a chronology was: its Western day, weekday and
// the day's 干支, and the days between two events. No toolkit; texts in code page 932.
#pragma once

#include <cstdint>

#include <corvane/EventData.h>
#include <corvane/GengouEra.h>
#include <framework/String.h>

class CDayText {
public:
    // The day number of an event's day (month and day given, a day that existed, from 701 on);
    // false, nJdn unchanged, otherwise.
    static bool EventJdn(const SEventData& data, std::int64_t& nJdn);

    // The Western day as historians write it: "1582-06-21(ユリウス暦)" before 1582-10-15, "1600-10-21"
    // (Gregorian) from then on; empty for a day number outside the 32-bit years.
    static CString WesternDay(std::int64_t nJdn);
    // WesternDay of an event's day; empty when it has no day number (EventJdn).
    static CString WesternDay(const SEventData& data);

    // The Western day, the weekday and the day's 干支 of a date: "1582-06-21(ユリウス暦) 木曜日 戊子";
    // empty when the date has no day number (no day, before 701, a day that never existed).
    static CString DayInfo(const SEraDate& date);

    // The days from one event's day to the other's (negative when the second is earlier); false,
    // nDays unchanged, when either has no day number.
    static bool DaysBetween(const SEventData& first, const SEventData& second, std::int64_t& nDays);
    // The status bar's text for two events: "2つの出来事の間は6,693日です"; with no day number for
    // one of them, which one lacks it.
    static CString DaysBetweenText(const SEventData& first, const SEventData& second);
};
