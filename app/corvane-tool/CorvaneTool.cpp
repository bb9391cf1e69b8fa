#include "CorvaneTool.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <filesystem>
#include <fstream>
#include <streambuf>

#include <CLI/CLI.hpp>

#include <shared/chronology/ChronologyText.h>
#include <framework/Cp932.h>
#include <framework/AtomicFile.h>
#include <framework/Env.h>

#include <corvane/TableCheck.h>
#include <corvane/YearText.h>

#include "CsvFormat.h"
#include "DateCommand.h"
#include "JsonFormat.h"
#include "Progress.h"
#include "TableBuilder.h"

#ifndef TAMBER_VERSION
#define TAMBER_VERSION "unknown"
#endif

namespace {

namespace fs = std::filesystem;

const char* const kLayoutHelp = R"(Files:
  Table files are code page 932 text, kept in the library's formats: era names (.lgn),
  periods (.ler), events (.lev) and base years (.lby); the header line says which.
  export writes UTF-8 JSON (default) or CSV; import takes either (JSON when the file
  begins with '{') and writes the table file, by default beside IN with the kind's
  extension. Export followed by import gives back the same table, and for a file the
  library wrote, the same bytes.

JSON layout (keys in this order; records one per line):
  {"kind": "event", "version": 5, "name": "...", "explanation": "...", "today": false,
   "records": [{"year": 710, "month": -1, "day": -1, "leap_month": false,
                "priority": 0, "text": "...", "note": "..."}, ...]}
  era, period: "version", "name", "explanation"; records "era", "begin_year",
               "end_year", "note", "begin_month", "begin_day", "begin_leap_month",
               "end_month", "end_day", "end_leap_month" (month 0: day not known;
               files without these six import as records without days)
  event:       "version", "name", "explanation", "today"; records as above
  base-year:   "version", "name", "base_year", "end_year", "kazoe", "display_minus",
               "minus1", "end_year_plus", "end_year_kaiki", "begin_year_quest",
               "end_year_quest", "supplement"; no records
  "version" is the version in the file's header line (import writes the library's
  current version). Numbers are whole numbers (years -2147483648..2147483647, month and
  day -32768..32767, -1 for none), flags true or false.

CSV layout:
  A header row "kind", the table fields, the record fields; then the table row (kind and
  table fields); then one row per record (kind and table columns empty). Flags 0 or 1.

Texts:
  UTF-8. A text whose bytes have no exact UTF-8 form (bytes code page 932 does not define,
  or a character it encodes twice) is written as "#cp932:" and its bytes in hexadecimal,
  and read back the same way. An imported character with no code page 932 form is an
  error naming the record and field, and nothing is written.

Exit status: 0 success, 1 a file failed, 2 a command line error.
)";

std::string Utf8(const CString& str) { return Cp932ToUtf8Lossy(str.View()); }

// A UTF-8 name as a path (a narrow name would be taken in the ANSI code page on Windows).
fs::path Utf8Path(const std::string& str)
{
    return fs::path(std::u8string(str.begin(), str.end()));
}

// The file name with its extension replaced.
std::string WithExtension(const std::string& strFile, const char* pszExtension)
{
    const std::u8string str = Utf8Path(strFile).replace_extension(pszExtension).u8string();
    return std::string(str.begin(), str.end());
}

const char* Extension(ETableKind eKind)
{
    switch (eKind) {
    case ETableKind::Era: return ".lgn";
    case ETableKind::Period: return ".ler";
    case ETableKind::Event: return ".lev";
    case ETableKind::BaseYear: break;
    }
    return ".lby";
}

// An output stream's buffer over the framework's atomic writer.
class CAtomicFileBuf : public std::streambuf {
public:
    explicit CAtomicFileBuf(CAtomicFile& file) : m_file(file) { setp(m_buffer, m_buffer + sizeof m_buffer); }

protected:
    int_type overflow(int_type ch) override
    {
        if (!Flush())
            return traits_type::eof();
        if (!traits_type::eq_int_type(ch, traits_type::eof()))
            sputc(traits_type::to_char_type(ch));
        return traits_type::not_eof(ch);
    }
    int sync() override { return Flush() ? 0 : -1; }

private:
    bool Flush()
    {
        const bool bDone = pptr() == pbase() ||
                           m_file.Write(std::string_view(pbase(), static_cast<std::size_t>(pptr() - pbase())));
        setp(m_buffer, m_buffer + sizeof m_buffer);
        return bDone;
    }

    CAtomicFile& m_file;
    char m_buffer[1 << 16];
};

// Writes a UTF-8 output file through the framework's atomic writer, put in place only when all is
// written: a failed export leaves a previous file as it was.
bool WriteOutputFile(const fs::path& path, const std::function<void(std::ostream&)>& write, std::string& strProblem)
{
    CAtomicFile file;
    if (file.Open(path)) {
        CAtomicFileBuf buffer(file);
        std::ostream out(&buffer);
        write(out);
        out.flush();
        if (out && file.Commit())
            return true;
    }
    const SEnvError& error = file.Error();
    strProblem = std::string("cannot write: ") + (error.lOsError > 0 ? std::strerror(error.lOsError) : "failed");
    return false;
}

} // namespace

bool CCorvaneTool::Fail(const std::string& strFile, const std::string& strProblem)
{
    m_err << "corvane: " << strFile << ": " << strProblem << '\n';
    return false;
}

void CCorvaneTool::FailStatus(const SFileStatus& status, const std::string& strFile)
{
    m_err << "corvane: " << FormatFileStatusUtf8(status, strFile) << '\n';
}

void CCorvaneTool::FailPartial(const SFileStatus& status, const std::string& strFile, std::size_t nRecords,
                               const char* pszDone)
{
    m_err << "corvane: " << FormatFileStatusUtf8(status, strFile) << "; " << nRecords
          << (nRecords == 1 ? " record " : " records ") << pszDone << " before line " << status.nLine << '\n';
}

std::unique_ptr<CTableContent> CCorvaneTool::Load(const std::string& strFile, std::optional<ETableKind> eExpected,
                                                  SFileStatus* pPartial)
{
    const fs::path path = Env::PathOf(strFile);
    STableHeader header;
    const SFileStatus headerStatus = ReadTableHeader(path, header);
    if (!headerStatus.Ok()) {
        FailStatus(headerStatus, strFile);
        return nullptr;
    }
    if (!header.eKind) {
        Fail(strFile, "not a table file (its first line names no kind of table: \"" + Utf8(header.strWord) + "\")");
        return nullptr;
    }
    const ETableKind eKind = *header.eKind;
    if (eExpected && *eExpected != eKind) {
        Fail(strFile, std::string("a table of kind ") + CTableContent::KindName(eKind) + ", not " +
                          CTableContent::KindName(*eExpected));
        return nullptr;
    }
    auto pContent = std::make_unique<CTableContent>(eKind);
    const SFileStatus status = pContent->Load(path, header.nVersion);
    if (pPartial && status.nLine > 0) {
        *pPartial = status;
        return pContent;
    }
    if (!status.Ok()) {
        FailStatus(status, strFile);
        return nullptr;
    }
    return pContent;
}

int CCorvaneTool::Save(CTableContent& content, const std::string& strFile)
{
    const SFileStatus status = content.Save(Env::PathOf(strFile));
    return status.Ok() ? 0 : (FailStatus(status, strFile), 1);
}

int CCorvaneTool::Info(const std::vector<std::string>& files)
{
    int nStatus = 0;
    for (const std::string& strFile : files) {
        std::unique_ptr<CTableContent> pContent = Load(strFile);
        if (!pContent) {
            nStatus = 1;
            continue;
        }
        const ETableKind eKind = pContent->Kind();
        CFieldRow table;
        pContent->GetTableRow(table);
        m_out << strFile << "\n  kind: " << CTableContent::KindName(eKind) << "\n  version: "
              << table[CTableContent::TABLE_VERSION].llValue << "\n  name: " << Utf8(table[CTableContent::TABLE_NAME].str)
              << '\n';
        if (eKind == ETableKind::BaseYear) {
            m_out << "  base year: " << table[CTableContent::BASE_YEAR].llValue << "\n  end year: ";
            if (table[CTableContent::BASE_END_YEAR].llValue == NO_END_YEAR)
                m_out << "none\n";
            else
                m_out << table[CTableContent::BASE_END_YEAR].llValue << '\n';
            continue;
        }
        // A line break of the explanation continues on an indented line.
        std::string strExplanation = Utf8(table[CTableContent::TABLE_EXPLANATION].str);
        for (std::size_t n = 0; (n = strExplanation.find("\r\n", n)) != std::string::npos;)
            strExplanation.replace(n, 2, "\n    ");
        m_out << "  explanation: " << strExplanation << "\n  records: " << pContent->RecordCount() << '\n';
    }
    return nStatus;
}

int CCorvaneTool::Check(const std::vector<std::string>& files, bool bStrict)
{
    int nStatus = 0;
    for (const std::string& strFile : files) {
        SFileStatus partial;
        const std::unique_ptr<CTableContent> pContent = Load(strFile, std::nullopt, &partial);
        if (!pContent) {
            nStatus = 1;
            continue;
        }
        // The strict check: every line that is not as the writer writes it.
        std::vector<STableFinding> findings;
        const SFileStatus status = CheckTableFile(Env::PathOf(strFile), findings, pContent->Kind());
        if (!status.Ok()) {
            FailStatus(status, strFile);
            nStatus = 1;
            continue;
        }
        for (const STableFinding& finding : findings)
            m_out << strFile << ':' << finding.nLine << ": "
                  << (finding.eLevel == ECheckLevel::Error || bStrict ? "error" : "warning") << ": "
                  << Utf8(finding.strReason) << '\n';
        if (HasCheckErrors(findings, bStrict))
            nStatus = 1;
        if (!partial.Ok()) {
            nStatus = 1;
            FailPartial(partial, strFile, pContent->RecordCount(), "readable");
        }
    }
    return nStatus;
}

int CCorvaneTool::List(const std::string& strEvents, const std::string& strEras, const std::string& strPeriods,
                       const std::string& strBase, const std::string& strPriority)
{
    std::unique_ptr<CTableContent> pEvents = Load(strEvents, ETableKind::Event);
    std::unique_ptr<CTableContent> pEras;
    std::unique_ptr<CTableContent> pPeriods;
    std::unique_ptr<CTableContent> pBase;
    if (!pEvents || (!strEras.empty() && !(pEras = Load(strEras, ETableKind::Era))) ||
        (!strPeriods.empty() && !(pPeriods = Load(strPeriods, ETableKind::Period))) ||
        (!strBase.empty() && !(pBase = Load(strBase, ETableKind::BaseYear))))
        return 1;
    const EEventPriority eFilter = strPriority == "high" ? PRIORITY_HIGH : strPriority == "middle" ? PRIORITY_MIDDLE
                                                                                                 : PRIORITY_ALL;
    const CChronologyText text(pEras ? pEras->Eras() : nullptr, pPeriods ? pPeriods->Eras() : nullptr,
                               pBase ? pBase->BaseYear() : nullptr);
    for (const auto& pEvent : pEvents->Events()->GetEventData()) {
        if (!CYearEvent::IsShown(*pEvent, eFilter))
            continue;
        SChronologyRow row = text.MakeRow(*pEvent);
        row.strDate.TrimRight();
        m_out << Utf8(row.strYear) << '\t' << Utf8(row.strEraYear) << '\t' << Utf8(row.strPeriod) << '\t'
              << Utf8(row.strBaseYear) << '\t' << Utf8(row.strDate) << '\t' << Utf8(row.strText) << '\n';
    }
    return 0;
}

int CCorvaneTool::Export(const std::string& strFile, const std::string& strFormat, const std::string& strOut,
                         bool bPartial)
{
    SFileStatus partial;
    std::unique_ptr<CTableContent> pContent = Load(strFile, std::nullopt, bPartial ? &partial : nullptr);
    if (!pContent)
        return 1;
    // What a damaged file held before the line that stopped it is written, and still counts as a failure.
    const int nDone = partial.Ok() ? 0 : 1;
    if (!partial.Ok())
        FailPartial(partial, strFile, pContent->RecordCount(), "exported");
    const auto write = [&](std::ostream& out) {
        CProgress progress(m_err, m_bProgress && pContent->RecordCount() > CProgress::kShownFrom, "exported");
        if (strFormat == "csv") {
            CCsvFormat::CWriter writer(out);
            CTableSink::Export(*pContent, writer, &progress);
        } else {
            CJsonFormat::CWriter writer(out);
            CTableSink::Export(*pContent, writer, &progress);
        }
    };
    if (strOut.empty() || strOut == "-") {
        write(m_out);
        return nDone;
    }
    std::string strProblem;
    return WriteOutputFile(Env::PathOf(strOut), write, strProblem) ? nDone : (Fail(strOut, strProblem), 1);
}

int CCorvaneTool::Import(const std::string& strIn, std::string strOut)
{
    std::ifstream in(Utf8Path(strIn), std::ios::binary);
    if (!in)
        return Fail(strIn, std::string("cannot open: ") + std::strerror(errno)), 1;
    const bool bJson = CJsonFormat::IsJson(in);

    CProgress progress(m_err, m_bProgress, "imported");
    CTableBuilder builder(&progress);
    try {
        if (bJson)
            CJsonFormat::Read(in, builder);
        else
            CCsvFormat::Read(in, builder);
    } catch (const CTransferError& e) {
        return Fail(strIn, e.what()), 1;
    } catch (const std::bad_alloc&) {
        return Fail(strIn, "too large to import: out of memory"), 1;
    }
    if (in.bad())
        return Fail(strIn, "cannot read"), 1;
    std::unique_ptr<CTableContent> pContent = builder.Take();
    if (strOut.empty())
        strOut = WithExtension(strIn, Extension(pContent->Kind()));
    return Save(*pContent, strOut);
}

int CCorvaneTool::Merge(const std::vector<std::string>& files, const std::string& strOut)
{
    std::unique_ptr<CTableContent> pResult = Load(files[0], ETableKind::Event);
    if (!pResult)
        return 1;
    for (std::size_t i = 1; i < files.size(); ++i) {
        std::unique_ptr<CTableContent> pOther = Load(files[i], ETableKind::Event);
        if (!pOther)
            return 1;
        pResult->Events()->Merge(*pOther->Events());
    }
    return Save(*pResult, strOut);
}

int CCorvaneTool::Label(const std::string& strBase, const std::vector<std::string>& years)
{
    std::vector<std::int32_t> values;
    for (const std::string& strYear : years) {
        std::int32_t lYear = 0;
        if (!ParseTypedYear(strYear, lYear)) {
            m_err << "corvane label: " << strYear << ": not a year (a whole number, -2147483648 to 2147483647)\n";
            return 2;
        }
        values.push_back(lYear);
    }
    std::unique_ptr<CTableContent> pBase = Load(strBase, ETableKind::BaseYear);
    if (!pBase)
        return 1;
    for (const std::int32_t lYear : values) {
        CString strLabel;
        pBase->BaseYear()->MakeBaseYearStr(lYear, strLabel);
        m_out << lYear << '\t' << Utf8(strLabel) << '\n';
    }
    return 0;
}

int CCorvaneTool::Run(int argc, const char* const* argv)
{
    CLI::App app("corvane: look into, check and convert the table files of the Corvane library", "corvane");
    app.set_version_flag("--version", TAMBER_VERSION);
    app.footer(kLayoutHelp);
    app.require_subcommand(1, 1);

    std::vector<std::string> files;
    std::vector<std::string> years;
    std::string strFile;
    std::string strOut;
    std::string strFormat = "json";
    std::string strEras;
    std::string strPeriods;
    std::string strBase;
    std::string strPriority = "all";

    CLI::App* pInfo = app.add_subcommand("info", "Kind, version, name, explanation and number of records of each file");
    pInfo->add_option("FILE", files, "Table files")->required();
    CLI::App* pCheck = app.add_subcommand(
        "check", "Check each file strictly: print FILE:LINE: error|warning: reason for every line that is not as the "
                 "library writes it (a cut, an open quote, a number that is no number...); exit status 1 on an error");
    pCheck->add_option("FILE", files, "Table files")->required();
    bool bStrict = false;
    pCheck->add_flag("--strict", bStrict, "Warnings (what a hand-made or older file may hold) are errors too");
    CLI::App* pList = app.add_subcommand(
        "list", "The chronology as text, one event per line: year, era year, period, base-year label, date, text "
                "(tab-separated)");
    pList->add_option("EVENTS", strFile, "Event file (.lev)")->required();
    pList->add_option("--era", strEras, "Era file (.lgn) for the era years");
    pList->add_option("--period", strPeriods, "Period file (.ler) for the periods");
    pList->add_option("--base", strBase, "Base-year file (.lby) for the labels");
    pList->add_option("--priority", strPriority, "Events shown: high, middle or all (default)")
        ->check(CLI::IsMember({"high", "middle", "all"}));
    CLI::App* pExport = app.add_subcommand("export", "Every field of a table file as UTF-8 JSON or CSV");
    pExport->add_option("FILE", strFile, "Table file")->required();
    pExport->add_option("--format", strFormat, "json (default) or csv")->check(CLI::IsMember({"json", "csv"}));
    pExport->add_option("-o,--output", strOut, "Output file (default: standard output)");
    bool bPartial = false;
    pExport->add_flag("--partial", bPartial,
                      "Of a file damaged at a line, write the records before that line (exit status 1)");
    CLI::App* pImport = app.add_subcommand("import", "A table file from JSON or CSV as export writes them");
    pImport->add_option("IN", strFile, "JSON or CSV file")->required();
    pImport->add_option("-o,--output", strOut, "Table file to write (default: IN with the kind's extension)");
    CLI::App* pMerge = app.add_subcommand("merge", "Merge the events of B... into A by date and write OUT");
    pMerge->add_option("FILES", files, "Event files A B...")->required()->expected(2, -1);
    pMerge->add_option("-o,--output", strOut, "Event file to write")->required();
    CLI::App* pLabel = app.add_subcommand("label", "The base-year label of each year (tab-separated)");
    pLabel->add_option("BASE", strBase, "Base-year file (.lby)")->required();
    pLabel->add_option("YEAR", years, "Western years")->required();
    const CDateCommand date(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e, m_out, m_err);
    } catch (const CLI::ParseError& e) {
        app.exit(e, m_out, m_err);
        return 2;
    }

    if (pInfo->parsed())
        return Info(files);
    if (pCheck->parsed())
        return Check(files, bStrict);
    if (pList->parsed())
        return List(strFile, strEras, strPeriods, strBase, strPriority);
    if (pExport->parsed())
        return Export(strFile, strFormat, strOut, bPartial);
    if (pImport->parsed())
        return Import(strFile, strOut);
    if (pMerge->parsed())
        return Merge(files, strOut);
    if (date.Parsed())
        return date.Run(m_out, m_err);
    return Label(strBase, years);
}
