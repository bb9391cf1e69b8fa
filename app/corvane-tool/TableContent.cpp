#include "TableContent.h"

#include <limits>

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt16Min = std::numeric_limits<std::int16_t>::min();
constexpr std::int64_t kInt16Max = std::numeric_limits<std::int16_t>::max();

SFieldSpec Text(const char* pszName) { return {pszName, EFieldType::Text}; }
SFieldSpec Int32(const char* pszName) { return {pszName, EFieldType::Number, kInt32Min, kInt32Max}; }
SFieldSpec Int16(const char* pszName) { return {pszName, EFieldType::Number, kInt16Min, kInt16Max}; }
SFieldSpec Flag(const char* pszName) { return {pszName, EFieldType::Flag, 0, 1}; }
// The first and last day of an era: month 1-12 (0: not known), day 1-31 (0: the month alone).
SFieldSpec Day(const char* pszName, std::int64_t llMax) { return {pszName, EFieldType::Number, 0, llMax, true}; }
SFieldSpec Leap(const char* pszName) { return {pszName, EFieldType::Flag, 0, 1, true}; }

SFieldValue Number(std::int64_t llValue) { return {CString(), llValue}; }
SFieldValue TextValue(const CString& str) { return {str, 0}; }
std::int32_t AsInt32(const SFieldValue& value) { return static_cast<std::int32_t>(value.llValue); }

} // namespace

const char* CTableContent::KindName(ETableKind eKind)
{
    switch (eKind) {
    case ETableKind::Era: return "era";
    case ETableKind::Period: return "period";
    case ETableKind::Event: return "event";
    case ETableKind::BaseYear: break;
    }
    return "base-year";
}

bool CTableContent::KindFromName(std::string_view name, ETableKind& eKind)
{
    for (const ETableKind e : {ETableKind::Era, ETableKind::Period, ETableKind::Event, ETableKind::BaseYear}) {
        if (name == KindName(e)) {
            eKind = e;
            return true;
        }
    }
    return false;
}

const std::vector<SFieldSpec>& CTableContent::TableFields(ETableKind eKind)
{
    static const std::vector<SFieldSpec> s_era = {Int32("version"), Text("name"), Text("explanation")};
    static const std::vector<SFieldSpec> s_event = {Int32("version"), Text("name"), Text("explanation"),
                                                    Flag("today")};
    static const std::vector<SFieldSpec> s_baseYear = {
        Int32("version"),          Text("name"),           Int32("base_year"),      Int32("end_year"),
        Flag("kazoe"),             Flag("display_minus"),  Flag("minus1"),          Flag("end_year_plus"),
        Flag("end_year_kaiki"),    Flag("begin_year_quest"), Flag("end_year_quest"), Text("supplement")};
    switch (eKind) {
    case ETableKind::Era:
    case ETableKind::Period: return s_era;
    case ETableKind::Event: return s_event;
    case ETableKind::BaseYear: break;
    }
    return s_baseYear;
}

const std::vector<SFieldSpec>& CTableContent::RecordFields(ETableKind eKind)
{
    static const std::vector<SFieldSpec> s_era = {
        Text("era"),           Int32("begin_year"),     Int32("end_year"),          Text("note"),
        Day("begin_month", 12), Day("begin_day", 31),   Leap("begin_leap_month"),   Day("end_month", 12),
        Day("end_day", 31),    Leap("end_leap_month")};
    static const std::vector<SFieldSpec> s_event = {Int32("year"), Int16("month"),    Int16("day"), Flag("leap_month"),
                                                    Int32("priority"), Text("text"), Text("note")};
    static const std::vector<SFieldSpec> s_none;
    switch (eKind) {
    case ETableKind::Era:
    case ETableKind::Period: return s_era;
    case ETableKind::Event: return s_event;
    case ETableKind::BaseYear: break;
    }
    return s_none;
}

CTableContent::CTableContent(ETableKind eKind) : m_eKind(eKind)
{
    switch (eKind) {
    case ETableKind::Era:
    case ETableKind::Period: m_pEras = std::make_unique<CGengouEra>(); break;
    case ETableKind::Event: m_pEvents = std::make_unique<CYearEvent>(); break;
    case ETableKind::BaseYear: m_pBaseYear = std::make_unique<CBaseYear>(); break;
    }
}

SFileStatus CTableContent::Load(const std::filesystem::path& strPath, int nVersion)
{
    m_nVersion = nVersion;
    if (m_pEras)
        return m_pEras->Load(strPath, m_eKind == ETableKind::Era ? HEADER_GENGOU : HEADER_JIDAI);
    if (m_pEvents)
        return m_pEvents->Load(strPath, false);
    return m_pBaseYear->Load(strPath);
}

SFileStatus CTableContent::Save(const std::filesystem::path& strPath)
{
    if (m_pEras)
        return m_pEras->Save(strPath, m_eKind == ETableKind::Era ? HEADER_GENGOU : HEADER_JIDAI);
    if (m_pEvents)
        return m_pEvents->Save(strPath);
    return m_pBaseYear->Save(strPath);
}

void CTableContent::GetTableRow(CFieldRow& row) const
{
    row.clear();
    row.push_back(Number(m_nVersion));
    if (m_pBaseYear) {
        const CBaseYear& base = *m_pBaseYear;
        CString strSupplement;
        base.GetSupplement(strSupplement);
        row.insert(row.end(), {TextValue(base.GetTableName()), Number(base.GetBaseWesternYear()),
                               Number(base.GetEndWesternYear()), Number(base.GetKazoe()),
                               Number(base.GetDisplayMinus()), Number(base.GetMinus1()),
                               Number(base.GetEndYearPlus()), Number(base.GetEndYearKaiki()),
                               Number(base.GetBeginYearQuest()), Number(base.GetEndYearQuest()),
                               TextValue(strSupplement)});
        return;
    }
    const CTableBase& table = m_pEras ? static_cast<const CTableBase&>(*m_pEras) : *m_pEvents;
    row.push_back(TextValue(table.GetTableName()));
    row.push_back(TextValue(table.GetExplanation()));
    if (m_pEvents)
        row.push_back(Number(table.GetTodayDate()));
}

void CTableContent::SetTableRow(const CFieldRow& row)
{
    m_nVersion = AsInt32(row[TABLE_VERSION]);
    if (m_pBaseYear) {
        CBaseYear& base = *m_pBaseYear;
        base.SetTableName(row[BASE_NAME].str);
        base.SetBaseWesternYear(AsInt32(row[BASE_YEAR]));
        base.SetEndWesternYear(AsInt32(row[BASE_END_YEAR]));
        base.SetKazoe(row[BASE_KAZOE].llValue != 0);
        base.SetDisplayMinus(row[BASE_DISPLAY_MINUS].llValue != 0);
        base.SetMinus1(row[BASE_MINUS1].llValue != 0);
        base.SetEndYearPlus(row[BASE_END_YEAR_PLUS].llValue != 0);
        base.SetEndYearKaiki(row[BASE_END_YEAR_KAIKI].llValue != 0);
        base.SetBeginYearQuest(row[BASE_BEGIN_YEAR_QUEST].llValue != 0);
        base.SetEndYearQuest(row[BASE_END_YEAR_QUEST].llValue != 0);
        base.SetSupplement(row[BASE_SUPPLEMENT].str);
        return;
    }
    CTableBase& table = m_pEras ? static_cast<CTableBase&>(*m_pEras) : *m_pEvents;
    table.SetTableName(row[TABLE_NAME].str);
    table.SetExplanation(row[TABLE_EXPLANATION].str);
    if (m_pEvents)
        table.SetTodayDate(row[TABLE_TODAY].llValue != 0);
}

std::size_t CTableContent::RecordCount() const
{
    if (m_pEras)
        return m_pEras->GetGengouEraTable().size();
    if (m_pEvents)
        return m_pEvents->GetEventData().size();
    return 0;
}

void CTableContent::ForEachRecord(const std::function<void(const CFieldRow&)>& visit) const
{
    CFieldRow row(RecordFields(m_eKind).size());
    if (m_pEras) {
        for (const SGengouEraTable& era : m_pEras->GetGengouEraTable()) {
            row[ERA_NAME].str = era.strGengou;
            row[ERA_BEGIN_YEAR].llValue = era.lBeginYear;
            row[ERA_END_YEAR].llValue = era.lEndYear;
            row[ERA_NOTE].str = era.strNote;
            row[ERA_BEGIN_MONTH].llValue = era.nBeginMonth;
            row[ERA_BEGIN_DAY].llValue = era.nBeginDay;
            row[ERA_BEGIN_LEAP_MONTH].llValue = era.bBeginLeap;
            row[ERA_END_MONTH].llValue = era.nEndMonth;
            row[ERA_END_DAY].llValue = era.nEndDay;
            row[ERA_END_LEAP_MONTH].llValue = era.bEndLeap;
            visit(row);
        }
    } else if (m_pEvents) {
        for (const auto& pEvent : m_pEvents->GetEventData()) {
            row[EVENT_YEAR].llValue = pEvent->lYear;
            row[EVENT_MONTH].llValue = pEvent->nMonth;
            row[EVENT_DAY].llValue = pEvent->nDay;
            row[EVENT_LEAP_MONTH].llValue = pEvent->bLeapMonth;
            row[EVENT_PRIORITY].llValue = pEvent->nPriority;
            row[EVENT_TEXT].str = pEvent->strEvent;
            row[EVENT_NOTE].str = pEvent->strNote;
            visit(row);
        }
    }
}

void CTableContent::AddRecord(const CFieldRow& row)
{
    if (m_pEras) {
        SGengouEraTable era;
        era.strGengou = row[ERA_NAME].str;
        era.lBeginYear = AsInt32(row[ERA_BEGIN_YEAR]);
        era.lEndYear = AsInt32(row[ERA_END_YEAR]);
        era.strNote = row[ERA_NOTE].str;
        era.nBeginMonth = static_cast<int>(row[ERA_BEGIN_MONTH].llValue);
        era.nBeginDay = static_cast<int>(row[ERA_BEGIN_DAY].llValue);
        era.bBeginLeap = row[ERA_BEGIN_LEAP_MONTH].llValue != 0;
        era.nEndMonth = static_cast<int>(row[ERA_END_MONTH].llValue);
        era.nEndDay = static_cast<int>(row[ERA_END_DAY].llValue);
        era.bEndLeap = row[ERA_END_LEAP_MONTH].llValue != 0;
        m_pEras->GetGengoEraTable().push_back(std::move(era));
    } else if (m_pEvents) {
        SEventData data;
        data.lYear = AsInt32(row[EVENT_YEAR]);
        data.nMonth = static_cast<std::int16_t>(row[EVENT_MONTH].llValue);
        data.nDay = static_cast<std::int16_t>(row[EVENT_DAY].llValue);
        data.bLeapMonth = row[EVENT_LEAP_MONTH].llValue != 0;
        data.nPriority = AsInt32(row[EVENT_PRIORITY]);
        data.strEvent = row[EVENT_TEXT].str;
        data.strNote = row[EVENT_NOTE].str;
        m_pEvents->SetData(std::move(data), false, -1, PRIORITY_ALL);
    }
}

std::string CTableContent::RecordProblem(ETableKind eKind, const CFieldRow& row)
{
    if (eKind != ETableKind::Era && eKind != ETableKind::Period)
        return std::string();
    for (const std::size_t nMonth : {std::size_t{4}, std::size_t{7}}) {
        const std::vector<SFieldSpec>& fields = RecordFields(eKind);
        for (const std::size_t i : {nMonth + 1, nMonth + 2}) {
            if (row[nMonth].llValue == 0 && row[i].llValue != 0)
                return std::string("field \"") + fields[i].pszName + "\": given without \"" + fields[nMonth].pszName + "\"";
        }
    }
    return std::string();
}
