#include "JsonFormat.h"

#include <limits>
#include <optional>
#include <string>
#include <string_view>

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

namespace {

// The state of one reading. The top-level values are taken out of the document as they come.
// Once the table fields are all there, each record is handed on as soon as it is parsed and
// dropped, so that a large file never stands whole in memory. When the first record comes before
// the table is complete, the records are kept and handed on at the end.
class CJsonReader {
public:
    explicit CJsonReader(CTableSink& sink) : m_sink(sink) {}

    // The parser's callback: false drops the value just parsed.
    bool OnEvent(int nDepth, json::parse_event_t event, json& parsed);
    // After the whole document: the table (if not yet begun), the kept records, the end.
    void Finish(const json& document);

private:
    enum class EMode { Undecided, Streaming, Keeping };

    void Begin();
    bool TableComplete() const;
    bool OnRecord(json& parsed);

    CTableSink& m_sink;
    EMode m_eMode = EMode::Undecided;
    json m_top = json::object();
    std::string m_strKey;
    bool m_bInRecords = false;
    bool m_bBegun = false;
    ETableKind m_eKind = ETableKind::Event;
    std::size_t m_nRecord = 0;
    CCellRow m_cells;
};

void CJsonReader::Begin()
{
    const std::optional<ETableKind> kind = KindOf(m_top);
    if (!kind)
        throw CTransferError("table, field \"kind\": missing");
    m_eKind = *kind;
    ObjectToCells(m_top, CTableContent::TableFields(m_eKind), 0, "records", m_cells);
    m_sink.Begin(m_eKind, m_cells);
    m_bBegun = true;
}

bool CJsonReader::TableComplete() const
{
    const std::optional<ETableKind> kind = KindOf(m_top);
    if (!kind)
        return false;
    for (const SFieldSpec& field : CTableContent::TableFields(*kind)) {
        if (!m_top.contains(field.pszName))
            return false;
    }
    return true;
}

bool CJsonReader::OnRecord(json& parsed)
{
    if (m_eMode == EMode::Undecided) {
        m_eMode = TableComplete() ? EMode::Streaming : EMode::Keeping;
        if (m_eMode == EMode::Streaming)
            Begin();
    }
    ++m_nRecord;
    if (m_eMode == EMode::Keeping)
        return true;
    ObjectToCells(parsed, CTableContent::RecordFields(m_eKind), m_nRecord, nullptr, m_cells);
    m_sink.Record(m_cells);
    return false;
}

bool CJsonReader::OnEvent(int nDepth, json::parse_event_t event, json& parsed)
{
    using E = json::parse_event_t;
    const bool bStart = event == E::object_start || event == E::array_start;
    const bool bEnd = event == E::value || event == E::object_end || event == E::array_end;
    if (bStart && nDepth >= 3) {
        throw CTransferError(m_bInRecords ? "record " + std::to_string(m_nRecord + 1) + ": a field that is not " +
                                                "a string, a number or true or false"
                                          : std::string("a value nested deeper than in a table"));
    }
    if (nDepth == 1 && event == E::key) {
        m_strKey = parsed.get<std::string>();
        if (m_top.contains(m_strKey))
            throw CTransferError("\"" + m_strKey + "\" given twice");
        return true;
    }
    if (nDepth == 1 && event == E::array_start && m_strKey == "records") {
        m_bInRecords = true;
        return true;
    }
    if (m_bInRecords && nDepth == 2 && bEnd)
        return OnRecord(parsed);
    if (nDepth == 1 && bEnd) {
        m_bInRecords = false;
        m_top[m_strKey] = std::move(parsed);
        return false;
    }
    return true;
}

void CJsonReader::Finish(const json& document)
{
    if (!document.is_object())
        throw CTransferError("not a JSON object");
    if (!m_bBegun)
        Begin();
    const std::vector<SFieldSpec>& fields = CTableContent::RecordFields(m_eKind);
    const auto records = m_top.find("records");
    if (fields.empty() != (records == m_top.end()))
        throw CTransferError(fields.empty() ? "a base-year table has no \"records\"" : "\"records\": missing");
    if (records != m_top.end()) {
        if (!records->is_array())
            throw CTransferError("\"records\": not an array");
        if (m_eMode != EMode::Streaming) {
            m_nRecord = 0;
            for (const json& record : *records) {
                ObjectToCells(record, fields, ++m_nRecord, nullptr, m_cells);
                m_sink.Record(m_cells);
            }
        }
    }
    m_sink.End();
}

} // namespace

bool CJsonFormat::IsJson(std::istream& in)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    std::string strStart(kByteOrderMark.size(), '\0');
    in.read(strStart.data(), static_cast<std::streamsize>(strStart.size()));
    strStart.resize(static_cast<std::size_t>(in.gcount()));
    std::size_t nPos = strStart == kByteOrderMark ? strStart.size() : 0;
    char ch = 0;
    bool bJson = false;
    for (;;) {
        if (nPos < strStart.size())
            ch = strStart[nPos++];
        else if (!in.get(ch))
            break;
        if (ch != ' ' && ch != '\t' && ch != '\r' && ch != '\n') {
            bJson = ch == '{';
            break;
        }
    }
    in.clear();
    in.seekg(0);
    return bJson;
}

void CJsonFormat::Read(std::istream& in, CTableSink& sink)
{
    CJsonReader reader(sink);
    const json::parser_callback_t callback = [&reader](int nDepth, json::parse_event_t event, json& parsed) {
        return reader.OnEvent(nDepth, event, parsed);
    };
    json document;
    try {
        document = json::parse(in, callback);
    } catch (const json::exception& e) {
        throw CTransferError(std::string("not a JSON document: ") + e.what());
    }
    reader.Finish(document);
}
