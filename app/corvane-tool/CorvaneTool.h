// CCorvaneTool: the corvane command, for table files from the shell.
//
//   corvane info FILE...              kind, version, name, explanation and size of each file
//   corvane check [--strict] FILE...  the strict check of the library (TableCheck.h): one line a
//                                     finding, FILE:LINE: error|warning: reason, on standard output;
//                                     exit status 1 on an error (with --strict, on any finding); a
//                                     file that does not read: the message (a file damaged at a line:
//                                     with the records readable before it) on standard error
//   corvane list EVENTS.lev [--era FILE] [--period FILE] [--base FILE] [--priority high|middle|all]
//   corvane export FILE [--format json|csv] [-o OUT] [--partial]
//                                     (--partial: a file damaged at a line gives the records before it,
//                                     with exit status 1)
//   corvane import IN [-o FILE]
//   corvane merge A.lev B.lev... -o OUT.lev
//   corvane label BASE.lby YEAR...
//   corvane date [--eras FILE] TEXT...  era dates and Western dates both ways (DateCommand.h)
//
// Exit status 0 on success, 1 when a file fails, 2 for a command line it cannot understand.
// Arguments, output and messages are UTF-8; table files are read and written only through the
// library's Load and Save, so a failed import or merge leaves the previous file as it was.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "TableContent.h"

class CCorvaneTool {
public:
    // bProgress: show a record count for files of more than a million records on err (the
    // caller passes true when err is a terminal).
    CCorvaneTool(std::ostream& out, std::ostream& err, bool bProgress) : m_out(out), m_err(err), m_bProgress(bProgress) {}

    // Runs the command line (argv[0] is the program's name); returns the exit status.
    int Run(int argc, const char* const* argv);

private:
    int Info(const std::vector<std::string>& files);
    int Check(const std::vector<std::string>& files, bool bStrict);
    int List(const std::string& strEvents, const std::string& strEras, const std::string& strPeriods,
             const std::string& strBase, const std::string& strPriority);
    int Export(const std::string& strFile, const std::string& strFormat, const std::string& strOut, bool bPartial);
    int Import(const std::string& strIn, std::string strOut);
    int Merge(const std::vector<std::string>& files, const std::string& strOut);
    int Label(const std::string& strBase, const std::vector<std::string>& years);

    // Reads a table file as its header says (and, with eExpected, only of that kind). On failure
    // writes the message and returns null; but with pPartial, a failure at a line gives, without a
    // message, the table as read before that line and the status in *pPartial.
    std::unique_ptr<CTableContent> Load(const std::string& strFile, std::optional<ETableKind> eExpected = std::nullopt,
                                        SFileStatus* pPartial = nullptr);
    // Saves the table to strFile through the library; the exit status, after the message.
    int Save(CTableContent& content, const std::string& strFile);
    bool Fail(const std::string& strFile, const std::string& strProblem);
    void FailStatus(const SFileStatus& status, const std::string& strFile);
    // The message of a file damaged at a line, with the records read (pszDone) before it.
    void FailPartial(const SFileStatus& status, const std::string& strFile, std::size_t nRecords, const char* pszDone);

    std::ostream& m_out;
    std::ostream& m_err;
    bool m_bProgress;
};
