// CCycleConverter: the two conversions of Tamber and every text they produce, without a toolkit.
//
// The dialog and tamber-cli both describe a request with the structures below and show what comes
// back: a result text for the result box (lines ended by "\r\n") or one message for a message
// box. Both are code page 932 CStrings; the callers convert them to UTF-8 at their edge. Because
// the texts are made only here, the dialog and the command line give the same texts.
//
// The converter reads the era table and the sexagenary arithmetic it was built with; it keeps
// references to both, which must outlive it, and changes neither. Years are signed 32-bit; every
// sum that can leave that range is computed in 64 bits and then refused or clamped as each
// operation says.
#pragma once

#include <cstdint>
#include <vector>

#include <corvane/GengouEra.h>
#include <corvane/SexagenaryCycle.h>
#include <framework/String.h>

// What an era list says about the year written beside it.
struct SEraChoice {
    // The selected item: 0 is "西暦" (the year is Western), k >= 1 the era record k - 1 of the
    // table, -1 no item (the user typed into the list's edit field; strText is then used).
    int nItem = 0;
    // The text of the list's edit field, read only when nItem is -1.
    CString strText;
};

// A cycle-to-years request: the state of the stem and branch lists and of the range fields.
struct SPairRequest {
    // The selected item of the stem list: 0 the blank item (any stem), k in 1..10 stem k - 1. A
    // negative value means text was typed into the list; such a request is refused.
    int nStem = 0;
    CString strBranch;     // the text of the branch list, one of the twelve branch characters
    CString strFrom;       // the range start as typed: a number (text after it is ignored), or empty for none
    SEraChoice eraFrom;    // the era list beside the start
    CString strTo;         // the range end, likewise
    SEraChoice eraTo;
};

class CCycleConverter {
public:
    // A range whose list would hold more years than this is refused with a message instead of
    // being listed: the result box (and a terminal) is no place for millions of lines.
    static constexpr std::int64_t MAX_LISTED_YEARS = 10000;
    // An era whose last year is this or more has not ended; its list item shows no length.
    static constexpr std::int32_t OPEN_END_YEAR = 32767;

    CCycleConverter(const CGengouEra& eraTable, const CSexagenaryCycle& cycle)
        : m_eraTable(eraTable), m_cycle(cycle) {}

    // The item texts of an era list, in list order: "西暦", then for each era record in table
    // order its name stripped of markup followed by "(～n)" with its length n in years, or by
    // "(～)" when it has not ended.
    void ListEraItems(std::vector<CString>& items) const;

    // The year as text by pszFormat (a printf format of one int, "%d" or "%4d"), followed by its
    // era year (CGengouEra::GetEraYearText) in parentheses: "1984(昭和59年)", "1989(平成元年)". The plain number
    // when no record covers the year.
    CString MakeYearText(std::int32_t lYear, const char* pszFormat) const;

    // The Western year of an era year given with a typed era name. "西暦" gives 0 and leaves lYear
    // as it was. Otherwise the first record whose stored name (markup included) equals strEra
    // byte for byte turns the era year lYear into its Western year and gives 0, or gives 2 and
    // leaves lYear unchanged when that is past the era's last year, or 3 (lYear unchanged) when
    // lYear is below 1, as an era counts from its first year (元年). No such record gives 1.
    int WesternYearOfEraName(const CString& strEra, std::int32_t& lYear) const;

    // The Western year of lYear as written beside an era list in the state era; with an era, lYear
    // must be at least 1 and the result at most the era's last year. On success lYear holds the
    // Western year and the result is true. On failure the result is false, lYear is
    // unchanged and strMessage holds the one message to show.
    bool WesternYearOfEraChoice(const SEraChoice& era, std::int32_t& lYear, CString& strMessage) const;

    // Year to cycle: the text "…年の干支は甲子(きのえね)です。\r\n十二支はねずみです。" for lYear as
    // written beside the era list in the state era. True with strResult set; false with strResult
    // unchanged and strMessage holding the message (an era problem, or the year 0 that does not
    // exist).
    bool YearToCycle(std::int32_t lYear, const SEraChoice& era, CString& strResult,
                     CString& strMessage) const;

    // Cycle to years: the years of the pair between the two ends, or the nearest year of the pair
    // on or after the start (only a start given) or before the end (only an end given). Each end
    // given is read as its leading number ("1984年" is 1984); an end that does not begin with a
    // number is refused with a message. True with
    // strResult set; false with strResult unchanged and strMessage holding the message. Once the
    // branch and the stem have been accepted, request.strFrom and request.strTo are trimmed of
    // white space in place (the dialog shows them so after a success), whatever follows.
    bool YearsOfPair(SPairRequest& request, CString& strResult, CString& strMessage) const;

private:
    // A cycle-to-years request once read: the pair and both ends as Western years (an end that was
    // not given lies one cycle from the other, cut at the 32-bit bounds).
    struct SPairRange {
        int nStem = 0;        // a stem, or CSexagenaryCycle::NO_STEM for any
        int nBranch = 0;
        std::int32_t lFrom = 0;
        std::int32_t lTo = 0;
        bool bFrom = false;   // the start was given
        bool bTo = false;     // the end was given
    };

    // The three steps of YearsOfPair. Each returns false with strMessage set when the request is
    // refused. Parse reads and checks the pair and the range (trimming the range texts in place as
    // YearsOfPair says); count refuses a range that would list more than MAX_LISTED_YEARS years;
    // format makes the result text of the years found.
    bool ParsePairRequest(SPairRequest& request, SPairRange& range, CString& strMessage) const;
    bool CheckPairCount(const SPairRange& range, CString& strMessage) const;
    bool FormatPairYears(const SPairRange& range, const std::vector<std::int32_t>& years, CString& strResult,
                         CString& strMessage) const;
    // One end of the range: its leading number ("1984年" is 1984) as a Western year by its era list;
    // strNotANumber is the message for a text that does not begin with a number.
    bool ReadRangeEnd(const CString& strText, const SEraChoice& era, const CString& strNotANumber, std::int32_t& lYear,
                      CString& strMessage) const;

    // The display name of a record's era name: its text stripped of markup.
    static CString DisplayName(const CString& strGengou);

    const CGengouEra& m_eraTable;
    const CSexagenaryCycle& m_cycle;
};
