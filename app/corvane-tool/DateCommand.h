// corvane date: era dates and Western dates converted both ways.
//
//   corvane date [--eras FILE] TEXT...
//
// For each TEXT one line: the Western date (1989-01-08, 1868-閏04-01; 1989-01 or 1989 when the
// text gives only a month or a year), a tab, then the era date of each era in force at that time,
// tab-separated, in the era table's order. The eras are those of FILE, else of the era file
// Tamber remembers, else of the shipped one. Exit status 0 when every text was read, 1 when one
// was not (a line on the error stream names the text and why; the other lines are still
// printed) or the era file cannot be read, 2 for a command line it cannot understand.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include <corvane/GengouEra.h>

namespace CLI {
class App;
}

class CDateCommand {
public:
    // Adds the subcommand "date" to app; its options are stored in this object.
    explicit CDateCommand(CLI::App& app);

    bool Parsed() const;
    // Runs the command as parsed; returns the exit status.
    int Run(std::ostream& out, std::ostream& err) const;

    // The lines of texts (UTF-8) against eras, as Run prints them after reading the era table;
    // returns 0 when every text was read, else 1.
    static int Print(const CGengouEra& eras, const std::vector<std::string>& texts, std::ostream& out,
                     std::ostream& err);

private:
    CLI::App* m_pCommand;
    std::string m_strEras;
    std::vector<std::string> m_texts;
};
