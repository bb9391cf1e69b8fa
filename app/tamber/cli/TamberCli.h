// CTamberCli: tamber-cli, the two conversions of the dialog on the command line.
//
//   tamber-cli [--era-file FILE] YEAR              year to cycle (1984, -660, 昭和59, 平成元, and
//                                                  the era date forms of EraDateText.h: H1,
//                                                  平成元年1月8日, 昭和六十四年; the era year counts)
//   tamber-cli [--era-file FILE] PAIR [FROM] [TO]  cycle to years (甲子 or 子; FROM and TO as
//                                                  Western or era years, "-" for none)
//
// The result is the dialog's result text, in UTF-8 with plain line feeds. A message of the dialog
// goes to the error stream with exit status 1; a command line that cannot be understood gives the
// usage with status 2, as does a first argument that is neither a year nor a pair. Arguments are
// UTF-8, full-width digits read as digits; texts are turned into code page 932 for the conversion
// and back for the output.
//
// The era file is the one given, else the one the dialog's profile remembers, else the shipped
// one. A given file that cannot be read is an error (status 1, with the library's message); the
// other two are read silently, each all or nothing, and without them only Western years convert.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include <tamber/core/CycleConverter.h>
#include <corvane/GengouEra.h>
#include <corvane/SexagenaryCycle.h>
#include <framework/String.h>

class CTamberCli {
public:
    // Runs the command line args (without the program name); returns the exit status.
    int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

private:
    // Splits a year argument into an era name and its number: "昭和59" gives 昭和 and 59, "平成元"
    // (or "平成元年") gives 平成 and 1, "1984" gives an empty era and 1984. False when the text is
    // neither, or the number is outside the 32-bit range.
    static bool SplitYear(const CString& strArg, CString& strEra, std::int32_t& lYear);
    // An era date of the era table (H1, 平成元年1月8日, 昭和六十四年一月七日) as SplitYear gives an era
    // year: the era's name and its year; else SplitYear's answer. When both fail, *pstrReason
    // (when given) gets the era-date reader's reason.
    bool SplitEraDate(const CString& strArg, CString& strEra, std::int32_t& lYear, CString* pstrReason = nullptr) const;
    // The stem and branch of a pair argument (甲子, or a branch alone such as 子) into request;
    // false, with request unchanged, when the text is no pair.
    bool SplitPair(const CString& strPair, SPairRequest& request) const;
    bool LoadEraFile(const std::string& strGiven, std::ostream& err);
    int YearToCycle(const CString& strEra, std::int32_t lYear, std::ostream& out, std::ostream& err);
    int YearsOfPair(const std::vector<CString>& args, std::ostream& out, std::ostream& err);
    static int Print(const CString& strResult, std::ostream& out);
    static int Fail(const CString& strMessage, std::ostream& err);

    CGengouEra m_eraTable;
    CSexagenaryCycle m_cycle;
};
