// Era dates and Western dates as people write them: one reader and one writer for every program.
//
// Texts are code page 932. A date is a day, a month or a year (SEraDate with the parts given);
// before 1873 its month and day are those of the old calendar (see SEraDate).
//
// Forms read (digits ASCII or full-width; spaces around the parts are allowed):
//   Western   1989-01-08  1989/1/8  1989年1月8日  1868-閏4-1  1868年閏4月1日  1989-01  1989年1月
//             1989  1989年  19890108  西暦1989年  (a year before 1 with a leading minus: -0660)
//             1945年(昭和20年)8月15日 (the era year in brackets must name the same year)
//   Era       平成元年1月8日  平成1年1月8日  昭和六十四年一月七日  令和二〇年  慶応4年閏4月1日
//             平成元年  平成元  平成1  平成元年1月  平成1.1.8  平成元.1.8  ㍻元年
//   Initials  H1.1.8  H01.01.08  S64.1.7  R7.12.7  M45.7.29  T1.7.30  h1.1.8  H1  H1.1  H.1.1.8
//             H元.1.8  Ｈ１．１．８  平1.1.8  (M 明 明治, T 大 大正, S 昭 昭和, H 平 平成, R 令 令和;
//             '.', '/', '-' or '‐' between the parts)
//   Days      JD2299161 (a day number), ユリウス暦1582年6月21日, グレゴリオ暦1600年10月21日, and
//             1582-06-21(ユリウス暦), 1600-10-21(グレゴリオ暦)
// After 年: the year's 干支 (天正十年壬午六月二日, checked), 元日 (1月1日), 正月 (1月); in place of
// the day: 朔日 or 朔 (the 1st), 晦日 or 晦 (the month's last day), the day's 干支 (延暦十三年十月
// 辛酉: the day of that 干支 in the month), also before 朔 or 晦 (六月丁亥朔: checked). After the
// date: a weekday in brackets ((日), (日曜日); checked), then 頃 or ごろ. Months are those of the
// calendar (CCalendar): before 701 the month's last day and the days' 干支 are not known.
// Kanji numerals: 〇 一 … 九 written digit by digit (二〇) or with 十, 百, 千 (二十, 六十四), each unit
// at most once; 元 for the year 1 of an era; 壱 弐 参 拾 廿 卅 as 一 二 三 十 二十 三十. Era names of up to
// 32 characters are found, the longest name that fits first. Old forms of characters in era names
// are read as the table's forms (慶應 as 慶応, 萬延 as 万延; 應 萬 寶 寳 壽 龜 祿 觀 德 靈 寬), the squared
// names ㍾ ㍽ ㍼ ㍻ as 明治 大正 昭和 平成. 明治元年 before 9月8日 is read as the same day of 慶応4年 (the
// decree of that day applied 明治 from the first day of the year).
#pragma once

#include <cstdint>

#include <framework/String.h>

#include <corvane/GengouEra.h>
#include <corvane/corvane_export.h>

// What ParseEraDateText read.
struct CORVANE_EXPORT SParsedEraDate {
    SEraDate date;            // the Western year, and the month, leap flag and day as far as given
    int nEra = -1;            // the index of the era record named; -1 for a Western date
    std::int32_t lEraYear = 0;   // the era year named (1 for 元年); 0 for a Western date
};

// Reads strText in one of the forms above against eras (for the era names, their spans and the
// leap months the table knows). A Western date is checked with eras.IsValidDate, an era date with
// eras.GetDateOfEraDate: a date that does not exist is an error, as is a text with anything after
// the date. A day of a named calendar and a day number give the old-calendar (before 1873) or
// Gregorian date of that day from 701-02-13 (Julian) on, with nEra -1. The reason quotes at most 64
// characters of the text, control characters as \xNN. Returns true and fills parsed; on failure returns false with parsed untouched and the
// reason, in Japanese, in strError. Takes time linear in the text's length times log of the
// table's size; never reads past the text.
CORVANE_EXPORT bool ParseEraDateText(const CGengouEra& eras, const CString& strText, SParsedEraDate& parsed,
                                     CString& strError);

// The Western date as the era date tools write it: "1989-01-08", "1868-閏04-01", "1989-01",
// "1989"; the year has at least four digits, a year before 0 a leading minus ("-0660"), a year of
// eight digits alone 年 after it ("10000000年": eight digits alone are a day). A day is written
// only with a month. ParseEraDateText reads every text it writes back to the same date.
CORVANE_EXPORT CString FormatWesternDate(const SEraDate& date);
