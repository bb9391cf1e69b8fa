#include "DateCommand.h"

#include <filesystem>

#include <CLI/CLI.hpp>

#include <corvane/EraDateText.h>
#include <corvane/FileStatus.h>
#include <corvane/GengouEra.h>
#include <framework/Cp932.h>
#include <framework/Env.h>
#include <shared/shipped/RememberedEraFile.h>
#include <shared/shipped/ShippedFiles.h>

namespace {

const char* const kDateHelp = R"(Forms of TEXT (digits ASCII or full-width):
  Western   1989-01-08  1989/1/8  1989年1月8日  1868-閏4-1  1868年閏4月1日
            1989-01  1989年1月  1989  1989年
  Era       平成元年1月8日  平成1年1月8日  平成１年１月８日  昭和六十四年一月七日
            令和元年十二月七日  令和二〇年  慶応4年閏4月1日  慶應4年閏4月1日
            平成元年  平成元  平成1  平成元年1月
  Initials  H1.1.8  H01.01.08  S64.1.7  R7.12.7  M45.7.29  T1.7.30  h1.1.8  H1  H1.1
            (M 明治, T 大正, S 昭和, H 平成, R 令和)

With an era file that gives the eras' first and last days:
  $ corvane date 平成元年1月8日 1989-01-07 1338-08-28
  1989-01-08	平成元年1月8日
  1989-01-07	昭和64年1月7日
  1338-08-28	延元3年8月28日	暦応元年8月28日

Dates before 1873 are dates of the old Japanese calendar (旧暦), as chronologies write them:
no conversion to Gregorian days is made, and the Western year is the year the Japanese year
mostly falls in (慶応3年12月9日 is 1867-12-09). 1872 ends on 12月2日 (明治5年12月2日 was
followed by 明治6年1月1日, 1873-01-01). The day of a change of era belongs to the new era.
In 1331-1392 a day has an era of each court: an era date names its court's era, a Western
date gives both. An era the file gives without days is in force on every day of its first
and last year. A year before 1 is written with a minus after --: corvane date -- -0660

A date that does not exist is an error: 昭和64年1月8日, 平成32年, 2019-02-29, 1872-12-15,
a 13th month, a 31st day before 1873, a leap month after 1872 or in a year whose leap
month the era table places elsewhere.

Exit status: 0 every text was read, 1 a text was not (or the era file cannot be read),
2 a command line error.
)";

std::string Utf8(const CString& str) { return Cp932ToUtf8Lossy(str.View()); }

// The shipped era file, found from the running program's folder; empty when there is none.
std::string ShippedEraFile()
{
    const std::string strProgram = Env::ProgramPath();
    if (strProgram.empty())
        return std::string();
    const std::filesystem::path program(std::u8string(strProgram.begin(), strProgram.end()));
    const std::u8string strDir = program.parent_path().u8string();
    return FindShippedEraFile(std::string(strDir.begin(), strDir.end()));
}

// Reads the era table: the file given (an error when it cannot be read), else the remembered
// one, else the shipped one (each silently, all or nothing). False after the message.
bool LoadEras(const std::string& strGiven, CGengouEra& eras, std::ostream& err)
{
    CString strName;
    if (!strGiven.empty()) {
        if (!Utf8ToCp932(strGiven, strName) || strName.IsEmpty()) {
            err << "corvane: " << strGiven << ": the name has no code page 932 form\n";
            return false;
        }
        const SFileStatus status = eras.Load(strName, HEADER_GENGOU);
        if (!status.Ok()) {
            err << "corvane: " << Utf8(FormatFileStatus(status, strName)) << '\n';
            return false;
        }
        return true;
    }
    for (const std::string& strCandidate : {RememberedEraFile(), ShippedEraFile()}) {
        CGengouEra candidate;
        if (!strCandidate.empty() && Utf8ToCp932(strCandidate, strName) && candidate.Load(strName, HEADER_GENGOU).Ok()) {
            eras = candidate;
            return true;
        }
    }
    err << "corvane: " << Utf8(CP932("元号ファイルが見つかりません。--eras で指定してください")) << '\n';
    return false;
}

} // namespace

CDateCommand::CDateCommand(CLI::App& app)
{
    m_pCommand = app.add_subcommand("date", "Era dates and Western dates both ways: for each TEXT the Western date "
                                            "and the era date of each era in force then (tab-separated)");
    m_pCommand->add_option("TEXT", m_texts, "Era dates or Western dates, e.g. 平成元年1月8日, H1.1.8, 1989-01-08")
        ->required();
    m_pCommand->add_option("--eras", m_strEras,
                           "Era file (.lgn); default: the one Tamber remembers, else the shipped 元号.lgn");
    m_pCommand->footer(kDateHelp);
}

bool CDateCommand::Parsed() const
{
    return m_pCommand->parsed();
}

int CDateCommand::Run(std::ostream& out, std::ostream& err) const
{
    CGengouEra eras;
    if (!LoadEras(m_strEras, eras, err))
        return 1;
    return Print(eras, m_texts, out, err);
}

int CDateCommand::Print(const CGengouEra& eras, const std::vector<std::string>& texts, std::ostream& out,
                        std::ostream& err)
{
    int nStatus = 0;
    for (const std::string& strText : texts) {
        CString strCp932;
        SParsedEraDate parsed;
        CString strError;
        const bool bRead = Utf8ToCp932(strText, strCp932)
                               ? ParseEraDateText(eras, strCp932, parsed, strError)
                               : (strError = CP932("Shift_JISで表せない文字があります"), false);
        if (!bRead) {
            out.flush();
            err << "corvane date: " << strText << ": " << Utf8(strError) << '\n';
            nStatus = 1;
            continue;
        }
        out << Utf8(FormatWesternDate(parsed.date));
        for (const int nIndex : eras.GetIndicesInForce(parsed.date))
            out << '\t' << Utf8(eras.GetEraDateText(nIndex, parsed.date));
        out << '\n';
    }
    return nStatus;
}
