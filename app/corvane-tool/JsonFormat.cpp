#include "JsonFormat.h"

#include <limits>
#include <optional>

#include <nlohmann/json.hpp>

using nlohmann::json;

namespace {

void WriteString(std::ostream& out, const std::string& str)
{
    out << json(str).dump();
}

void WriteFields(std::ostream& out, const std::vector<SFieldSpec>& fields, const CCellRow& cells, const char* pszSep)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out << pszSep;
        out << '"' << fields[i].pszName << "\": ";
        switch (fields[i].eType) {
        case EFieldType::Text: WriteString(out, cells[i].str); break;
        case EFieldType::Number: out << cells[i].llValue; break;
        case EFieldType::Flag: out << (cells[i].llValue != 0 ? "true" : "false"); break;
        }
    }
}

// The cells of an object (the top level or a record) by the field list; nRecord for messages.
void ObjectToCells(const json& object, const std::vector<SFieldSpec>& fields, std::size_t nRecord,
                   const char* pszIgnored, CCellRow& cells)
{
    const std::string strWhere = RecordPlace(nRecord);
    if (!object.is_object())
        throw CTransferError(strWhere + ": not a JSON object");
    cells.resize(fields.size());
    std::size_t nPresent = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const SFieldSpec& field = fields[i];
        const auto it = object.find(field.pszName);
        if (it == object.end() && field.bOptional) {
            cells[i] = SCell();
            continue;
        }
        if (it == object.end())
            throw CTransferError(FieldPlace(nRecord, field.pszName) + ": missing");
        ++nPresent;
        const json& value = *it;
        switch (field.eType) {
        case EFieldType::Text:
            if (!value.is_string())
                throw CTransferError(FieldPlace(nRecord, field.pszName) + ": not a string");
            cells[i].str = value.get_ref<const std::string&>();
            break;
        case EFieldType::Number:
            if (value.is_number_unsigned() &&
                value.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
                throw CTransferError(FieldPlace(nRecord, field.pszName) + ": out of range");
            if (!value.is_number_integer())
                throw CTransferError(FieldPlace(nRecord, field.pszName) + ": not a whole number");
            cells[i].llValue = value.get<std::int64_t>();
            break;
        case EFieldType::Flag:
            if (!value.is_boolean())
                throw CTransferError(FieldPlace(nRecord, field.pszName) + ": not true or false");
            cells[i].llValue = value.get<bool>() ? 1 : 0;
            break;
        }
    }
    // Every field found is there once: only a larger object can hold a key that is not a field.
    const std::size_t nAllowed = nPresent + (nRecord == 0 ? 1 : 0) + (pszIgnored && object.contains(pszIgnored));
    if (object.size() == nAllowed)
        return;
    for (const auto& item : object.items()) {
        if ((nRecord == 0 && item.key() == "kind") || (pszIgnored && item.key() == pszIgnored))
            continue;
        bool bKnown = false;
        for (const SFieldSpec& field : fields)
            bKnown = bKnown || item.key() == field.pszName;
        if (!bKnown)
            throw CTransferError(strWhere + ": unknown field \"" + item.key() + "\"");
    }
}

// The kind of a top-level object that names one.
std::optional<ETableKind> KindOf(const json& top)
{
    const auto it = top.find("kind");
    if (it == top.end())
        return std::nullopt;
    ETableKind eKind = ETableKind::Event;
    if (!it->is_string() || !CTableContent::KindFromName(it->get_ref<const std::string&>(), eKind))
        throw CTransferError("table, field \"kind\": not one of era, period, event, base-year");
    return eKind;
}

} // namespace

void CJsonFormat::CWriter::Begin(ETableKind eKind, const CCellRow& table)
{
    m_eKind = eKind;
    m_out << "{\n  \"kind\": \"" << CTableContent::KindName(eKind) << "\",\n  ";
    WriteFields(m_out, CTableContent::TableFields(eKind), table, ",\n  ");
    if (!CTableContent::RecordFields(eKind).empty())
        m_out << ",\n  \"records\": [";
}

void CJsonFormat::CWriter::Record(const CCellRow& record)
{
    m_out << (m_bFirst ? "\n    {" : ",\n    {");
    WriteFields(m_out, CTableContent::RecordFields(m_eKind), record, ", ");
    m_out << '}';
    m_bFirst = false;
}

void CJsonFormat::CWriter::End()
{
    if (!CTableContent::RecordFields(m_eKind).empty())
        m_out << (m_bFirst ? "]" : "\n  ]");
    m_out << "\n}\n";
}

void CJsonFormat::Read(std::istream& in, CTableSink& sink)
{
    // The top-level values are taken out of the document as they come. Once the table fields are
    // all there, each record is handed on as soon as it is parsed and dropped, so that a large
    // file never stands whole in memory. When the first record comes before the table is
    // complete, the records are kept and handed on at the end.
    enum class EMode { Undecided, Streaming, Keeping };
    EMode eMode = EMode::Undecided;
    json top = json::object();
    std::string strKey;
    bool bInRecords = false;
    bool bBegun = false;
    ETableKind eKind = ETableKind::Event;
    std::size_t nRecord = 0;
    CCellRow cells;

    const auto begin = [&] {
        const std::optional<ETableKind> kind = KindOf(top);
        if (!kind)
            throw CTransferError("table, field \"kind\": missing");
        eKind = *kind;
        ObjectToCells(top, CTableContent::TableFields(eKind), 0, "records", cells);
        sink.Begin(eKind, cells);
        bBegun = true;
    };
    const auto tableComplete = [&] {
        const std::optional<ETableKind> kind = KindOf(top);
        if (!kind)
            return false;
        for (const SFieldSpec& field : CTableContent::TableFields(*kind)) {
            if (!top.contains(field.pszName))
                return false;
        }
        return true;
    };

    const json::parser_callback_t callback = [&](int nDepth, json::parse_event_t event, json& parsed) -> bool {
        using E = json::parse_event_t;
        const bool bStart = event == E::object_start || event == E::array_start;
        const bool bEnd = event == E::value || event == E::object_end || event == E::array_end;
        if (bStart && nDepth >= 3) {
            throw CTransferError(bInRecords ? "record " + std::to_string(nRecord + 1) + ": a field that is not " +
                                                  "a string, a number or true or false"
                                            : std::string("a value nested deeper than in a table"));
        }
        if (nDepth == 1 && event == E::key) {
            strKey = parsed.get<std::string>();
            if (top.contains(strKey))
                throw CTransferError("\"" + strKey + "\" given twice");
            return true;
        }
        if (nDepth == 1 && event == E::array_start && strKey == "records") {
            bInRecords = true;
            return true;
        }
        if (bInRecords && nDepth == 2 && bEnd) {
            if (eMode == EMode::Undecided) {
                eMode = tableComplete() ? EMode::Streaming : EMode::Keeping;
                if (eMode == EMode::Streaming)
                    begin();
            }
            ++nRecord;
            if (eMode == EMode::Keeping)
                return true;
            ObjectToCells(parsed, CTableContent::RecordFields(eKind), nRecord, nullptr, cells);
            sink.Record(cells);
            return false;
        }
        if (nDepth == 1 && bEnd) {
            bInRecords = false;
            top[strKey] = std::move(parsed);
            return false;
        }
        return true;
    };

    json document;
    try {
        document = json::parse(in, callback);
    } catch (const json::exception& e) {
        throw CTransferError(std::string("not a JSON document: ") + e.what());
    }
    if (!document.is_object())
        throw CTransferError("not a JSON object");
    if (!bBegun)
        begin();
    const std::vector<SFieldSpec>& fields = CTableContent::RecordFields(eKind);
    const auto records = top.find("records");
    if (fields.empty() != (records == top.end()))
        throw CTransferError(fields.empty() ? "a base-year table has no \"records\"" : "\"records\": missing");
    if (records != top.end()) {
        if (!records->is_array())
            throw CTransferError("\"records\": not an array");
        if (eMode != EMode::Streaming) {
            nRecord = 0;
            for (const json& record : *records) {
                ObjectToCells(record, fields, ++nRecord, nullptr, cells);
                sink.Record(cells);
            }
        }
    }
    sink.End();
}
