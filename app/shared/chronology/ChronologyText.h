// CChronologyText: the texts of one row of a chronology, made from an event and the tables that
// describe its year (era names, periods, a base year). Shared by every program that shows or
// prints a chronology, so that all of them give the same texts. No toolkit.
//
// Every text is code page 932; callers convert at their edge. The object only reads the tables
// it was given and keeps no state of its own: any number of rows may be made, in any order.
#pragma once

#include <cstdint>

#include <corvane/BaseYear.h>
#include <corvane/EventData.h>
#include <corvane/GengouEra.h>
#include <framework/String.h>
#include <shared/chronology/LinkedText.h>

#include <vector>

// The texts of one chronology row, code page 932.
struct SChronologyRow {
    CString strYear;       // Western year, e.g. "1984", "-660"
    CString strEraYear;    // era year(s) of the event's date, e.g. "昭和59年", "平成元年", "昭和64年・平成元年" (see EraYear); empty when no era covers it or no era table
    CString strPeriod;     // the period (時代) covering the year, markup removed; empty when none
    CString strBaseYear;   // CBaseYear::MakeBaseYearStr; empty without a base-year table or label
    CString strDate;       // SEventData::MakeDate ("4月10日 ", "閏3月 ", or empty)
    CString strWesternDay; // CDayText::WesternDay: "1582-06-21(ユリウス暦)", "1600-10-21"; empty without a day number
    CString strText;       // the event text without markup (CHtmlManage::RemoveHtml)
    CString strNote;       // the note as stored
    CString strLink;       // the link of the text (CHtmlManage::GetLinkFromString), empty if none
    std::vector<STextRun> vTextRuns;   // strText in plain and linked runs (CLinkedText::Runs)
};

class CChronologyText {
public:
    // Any table may be null: its column is then empty. Not owned; must outlive this object.
    CChronologyText(const CGengouEra* pEras, const CGengouEra* pPeriods, const CBaseYear* pBaseYear)
        : m_pEras(pEras), m_pPeriods(pPeriods), m_pBaseYear(pBaseYear) {}

    // The era year as Tamber shows it in its results (the first era in table order that covers
    // the year); empty when none does.
    CString EraYear(std::int32_t lYear) const;
    // The era year of an event by its date: of each era in force on its day (its month, or its
    // year, when it has no day or no month), in table order, joined by "・": 1989 4月1日 gives
    // 平成元年, 1989 1月7日 昭和64年, an event of 1989 without a month 昭和64年・平成元年 (and two
    // eras, one of each court, in 1331-1392). Where none of the eras found has days (a table read
    // from a file without days) the answer is EraYear(lYear), as before. Empty when none is found
    // although the year's eras have days: 645 6月12日 is before 大化 began (6月19日).
    CString EraYear(const SEventData& data) const;
    // The name, markup removed, of the period the period table's own lookup gives for the year
    // (CGengouEra::GetIndexFromYear: the last one in table order that covers it); empty if none.
    CString Period(std::int32_t lYear) const;
    // The base-year label of the year; empty without a table or when the year gets no label.
    CString BaseYearLabel(std::int32_t lYear) const;
    // Every text of the row of one event.
    SChronologyRow MakeRow(const SEventData& data) const;

private:
    const CGengouEra* m_pEras;
    const CGengouEra* m_pPeriods;
    const CBaseYear* m_pBaseYear;
};
