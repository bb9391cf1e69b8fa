// CCalendar: dates as days. The one rule of which dates exist, for every program, and the
// conversions between the dates of chronologies (SEraDate), day numbers and Western days.
//
// A day is a Julian Day Number (JDN): 2000-01-01 (Gregorian) is 2451545. An SEraDate before 1873
// is a date of the old Japanese lunisolar calendar (旧暦), with the Western year in which its
// lunisolar year's first month began; from 1873 on it is Gregorian. The months of the lunisolar
// calendar are known from 大宝元年1月1日 (701-02-13 in the Julian calendar, JDN 1977142) to 明治5年
// 12月2日 (1872-12-31 Gregorian, JDN 2405159), the day before 1873-01-01; they are compiled into the
// library. An old-calendar date before 701 has no day number: it exists when its month is 1-12 and
// its day 1-30, and works by year, month and day alone.
//
// Western days (SWesternDate) are days of the Julian or the proleptic Gregorian calendar, each
// defined for every year of the 32-bit range (year 0 is 1 BC, -1 is 2 BC: astronomical numbering).
// Historians write a day in the Julian calendar before 1582-10-15 and in the Gregorian from then on;
// WesternOfJdn follows that convention.
//
// Every operation is a pure function of its arguments over constant tables: safe from any thread.
// Each conversion costs O(log n) in the number of lunisolar years or less; none allocates.
#pragma once

#include <cstdint>

#include <framework/String.h>

#include <corvane/GengouEra.h>
#include <corvane/corvane_export.h>

// A day of the Julian or the Gregorian calendar; which one is said where it is used.
struct CORVANE_EXPORT SWesternDate {
    std::int32_t lYear = 0;   // astronomical: 0 is 1 BC
    int nMonth = 0;           // 1-12
    int nDay = 0;             // 1-31

    friend bool operator==(const SWesternDate&, const SWesternDate&) = default;
};

class CORVANE_EXPORT CCalendar {
public:
    static constexpr std::int32_t FIRST_LUNISOLAR_YEAR = 701;     // 大宝元年
    static constexpr std::int32_t FIRST_GREGORIAN_YEAR = 1873;    // SEraDate is Gregorian from here on
    static constexpr std::int64_t FIRST_JDN = 1977142;             // 701-02-13 Julian, 大宝元年1月1日
    static constexpr std::int64_t GREGORIAN_JDN = 2405160;         // 1873-01-01
    static constexpr std::int64_t GREGORIAN_REFORM_JDN = 2299161;  // 1582-10-15, the first Gregorian day

    // The one rule: whether the date exists. A year alone always exists; a month exists when it is
    // 1-12 and, with bLeap, when that year has that leap month; a day when it is 1..the month's
    // length. From 701 to 1872 the lengths and leap months are those of the lunisolar calendar
    // (and 1872 ends with 12月2日); from 1873 Gregorian (no leap months); before 701 any month 1-12,
    // leap or not, of 30 days. A day without a month, a leap flag without a month, month or day
    // below 0 do not exist. Returns true, or false with the reason in Japanese (code page 932) in
    // *pstrReason when given, naming the month's length or the year's leap month, e.g.
    // "1868年閏4月は29日までです", "1868年の閏月は閏4月です", "1872年12月3日はありません(明治5年12月2日の
    // 翌日は1873年1月1日です)". Leaves *pstrReason unchanged on success.
    static bool CheckDate(const SEraDate& date, CString* pstrReason = nullptr);

    // The number of days of the month: 29 or 30 from 701 to 1872 (2 for 1872's 12th month), the
    // Gregorian length from 1873, 30 before 701. 0 when the month does not exist (month outside
    // 1-12, a leap month the year has not).
    static int GetMonthLength(std::int32_t lYear, int nMonth, bool bLeap);

    // The leap month of a lunisolar year 701-1872 (1-12), or 0 when it has none. From 1873 always
    // 0; before 701 -1 (not known).
    static int GetLeapMonth(std::int32_t lYear);

    // The day number of a date with year, month and day (a date of CheckDate). Returns true and sets
    // nJdn; returns false, leaving nJdn unchanged, for a date that does not exist, one without a
    // month or day, or an old-calendar date before 701.
    static bool JdnOfDate(const SEraDate& date, std::int64_t& nJdn);

    // The date of a day number: old-calendar from FIRST_JDN to GREGORIAN_JDN - 1, Gregorian from
    // GREGORIAN_JDN on. Returns false, leaving date unchanged, before FIRST_JDN or past the last day
    // of the 32-bit years.
    static bool DateOfJdn(std::int64_t nJdn, SEraDate& date);

    // Julian and proleptic Gregorian days. The ...ToJdn functions return false, leaving nJdn
    // unchanged, for a date that does not exist in that calendar (month outside 1-12, day outside
    // the month). The JdnTo... functions return false, leaving date unchanged, when the year would
    // not fit in 32 bits.
    static bool JulianToJdn(const SWesternDate& date, std::int64_t& nJdn);
    static bool GregorianToJdn(const SWesternDate& date, std::int64_t& nJdn);
    static bool JdnToJulian(std::int64_t nJdn, SWesternDate& date);
    static bool JdnToGregorian(std::int64_t nJdn, SWesternDate& date);

    // The day as historians write it: Julian before GREGORIAN_REFORM_JDN (bJulian true), Gregorian
    // from then on. Fails as JdnToJulian and JdnToGregorian do.
    static bool WesternOfJdn(std::int64_t nJdn, SWesternDate& date, bool& bJulian);

    // 0 Monday ... 6 Sunday, for any day number.
    static int Weekday(std::int64_t nJdn);
    // The day's place in the sexagenary cycle, 0 (甲子) .. 59 (癸亥): (JDN + 49) mod 60.
    static int SexagenaryDay(std::int64_t nJdn);
};
