// corvane date: era dates and Western dates converted both ways.
//
//   corvane date [--eras FILE] [--long] [--gregorian] [--json] TEXT...
//
// For each TEXT one line: the date as chronologies write it (1989-01-08, 1868-閏04-01; 1989-01 or
// 1989 when the text gives only a month or a year), a tab, the Western day it is (Julian with
// "(ユリウス暦)" before 1582-10-15, Gregorian from then on; proleptic Gregorian with --gregorian;
// "-" for a month, a year or a day before 701-02-13), with --long a tab, the weekday and a tab,
// the day's 干支 ("-" where unknown), then the era date of each era in force at that time,
// tab-separated, in the era table's order but the southern court before the northern in
// 1331-1392. --json prints one JSON object a text instead. A TEXT "-" stands for the lines of
// the standard input, one text a line. The eras are those of FILE, else of the era file
// Tamber remembers, else of the shipped one. Exit status 0 when every text was read, 1 when one
// was not (a line on the error stream names the text and why; the other lines are still
// printed) or the era file cannot be read, 2 for a command line it cannot understand.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include <corvane/GengouEra.h>

namespace CLI {
class App;
}

// How corvane date writes its lines.
struct SDateStyle {
    bool bLong = false;        // weekday and 干支 of the day
    bool bGregorian = false;   // proleptic Gregorian days throughout
    bool bJson = false;        // one JSON object a text
};

class CDateCommand {
public:
    // Adds the subcommand "date" to app; its options are stored in this object.
    explicit CDateCommand(CLI::App& app);

    bool Parsed() const;
    // Runs the command as parsed; returns the exit status.
    int Run(std::ostream& out, std::ostream& err) const;

    // The lines of texts (UTF-8) against eras, as Run prints them after reading the era table; a
    // text "-" stands for the lines of in. Returns 0 when every text was read, else 1.
    static int Print(const CGengouEra& eras, const std::vector<std::string>& texts, std::ostream& out,
                     std::ostream& err, const SDateStyle& style = SDateStyle(), std::istream* pIn = nullptr);

private:
    CLI::App* m_pCommand;
    std::string m_strEras;
    std::vector<std::string> m_texts;
    SDateStyle m_style;
};
