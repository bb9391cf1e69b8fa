#include "TamberCli.h"

#include <filesystem>
#include <ostream>
#include <string_view>

#include <tamber/core/CycleConverter.h>
#include <shared/shipped/DefaultEras.h>
#include <corvane/EraDateText.h>
#include <corvane/FileStatus.h>
#include <corvane/YearText.h>
#include <corvane/HtmlManage.h>
#include <framework/Cp932.h>

namespace {

const char* const kUsage =
    "使い方:\n"
    "  tamber-cli [--era-file ファイル] 年\n"
    "      年の干支を表示します。年は 1984、-660 (紀元前)、昭和59、平成元、H1、\n"
    "      平成元年1月8日 のように書きます(和暦の日付はその年を表します)。\n"
    "  tamber-cli [--era-file ファイル] 干支 [開始年] [終了年]\n"
    "      干支(甲子、または十二支だけの 子)に当たる年を表示します。開始年と終了年の両方で\n"
    "      その間の年を、片方だけでその年以降または以前でもっとも近い年を求めます。\n"
    "      使わない方は - とします。\n"
    "  --era-file ファイル  元号ファイル(.lgn)。省略すると Tamber が記憶している\n"
    "                       ファイル、それもなければ同梱の 元号.lgn を読みます。\n"
    "  --help     この説明を表示します。\n"
    "  --version  版を表示します。\n";

// Full-width digits and signs, which Japanese input methods type, as their ASCII forms: １９８４
// reads as 1984, 昭和５９ as 昭和59. Everything else is kept.
std::string NarrowDigits(const std::string& strArg)
{
    // In UTF-8: ０..９ are EF BC 90..99, ＋ EF BC 8B, － EF BC 8D, and − (minus sign) E2 88 92.
    std::string str;
    for (std::size_t i = 0; i < strArg.size(); ++i) {
        const std::string_view rest = std::string_view(strArg).substr(i);
        if (rest.size() >= 3 && rest.substr(0, 2) == "\xEF\xBC") {
            const auto ch = static_cast<unsigned char>(rest[2]);
            if (ch >= 0x90 && ch <= 0x99) {
                str += static_cast<char>('0' + (ch - 0x90));
                i += 2;
                continue;
            }
            if (ch == 0x8B || ch == 0x8D) {
                str += ch == 0x8B ? '+' : '-';
                i += 2;
                continue;
            }
        }
        if (rest.substr(0, 3) == "\xE2\x88\x92") {
            str += '-';
            i += 2;
            continue;
        }
        str += strArg[i];
    }
    return str;
}

bool IsDigitOrSign(char ch)
{
    return (ch >= '0' && ch <= '9') || ch == '-' || ch == '+';
}

// The offsets at which the characters of str begin.
std::vector<int> CharStarts(const CString& str)
{
    std::vector<int> starts;
    for (int i = 0; i < str.GetLength(); i += str.CharLength(i))
        starts.push_back(i);
    return starts;
}

// Removes the character strSuffix from the end of str when it is the last character; true if so.
bool CutLastChar(CString& str, const CString& strSuffix)
{
    const std::vector<int> starts = CharStarts(str);
    if (starts.empty() || str.Mid(starts.back()) != strSuffix)
        return false;
    str = str.Left(starts.back());
    return true;
}

std::string ToUtf8(const CString& str)
{
    return Cp932ToUtf8Lossy(str.View());
}

// The message for a year that cannot be read: the era-date reader's reason, naming the text once.
std::string YearError(const CString& strText, const CString& strReason)
{
    if (strReason.IsEmpty())
        return ToUtf8(CP932("年の指定が正しくありません")) + ": " + ToUtf8(strText);
    if (strReason.View().starts_with(strText.View()))
        return ToUtf8(strReason);
    return ToUtf8(strText) + ": " + ToUtf8(strReason);
}

} // namespace

bool CTamberCli::SplitYear(const CString& strArg, CString& strEra, std::int32_t& lYear)
{
    CString strText = strArg;
    CutLastChar(strText, CP932("年"));
    if (strText.IsEmpty())
        return false;

    // The era name ends where the number begins; a digit or a sign never is the second byte of a
    // double-byte character, so the first one at a character start is the number's.
    for (const int nStart : CharStarts(strText)) {
        if (IsDigitOrSign(strText.GetAt(nStart))) {
            std::int32_t lNumber = 0;
            if (!ParseTypedYear(ToUtf8(strText.Mid(nStart)), lNumber))
                return false;
            strEra = strText.Left(nStart);
            lYear = lNumber;
            return true;
        }
    }
    // The first year of an era is written 元: 平成元, 元和元.
    if (CutLastChar(strText, CP932("元")) && !strText.IsEmpty()) {
        strEra = strText;
        lYear = 1;
        return true;
    }
    return false;
}

bool CTamberCli::SplitEraDate(const CString& strArg, CString& strEra, std::int32_t& lYear, CString* pstrReason) const
{
    SParsedEraDate parsed;
    CString strError;
    if (ParseEraDateText(m_eraTable, strArg, parsed, strError) && parsed.nEra >= 0) {
        CHtmlManage().RemoveHtml(m_eraTable.GetAt(parsed.nEra).strGengou, strEra);
        lYear = parsed.lEraYear;
        return true;
    }
    if (SplitYear(strArg, strEra, lYear))
        return true;
    if (pstrReason)
        *pstrReason = strError;
    return false;
}

int CTamberCli::Print(const CString& strResult, std::ostream& out)
{
    CString strText = strResult;
    strText.Replace("\r\n", "\n");
    std::string strUtf8 = ToUtf8(strText);
    if (strUtf8.empty() || strUtf8.back() != '\n')
        strUtf8 += '\n';
    out << strUtf8 << std::flush;
    return 0;
}

int CTamberCli::Fail(const CString& strMessage, std::ostream& err)
{
    err << ToUtf8(strMessage) << '\n' << std::flush;
    return 1;
}

bool CTamberCli::LoadEraFile(const std::string& strGiven, std::ostream& err)
{
    if (!strGiven.empty()) {
        std::string strMessage;
        if (LoadNamedEraFile(strGiven, m_eraTable, strMessage))
            return true;
        err << "tamber-cli: " << strMessage << '\n';
        return false;
    }
    // The remembered file, else the shipped one; silently, as the dialog starts. Without either the
    // conversions run without eras.
    LoadDefaultEras(RunningProgramDir(), m_eraTable);
    return true;
}

int CTamberCli::YearToCycle(const CString& strEra, std::int32_t lYear, std::ostream& out, std::ostream& err)
{
    SEraChoice era;
    if (!strEra.IsEmpty()) {
        era.nItem = -1;
        era.strText = strEra;
    }
    CString strResult;
    CString strMessage;
    if (!CCycleConverter(m_eraTable, m_cycle).YearToCycle(lYear, era, strResult, strMessage))
        return Fail(strMessage, err);
    return Print(strResult, out);
}

bool CTamberCli::SplitPair(const CString& strPair, SPairRequest& request) const
{
    // 甲子: a stem followed by a branch; 子: a branch alone (any stem).
    CString strBranch = strPair;
    const std::vector<int> starts = CharStarts(strPair);
    if (starts.size() > 1) {
        const CString strFirst = strPair.Left(starts[1]);
        for (int nStem = 0; nStem < CSexagenaryCycle::STEM_COUNT; ++nStem) {
            CString strStem;
            m_cycle.GetStemName(nStem, strStem);
            if (strFirst == strStem) {
                request.nStem = nStem + 1;
                strBranch = strPair.Mid(starts[1]);
                break;
            }
        }
    }
    int nBranch = 0;
    if (!m_cycle.FindBranch(strBranch, nBranch))
        return false;
    request.strBranch = strBranch;
    return true;
}

int CTamberCli::YearsOfPair(const std::vector<CString>& args, std::ostream& out, std::ostream& err)
{
    SPairRequest request;
    if (!SplitPair(args[0], request)) {
        err << "tamber-cli: " << ToUtf8(CP932("年でも干支でもありません")) << ": " << ToUtf8(args[0]) << '\n' << kUsage;
        return 2;
    }

    // FROM and TO: "-" (or nothing) for none, else a Western or an era year.
    for (size_t i = 1; i < 3; ++i) {
        CString& strText = i == 1 ? request.strFrom : request.strTo;
        SEraChoice& era = i == 1 ? request.eraFrom : request.eraTo;
        if (i >= args.size() || args[i] == "-")
            continue;
        CString strEra;
        std::int32_t lYear = 0;
        CString strReason;
        if (!SplitEraDate(args[i], strEra, lYear, &strReason)) {
            err << "tamber-cli: " << YearError(args[i], strReason) << '\n' << kUsage;
            return 2;
        }
        strText.Format("%d", lYear);
        if (!strEra.IsEmpty()) {
            era.nItem = -1;
            era.strText = strEra;
        }
    }

    CString strResult;
    CString strMessage;
    if (!CCycleConverter(m_eraTable, m_cycle).YearsOfPair(request, strResult, strMessage))
        return Fail(strMessage, err);
    return Print(strResult, out);
}

int CTamberCli::Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::string strEraFile;
    std::vector<std::string> positional;
    bool bOptions = true;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& strArg = args[i];
        if (bOptions && strArg == "--") {
            bOptions = false;
        } else if (bOptions && (strArg == "--help" || strArg == "-h")) {
            out << kUsage;
            return 0;
        } else if (bOptions && strArg == "--version") {
            out << "tamber-cli " << TAMBER_VERSION << '\n';
            return 0;
        } else if (bOptions && strArg == "--era-file") {
            if (++i == args.size()) {
                err << "tamber-cli: --era-file needs a file name\n" << kUsage;
                return 2;
            }
            strEraFile = args[i];
        } else if (bOptions && strArg.rfind("--era-file=", 0) == 0) {
            strEraFile = strArg.substr(11);
        } else if (bOptions && strArg.size() > 1 && strArg[0] == '-' && !(strArg[1] >= '0' && strArg[1] <= '9')) {
            err << "tamber-cli: unknown option " << strArg << '\n' << kUsage;
            return 2;
        } else {
            positional.push_back(strArg);
        }
    }
    if (positional.empty() || positional.size() > 3) {
        err << kUsage;
        return 2;
    }

    std::vector<CString> texts;
    for (const std::string& strArg : positional) {
        CString strText;
        if (!Utf8ToCp932(NarrowDigits(strArg), strText)) {
            err << "tamber-cli: " << strArg << ": " << ToUtf8(CP932("Shift_JISで表せない文字があります")) << '\n';
            return 2;
        }
        texts.push_back(strText);
    }

    if (!LoadEraFile(strEraFile, err))
        return 1;

    // One argument with a number in it is a year; anything else starts with a pair.
    if (texts.size() == 1 && texts[0].View().find_first_of("0123456789") != std::string_view::npos) {
        CString strEra;
        std::int32_t lYear = 0;
        CString strReason;
        if (!SplitEraDate(texts[0], strEra, lYear, &strReason)) {
            err << "tamber-cli: " << YearError(texts[0], strReason) << '\n';
            return 2;
        }
        return YearToCycle(strEra, lYear, out, err);
    }
    if (texts.size() == 1) {
        CString strEra;
        std::int32_t lYear = 0;
        if (SplitEraDate(texts[0], strEra, lYear))   // 平成元, 昭和六十四年
            return YearToCycle(strEra, lYear, out, err);
    }
    return YearsOfPair(texts, out, err);
}
