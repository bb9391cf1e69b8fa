#include "ChronologyText.h"

#include <corvane/HtmlManage.h>
#include <framework/Cp932.h>

namespace {

// The first record in table order whose span holds lYear (the rule of Tamber's result texts, so
// that both courts' eras of 1331-1392 read as they do there); null when none.
const SGengouEraTable* FindCovering(const CGengouEra* pTable, std::int32_t lYear)
{
    if (pTable == nullptr)
        return nullptr;
    for (const SGengouEraTable& rec : pTable->GetGengouEraTable()) {
        if (rec.lBeginYear <= lYear && lYear <= rec.lEndYear)
            return &rec;
    }
    return nullptr;
}

} // namespace

CString CChronologyText::PlainText(const CString& strEvent)
{
    CString strPlain;
    CHtmlManage().RemoveHtml(strEvent, strPlain);
    return strPlain;
}

CString CChronologyText::Link(const CString& strEvent)
{
    const int nAt = strEvent.Find("<");
    if (nAt < 0)
        return CString();
    CString strLink, strLabel;
    int nStart = -1, nEnd = -1;
    // The first call finds where the link begins, the second takes it apart there.
    CHtmlManage::GetLinkFromString(strEvent, 0, strLink, strLabel, nStart, nEnd);
    if (nStart < 0)
        return CString();
    strLink.Empty();
    if (!CHtmlManage::GetLinkFromString(strEvent, nStart, strLink, strLabel, nStart, nEnd))
        return CString();
    return strLink;
}

CString CChronologyText::EraYear(std::int32_t lYear) const
{
    const SGengouEraTable* pEra = FindCovering(m_pEras, lYear);
    if (pEra == nullptr)
        return CString();
    const CString strName = PlainText(pEra->strGengou);
    const long long llEraYear = static_cast<long long>(lYear) - pEra->lBeginYear + 1;
    CString strText;
    if (llEraYear == 1)
        strText.Format(CP932("%s元年").GetString(), strName.GetString());
    else
        strText.Format(CP932("%s%lld年").GetString(), strName.GetString(), llEraYear);
    return strText;
}

CString CChronologyText::Period(std::int32_t lYear) const
{
    const SGengouEraTable* pPeriod = FindCovering(m_pPeriods, lYear);
    return pPeriod ? PlainText(pPeriod->strGengou) : CString();
}

CString CChronologyText::BaseYearLabel(std::int32_t lYear) const
{
    CString strLabel;
    if (m_pBaseYear != nullptr)
        m_pBaseYear->MakeBaseYearStr(lYear, strLabel);
    return strLabel;
}

SChronologyRow CChronologyText::MakeRow(const SEventData& data) const
{
    SChronologyRow row;
    row.strYear.Format("%d", static_cast<int>(data.lYear));
    row.strEraYear = EraYear(data.lYear);
    row.strPeriod = Period(data.lYear);
    row.strBaseYear = BaseYearLabel(data.lYear);
    data.MakeDate(row.strDate);
    row.strText = PlainText(data.strEvent);
    row.strNote = data.strNote;
    row.strLink = Link(data.strEvent);
    return row;
}
