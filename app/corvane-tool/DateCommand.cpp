#include "DateCommand.h"

#include <filesystem>
#include <iostream>
#include <optional>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <corvane/Calendar.h>
#include <corvane/EraDateText.h>
#include <corvane/SexagenaryCycle.h>
#include <corvane/FileStatus.h>
#include <corvane/GengouEra.h>
#include <framework/Cp932.h>
#include <shared/shipped/DefaultEras.h>

namespace {

const char* const kDateHelp = R"(Forms of TEXT (digits ASCII or full-width):
  Western   1989-01-08  1989/1/8  1989年1月8日  1868-閏4-1  1868年閏4月1日  19890108
            1989-01  1989年1月  1989  1989年  西暦1989年  1945年(昭和20年)8月15日
  Era       平成元年1月8日  平成1年1月8日  平成１年１月８日  昭和六十四年一月七日
            令和元年十二月七日  令和二〇年  慶応4年閏4月1日  慶應4年閏4月1日  ㍻元年
            平成弐年壱月拾日  平成廿年  平成元年  平成元  平成1  平成元年1月  平成元.1.8
  Initials  H1.1.8  H01.01.08  S64.1.7  R7.12.7  M45.7.29  T1.7.30  h1.1.8  H1  H1.1
            H.1.1.8  H元.1.8  Ｈ１．１．８  平1.1.8  (M 明 明治, T 大 大正, S 昭 昭和,
            H 平 平成, R 令 令和)
  Old days  天正十年壬午六月二日 (the year's 干支, checked)  天正10年6月晦日  6月朔日
            元日  正月  延暦十三年十月辛酉 (the day's 干支)  天正十年六月丁亥朔
  Days      ユリウス暦1582年6月21日  グレゴリオ暦1600年10月21日  JD2299161
  After     (日) a weekday, checked; 頃 or ごろ
  -         the lines of the standard input, one text a line

With an era file that gives the eras' first and last days:
  $ corvane date 平成元年1月8日 天正10年6月2日 1338-08-28
  1989-01-08	1989-01-08	平成元年1月8日
  1582-06-02	1582-06-21(ユリウス暦)	天正10年6月2日
  1338-08-28	1338-10-11(ユリウス暦)	延元3年8月28日	暦応元年8月28日

The first column is the date as chronologies write it: before 1873 a date of the
old Japanese calendar (旧暦), the Western year being the year the Japanese year mostly
falls in (慶応3年12月9日 is 1867-12-09); 1872 ends on 12月2日 (明治5年12月2日 was followed
by 明治6年1月1日, 1873-01-01). The second is the Western day it was, from 701-02-13 on:
Julian before 1582-10-15, Gregorian from then on (--gregorian: proleptic Gregorian
throughout); "-" for a month, a year or an older day. --long adds the weekday and the
day's 干支. The day of a change of era belongs to the new era. In 1331-1392 a day has an
era of each court: an era date names its court's era, a Western date gives both, the
southern court first. An era the file gives without days is in force on every day of its
first and last year. A year before 1 is written with a minus after --: corvane date -- -0660

--json prints one object a text: text, date, jdn, julian, gregorian, weekday (0 Monday ..
6 Sunday), sexagenary_day, eras, courts ("南朝"/"北朝" in 1331-1392), and error for a text
that was not read.

A date that does not exist is an error: 昭和64年1月8日, 平成32年, 2019-02-29, 1872-12-15,
a 13th month, a day after the month's last, a leap month after 1872 or in a year that had
another, a 干支 or weekday that is not the date's.

Exit status: 0 every text was read, 1 a text was not (or the era file cannot be read),
2 a command line error.
)";

std::string Utf8(const CString& str) { return Cp932ToUtf8Lossy(str.View()); }

// Reads the era table: the file given (an error when it cannot be read; any name the system
// allows), else the default one (shared/shipped/DefaultEras.h: the remembered file, else the
// shipped one, each silently and all or nothing). False after the message.
bool LoadEras(const std::string& strGiven, CGengouEra& eras, std::ostream& err)
{
    if (!strGiven.empty()) {
        std::string strMessage;
        if (LoadNamedEraFile(strGiven, eras, strMessage))
            return true;
        err << "corvane: " << strMessage << '\n';
        return false;
    }
    if (LoadDefaultEras(RunningProgramDir(), eras))
        return true;
    err << "corvane: " << Utf8(CP932("元号ファイルが見つかりません。--eras で指定してください")) << '\n';
    return false;
}

// Whether str is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsUtf8(std::string_view str)
{
    for (std::size_t i = 0; i < str.size();) {
        const auto b = static_cast<unsigned char>(str[i]);
        const std::size_t nLength = b < 0x80 ? 1 : b >= 0xC2 && b < 0xE0 ? 2 : b >= 0xE0 && b < 0xF0 ? 3 : b >= 0xF0 && b < 0xF5 ? 4 : 0;
        if (nLength == 0 || i + nLength > str.size())
            return false;
        char32_t ch = nLength == 1 ? b : b & (0x7F >> nLength);
        for (std::size_t k = 1; k < nLength; ++k) {
            const auto c = static_cast<unsigned char>(str[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            ch = (ch << 6) | (c & 0x3F);
        }
        static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (ch < kLeast[nLength] || ch > 0x10FFFF || (ch >= 0xD800 && ch < 0xE000))
            return false;
        i += nLength;
    }
    return true;
}

// A text as a message shows it: at most 64 characters, control characters as \xNN.
std::string Shown(std::string_view str)
{
    std::string strShown;
    int nChars = 0;
    for (std::size_t i = 0; i < str.size(); ++i) {
        const auto b = static_cast<unsigned char>(str[i]);
        if ((b & 0xC0) != 0x80 && nChars++ == 64)
            return strShown + "…";
        if (b < 0x20 || b == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            strShown += {'\\', 'x', kHex[b >> 4], kHex[b & 15]};
        } else {
            strShown += static_cast<char>(b);
        }
    }
    return strShown;
}

// Reads one text (UTF-8); false with the reason.
bool ReadText(const CGengouEra& eras, const std::string& strText, SParsedEraDate& parsed, CString& strError)
{
    if (!IsUtf8(strText)) {
        strError = CP932("UTF-8として正しくないバイトがあります");
        return false;
    }
    std::string strWide = strText;
    for (std::size_t n = strWide.find("㋿"); n != std::string::npos; n = strWide.find("㋿", n))
        strWide.replace(n, std::string_view("㋿").size(), "令和");
    CString strCp932;
    if (!Utf8ToCp932(strWide, strCp932)) {
        strError = CP932("Shift_JIS(コードページ932)で表せない文字があります");
        return false;
    }
    return ParseEraDateText(eras, strCp932, parsed, strError);
}

// The eras in force at date, the southern court before the northern, each with its court
// ("南朝", "北朝") in 1331-1392 from the records' notes (the other of two eras is of the other
// court); courts is empty at other times.
void ErasInForce(const CGengouEra& eras, const SEraDate& date, std::vector<int>& indices,
                 std::vector<std::string>& courts)
{
    indices = eras.GetIndicesInForce(date);
    courts.assign(indices.size(), std::string());
    bool bAny = false;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        const std::string_view note = eras.GetGengouEraTable()[static_cast<std::size_t>(indices[i])].strNote.View();
        if (note.starts_with(CP932("南朝").View()))
            courts[i] = "南朝";
        else if (note.starts_with(CP932("北朝").View()))
            courts[i] = "北朝";
        bAny = bAny || !courts[i].empty();
    }
    if (!bAny || date.lYear < 1331 || date.lYear > 1392) {
        courts.clear();
        return;
    }
    if (indices.size() == 2 && (courts[0].empty() != courts[1].empty()))
        (courts[0].empty() ? courts[0] : courts[1]) = courts[0] == "南朝" || courts[1] == "南朝" ? "北朝" : "南朝";
    for (std::size_t i = 1; i < indices.size(); ++i)   // the southern court first, else table order
        for (std::size_t k = i; k > 0 && courts[k] == "南朝" && courts[k - 1] != "南朝"; --k) {
            std::swap(indices[k], indices[k - 1]);
            std::swap(courts[k], courts[k - 1]);
        }
}

std::string IsoText(const SWesternDate& date)
{
    return Utf8(FormatWesternDate({date.lYear, date.nMonth, false, date.nDay}));
}

// What the lines say of a day: its number, Western days, weekday and 干支.
struct SDayFacts {
    std::optional<std::int64_t> jdn;
    SWesternDate julian;
    SWesternDate gregorian;
    int nWeekday = 0;
    std::string strCycle;
};

SDayFacts FactsOf(const SEraDate& date)
{
    SDayFacts facts;
    std::int64_t lJdn = 0;
    if (date.nDay == 0 || !CCalendar::JdnOfDate(date, lJdn) || !CCalendar::JdnToJulian(lJdn, facts.julian) ||
        !CCalendar::JdnToGregorian(lJdn, facts.gregorian))
        return facts;
    facts.jdn = lJdn;
    facts.nWeekday = CCalendar::Weekday(lJdn);
    const int nCycle = CCalendar::SexagenaryDay(lJdn);
    CString strStem;
    CString strBranch;
    CSexagenaryCycle().GetStemName(nCycle % 10, strStem);
    CSexagenaryCycle().GetBranchName(nCycle % 12, strBranch);
    facts.strCycle = Utf8(strStem) + Utf8(strBranch);
    return facts;
}

void PrintLine(const CGengouEra& eras, const SEraDate& date, const SDateStyle& style, std::ostream& out)
{
    static const char* const kWeekdays[] = {"月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日", "日曜日"};
    const SDayFacts facts = FactsOf(date);
    out << Utf8(FormatWesternDate(date)) << '\t';
    if (!facts.jdn)
        out << (style.bLong ? "-\t-\t-" : "-");
    else if (style.bGregorian || *facts.jdn >= CCalendar::GREGORIAN_REFORM_JDN)
        out << IsoText(facts.gregorian);
    else
        out << IsoText(facts.julian) << "(ユリウス暦)";
    if (facts.jdn && style.bLong)
        out << '\t' << kWeekdays[facts.nWeekday] << '\t' << facts.strCycle;
    std::vector<int> indices;
    std::vector<std::string> courts;
    ErasInForce(eras, date, indices, courts);
    for (const int nIndex : indices)
        out << '\t' << Utf8(eras.GetEraDateText(nIndex, date));
    out << '\n';
}

void PrintJson(const CGengouEra& eras, const std::string& strText, const SEraDate* pDate, const CString& strError,
               std::ostream& out)
{
    using json = nlohmann::ordered_json;   // the keys in the order given
    json line = {{"text", strText}, {"date", nullptr}, {"jdn", nullptr}, {"julian", nullptr}, {"gregorian", nullptr},
                 {"weekday", nullptr}, {"sexagenary_day", nullptr}, {"eras", json::array()}, {"courts", json::array()}};
    if (pDate) {
        const SDayFacts facts = FactsOf(*pDate);
        line["date"] = Utf8(FormatWesternDate(*pDate));
        if (facts.jdn) {
            line["jdn"] = *facts.jdn;
            line["julian"] = IsoText(facts.julian);
            line["gregorian"] = IsoText(facts.gregorian);
            line["weekday"] = facts.nWeekday;
            line["sexagenary_day"] = facts.strCycle;
        }
        std::vector<int> indices;
        std::vector<std::string> courts;
        ErasInForce(eras, *pDate, indices, courts);
        for (const int nIndex : indices)
            line["eras"].push_back(Utf8(eras.GetEraDateText(nIndex, *pDate)));
        line["courts"] = courts;
    } else {
        line["error"] = Utf8(strError);
    }
    out << line.dump(-1, ' ', false, json::error_handler_t::replace) << '\n';
}

// One text: its line, or its message. False when it was not read.
bool PrintText(const CGengouEra& eras, const std::string& strText, const SDateStyle& style,
               std::ostream& out, std::ostream& err)
{
    SParsedEraDate parsed;
    CString strError;
    if (ReadText(eras, strText, parsed, strError)) {
        if (style.bJson)
            PrintJson(eras, strText, &parsed.date, strError, out);
        else
            PrintLine(eras, parsed.date, style, out);
        return true;
    }
    if (style.bJson)
        PrintJson(eras, strText, nullptr, strError, out);
    out.flush();
    // The reason names the text itself where it writes the date as the text wrote it.
    const std::string strReason = Utf8(strError);
    if (strReason.starts_with(strText) && !strText.empty())
        err << "corvane date: " << Shown(strText) << strReason.substr(strText.size()) << '\n';
    else
        err << "corvane date: " << Shown(strText) << ": " << strReason << '\n';
    return false;
}

} // namespace

CDateCommand::CDateCommand(CLI::App& app)
{
    m_pCommand = app.add_subcommand("date", "Era dates and Western dates both ways: for each TEXT the Western date "
                                            "and the era date of each era in force then (tab-separated)");
    m_pCommand->add_option("TEXT", m_texts,
                           "Era dates or Western dates, e.g. 平成元年1月8日, H1.1.8, 1989-01-08; - for the lines of "
                           "the standard input")
        ->required();
    m_pCommand->add_flag("--long", m_style.bLong, "Also the weekday and the day's 干支");
    m_pCommand->add_flag("--gregorian", m_style.bGregorian, "Western days in the proleptic Gregorian calendar throughout");
    m_pCommand->add_flag("--json", m_style.bJson, "One JSON object a text");
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
    return Print(eras, m_texts, out, err, m_style, &std::cin);
}

int CDateCommand::Print(const CGengouEra& eras, const std::vector<std::string>& texts, std::ostream& out,
                        std::ostream& err, const SDateStyle& style, std::istream* pIn)
{
    int nStatus = 0;
    for (const std::string& strText : texts) {
        if (strText != "-" || !pIn) {
            if (!PrintText(eras, strText, style, out, err))
                nStatus = 1;
            continue;
        }
        for (std::string strLine; std::getline(*pIn, strLine);) {
            if (!strLine.empty() && strLine.back() == '\r')
                strLine.pop_back();
            if (!PrintText(eras, strLine, style, out, err))
                nStatus = 1;
        }
    }
    return nStatus;
}
