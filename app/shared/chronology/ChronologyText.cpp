#include <shared/chronology/ChronologyText.h>

#include <shared/chronology/DayText.h>

#include <corvane/HtmlManage.h>
#include <framework/Cp932.h>

#include <algorithm>

CString CChronologyText::EraYear(std::int32_t lYear) const
{
    return m_pEras ? m_pEras->GetEraYearText(lYear) : CString();
}

CString CChronologyText::EraYear(const SEventData& data) const
{
    if (!m_pEras)
        return CString();
    const bool bMonth = data.nMonth >= 1 && data.nMonth <= 12;
    const SEraDate date{data.lYear, bMonth ? data.nMonth : 0, bMonth && data.bLeapMonth,
                        bMonth && data.nDay >= 1 && data.nDay <= 31 ? data.nDay : 0};
    const std::vector<int> indices = m_pEras->GetIndicesInForce(date);
    const auto hasDays = [&](int nIndex) {
        const SGengouEraTable& rec = m_pEras->GetGengouEraTable()[static_cast<std::size_t>(nIndex)];
        return rec.nBeginMonth != 0 || rec.nEndMonth != 0;
    };
    if (indices.empty()) {
        // No era on that day: the answer of the year only where the year's eras know no days.
        const std::vector<int> year = m_pEras->GetIndicesInYear(data.lYear);
        return std::none_of(year.begin(), year.end(), hasDays) ? EraYear(data.lYear) : CString();
    }
    if (std::none_of(indices.begin(), indices.end(), hasDays))
        return EraYear(data.lYear);
    CString strText;
    for (const int nIndex : indices) {
        if (!strText.IsEmpty())
            strText += CP932("・");
        strText += m_pEras->GetEraDateText(nIndex, SEraDate{data.lYear, 0, false, 0});
    }
    return strText;
}

CString CChronologyText::Period(std::int32_t lYear) const
{
    CString strPeriod;
    if (m_pPeriods) {
        const int nIndex = m_pPeriods->GetIndexFromYear(lYear);
        if (nIndex >= 0)
            CHtmlManage().RemoveHtml(m_pPeriods->GetAt(nIndex).strGengou, strPeriod);
    }
    return strPeriod;
}

CString CChronologyText::BaseYearLabel(std::int32_t lYear) const
{
    CString strLabel;
    if (m_pBaseYear)
        m_pBaseYear->MakeBaseYearStr(lYear, strLabel);
    return strLabel;
}

SChronologyRow CChronologyText::MakeRow(const SEventData& data) const
{
    SChronologyRow row;
    row.strYear.Format("%d", static_cast<int>(data.lYear));
    row.strEraYear = EraYear(data);
    row.strPeriod = Period(data.lYear);
    row.strBaseYear = BaseYearLabel(data.lYear);
    data.MakeDate(row.strDate);
    row.strWesternDay = CDayText::WesternDay(data);
    CHtmlManage().RemoveHtml(data.strEvent, row.strText);
    row.vTextRuns = CLinkedText::Runs(data.strEvent);
    row.strNote = data.strNote;
    // The first link of the text: the first call finds where it begins, the second takes it apart.
    CString strLabel;
    int nStart = -1;
    int nEnd = -1;
    if (!CHtmlManage::GetLinkFromString(data.strEvent, 0, row.strLink, strLabel, nStart, nEnd) &&
        (nStart <= 0 ||
         !CHtmlManage::GetLinkFromString(data.strEvent, nStart, row.strLink, strLabel, nStart, nEnd)))
        row.strLink.Empty();
    return row;
}
