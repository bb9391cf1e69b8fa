// CChronologyText: the texts of one row of a chronology, made from an event and the era, period
// and base-year tables that accompany it. No toolkit: a window and a command line show the same
// texts. All text is code page 932.
#pragma once

#include <cstdint>

#include <corvane/BaseYear.h>
#include <corvane/EventData.h>
#include <corvane/GengouEra.h>
#include <framework/String.h>

// The texts of one chronology row, code page 932.
struct SChronologyRow {
    CString strYear;       // Western year, e.g. "1984", "-660"
    CString strEraYear;    // era year from the era table, e.g. "昭和59年", "平成元年"; empty when no era covers the year or no era table
    CString strPeriod;     // the period (時代) covering the year; empty when none
    CString strBaseYear;   // CBaseYear::MakeBaseYearStr; empty without a base-year table
    CString strDate;       // SEventData::MakeDate
    CString strText;       // the event text without markup (CHtmlManage::RemoveHtml)
    CString strNote;       // the note as stored
    CString strLink;       // the link of the text (CHtmlManage::GetLinkFromString), empty if none
};

class CChronologyText {
public:
    // Any table may be null: its column is then empty. Not owned; must outlive this object.
    CChronologyText(const CGengouEra* pEras, const CGengouEra* pPeriods, const CBaseYear* pBaseYear)
        : m_pEras(pEras), m_pPeriods(pPeriods), m_pBaseYear(pBaseYear) {}

    // The era year of the first era in table order that covers lYear, its name without markup:
    // "昭和59年", "平成元年". Empty when none covers it.
    CString EraYear(std::int32_t lYear) const;
    // The name (without markup) of the first period in table order that covers lYear; empty if none.
    CString Period(std::int32_t lYear) const;
    // The base-year label of lYear; empty without a table or when the year gets no label.
    CString BaseYearLabel(std::int32_t lYear) const;
    // Every text of the row of data.
    SChronologyRow MakeRow(const SEventData& data) const;

    // The target of the first link of an event text; empty when it has none.
    static CString Link(const CString& strEvent);
    // The event text without its markup.
    static CString PlainText(const CString& strEvent);

private:
    const CGengouEra* m_pEras;
    const CGengouEra* m_pPeriods;
    const CBaseYear* m_pBaseYear;
};
