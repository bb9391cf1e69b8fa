// SEventData: one entry of an event chronology (CYearEvent).
//
// Something that happened in a Western year, optionally on a month (possibly the leap month that
// follows it) and a day, with a one-line event text, a free note and a display priority. A plain
// value type: copy it, compare it, and let the table own the copies it keeps.
//
// Text is code page 932 (CString). Months and days are not checked against any calendar: every
// value is stored, compared, written and read back unchanged; -1 means "none".
#pragma once

#include <cstdint>

#include <framework/String.h>

#include <corvane/corvane_export.h>

// The result of SEventData::Search: a bit set, returned as the enumeration type. Combinations
// (3, 5, 6, 7) are the bitwise OR of the parts that matched.
enum EventDataSearch : int {
    SEARCH_NONE = 0,    // no part holds the search text
    SEARCH_EVENT = 1,   // strEvent holds it
    SEARCH_NOTE = 2,    // strNote holds it (tested only when asked for)
    SEARCH_DATE = 4,    // the date prefix of MakeDate holds it
};

struct CORVANE_EXPORT SEventData {
    // The texts start empty; the numbers start at 0 and the flag at false (callers set them, or
    // call Initialize, before relying on them).
    SEventData() = default;
    SEventData(const SEventData&) = default;              // copies all seven fields
    SEventData& operator=(const SEventData&) = default;   // likewise
    SEventData(SEventData&&) noexcept = default;
    SEventData& operator=(SEventData&&) noexcept = default;
    ~SEventData() = default;

    // Year 0, both texts empty, priority 0, month 0, day 0, no leap month. Month and day become
    // 0, not -1: a caller that wants an undated record sets them to -1 itself.
    void Initialize();

    // True exactly when all seven fields are equal (texts byte for byte).
    bool operator==(const SEventData& other) const;

    // Replaces strDate with the date prefix that a chronology shows in front of the event text:
    // empty when nMonth is -1; otherwise "<m>月 " (no day) or "<m>月<d>日 ", with "閏" in front for
    // a leap month. Every non-empty prefix ends with one ASCII blank. Months and days other than -1
    // are printed as they are (0 and negative values included).
    void MakeDate(CString& strDate) const;

    // Which parts of the record hold pszText (code page 932, case-sensitive, never matching from
    // the second byte of a double-byte character): the event text, the note when bNote is true,
    // and the date prefix of MakeDate. An empty (or null) text is held by every part, so the
    // result is then 7 with the note and 5 without it. Markup in the event text takes part.
    EventDataSearch Search(const char* pszText, bool bNote) const;

    // The seven fields, in the published order.
    std::int32_t lYear = 0;        // Western year; negative before the Western era
    CString strEvent;              // the event text, one line; may hold HTML markup
    CString strNote;               // free note; line breaks are CR LF pairs
    std::int32_t nPriority = 0;    // display priority 0 (most important) to 2
    std::int16_t nMonth = 0;       // month, -1 for none
    bool bLeapMonth = false;       // nMonth is the leap month that follows month nMonth
    std::int16_t nDay = 0;         // day of the month, -1 for none
};
