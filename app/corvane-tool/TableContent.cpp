#include "TableContent.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <limits>

#include <framework/Cp932.h>
#include <framework/FileSystem.h>

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

// A header line longer than this is no table file's: the words are short.
constexpr std::size_t kMaxHeaderLine = 4096;

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

EHeaderCheck CTableContent::ReadHeader(const CString& strPath, ETableKind& eKind, int& nVersion, CString& strKind)
{
    std::string strNative;
    if (!ToNativePath(strPath, strNative))
        return EHeaderCheck::Unreadable;
    // UTF-8 name as a path: a narrow one would be taken in the ANSI code page on Windows.
    std::ifstream file(std::filesystem::path(std::u8string(strNative.begin(), strNative.end())), std::ios::binary);
    if (!file)
        return EHeaderCheck::Unreadable;
    std::string strLine;
    char ch = 0;
    while (strLine.size() <= kMaxHeaderLine && file.get(ch) && ch != '\n')
        strLine.push_back(ch);
    if (file.bad())
        return EHeaderCheck::Unreadable;
    if (strLine.size() > kMaxHeaderLine)
        return EHeaderCheck::NotATable;
    if (!strLine.empty() && strLine.back() == '\r')
        strLine.pop_back();
    strKind.Empty();
    CTableBase::GetTableKindNameAndFileVer(CString(strLine), strKind, nVersion);
    static const std::array<std::pair<const char*, ETableKind>, 4> s_words = {{
        {"[元号]", ETableKind::Era}, {"[時代]", ETableKind::Period},
        {"[出来事]", ETableKind::Event}, {"[基点年]", ETableKind::BaseYear}}};
    for (const auto& [pszWord, e] : s_words) {
        if (strKind == LiteralToCp932(pszWord)) {
            eKind = e;
            return EHeaderCheck::Table;
        }
    }
    return EHeaderCheck::NotATable;
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

SFileStatus CTableContent::Load(const CString& strPath, int nVersion)
{
    m_nVersion = nVersion;
    if (m_pEras)
        return m_pEras->Load(strPath, m_eKind == ETableKind::Era ? HEADER_GENGOU : HEADER_JIDAI);
    if (m_pEvents)
        return m_pEvents->Load(strPath, false);
    return m_pBaseYear->Load(strPath);
}

SFileStatus CTableContent::Save(const CString& strPath)
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
    m_nVersion = AsInt32(row[0]);
    if (m_pBaseYear) {
        CBaseYear& base = *m_pBaseYear;
        base.SetTableName(row[1].str);
        base.SetBaseWesternYear(AsInt32(row[2]));
        base.SetEndWesternYear(AsInt32(row[3]));
        base.SetKazoe(row[4].llValue != 0);
        base.SetDisplayMinus(row[5].llValue != 0);
        base.SetMinus1(row[6].llValue != 0);
        base.SetEndYearPlus(row[7].llValue != 0);
        base.SetEndYearKaiki(row[8].llValue != 0);
        base.SetBeginYearQuest(row[9].llValue != 0);
        base.SetEndYearQuest(row[10].llValue != 0);
        base.SetSupplement(row[11].str);
        return;
    }
    CTableBase& table = m_pEras ? static_cast<CTableBase&>(*m_pEras) : *m_pEvents;
    table.SetTableName(row[1].str);
    table.SetExplanation(row[2].str);
    if (m_pEvents)
        table.SetTodayDate(row[3].llValue != 0);
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
            row[0].str = era.strGengou;
            row[1].llValue = era.lBeginYear;
            row[2].llValue = era.lEndYear;
            row[3].str = era.strNote;
            row[4].llValue = era.nBeginMonth;
            row[5].llValue = era.nBeginDay;
            row[6].llValue = era.bBeginLeap;
            row[7].llValue = era.nEndMonth;
            row[8].llValue = era.nEndDay;
            row[9].llValue = era.bEndLeap;
            visit(row);
        }
    } else if (m_pEvents) {
        for (const auto& pEvent : m_pEvents->GetEventData()) {
            row[0].llValue = pEvent->lYear;
            row[1].llValue = pEvent->nMonth;
            row[2].llValue = pEvent->nDay;
            row[3].llValue = pEvent->bLeapMonth;
            row[4].llValue = pEvent->nPriority;
            row[5].str = pEvent->strEvent;
            row[6].str = pEvent->strNote;
            visit(row);
        }
    }
}

void CTableContent::AddRecord(const CFieldRow& row)
{
    if (m_pEras) {
        SGengouEraTable era;
        era.strGengou = row[0].str;
        era.lBeginYear = AsInt32(row[1]);
        era.lEndYear = AsInt32(row[2]);
        era.strNote = row[3].str;
        era.nBeginMonth = static_cast<int>(row[4].llValue);
        era.nBeginDay = static_cast<int>(row[5].llValue);
        era.bBeginLeap = row[6].llValue != 0;
        era.nEndMonth = static_cast<int>(row[7].llValue);
        era.nEndDay = static_cast<int>(row[8].llValue);
        era.bEndLeap = row[9].llValue != 0;
        m_pEras->GetGengoEraTable().push_back(std::move(era));
    } else if (m_pEvents) {
        SEventData data;
        data.lYear = AsInt32(row[0]);
        data.nMonth = static_cast<std::int16_t>(row[1].llValue);
        data.nDay = static_cast<std::int16_t>(row[2].llValue);
        data.bLeapMonth = row[3].llValue != 0;
        data.nPriority = AsInt32(row[4]);
        data.strEvent = row[5].str;
        data.strNote = row[6].str;
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
