// The era table the programs read when the user names no era file: the one rule of Tamber's
// dialog and tamber-cli, corvane date and Nenpyo. The candidates are the era file Tamber
// remembers (RememberedEraFile.h) and the shipped 元号.lgn (ShippedFiles.h); each is read into a
// fresh table, so that a file that fails halfway leaves nothing behind. Names are native paths
// (UTF-8 on POSIX) read through the tables' path overloads: a name that code page 932 cannot hold
// works. Silent: nothing is shown or written. No toolkit.
#pragma once

#include <filesystem>
#include <string>

#include <corvane/FileStatus.h>
#include <corvane/GengouEra.h>

// When the shipped file stands in for the remembered one.
enum class EShippedEras {
    // Whenever the remembered file does not read whole (none remembered, gone, damaged): the
    // command-line programs and Nenpyo.
    WhenRememberedFails,
    // Only while no file is remembered: Tamber's dialog, which starts without eras when the file the
    // user chose no longer reads, so that its label shows that the file is gone.
    BeforeAnyChoice,
};

// The two candidates, as native paths; empty where there is none.
struct SEraFileCandidates {
    std::filesystem::path remembered;   // the file Tamber remembers
    std::filesystem::path shipped;      // the shipped 元号.lgn
};

// This program's candidates: RememberedEraFile() and FindShippedEraFile(strProgramDir) (the
// folder of the running program, a native UTF-8 name; see RunningProgramDir). Nothing is read.
SEraFileCandidates DefaultEraFileCandidates(const std::string& strProgramDir);

// The folder of the running program as a native UTF-8 name; empty when it cannot be told.
std::string RunningProgramDir();

// Reads the era file at path (HEADER_GENGOU) into a fresh table and takes it only when it is read
// whole: true with eras replaced; false with eras unchanged and what went wrong in *pStatus (when
// given).
bool LoadWholeEraFile(const std::filesystem::path& path, CGengouEra& eras, SFileStatus* pStatus = nullptr);

// Reads the era file the user named (a native UTF-8 name as a command line gives it; any name the
// system allows) as LoadWholeEraFile does. False, eras unchanged, with the library's message that
// names the file as given (UTF-8, FormatFileStatusUtf8) in strMessage.
bool LoadNamedEraFile(const std::string& strName, CGengouEra& eras, std::string& strMessage);

// Reads the default era table: candidates.remembered when it reads whole, else candidates.shipped
// when it reads whole and eShipped lets it stand in. True with eras replaced and *pFile (when
// given) the path read; false, eras and *pFile unchanged, when none reads. An empty candidate is
// skipped.
bool LoadDefaultEras(const SEraFileCandidates& candidates, CGengouEra& eras, std::filesystem::path* pFile = nullptr,
                     EShippedEras eShipped = EShippedEras::WhenRememberedFails);

// The same with this program's candidates (DefaultEraFileCandidates(strProgramDir)).
bool LoadDefaultEras(const std::string& strProgramDir, CGengouEra& eras,
                     EShippedEras eShipped = EShippedEras::WhenRememberedFails);

// The path of the file LoadDefaultEras(candidates) reads, for a program that reads the table
// itself later (Nenpyo's documents): each candidate is read here to tell. Empty when none reads.
std::filesystem::path DefaultEraFile(const SEraFileCandidates& candidates,
                                     EShippedEras eShipped = EShippedEras::WhenRememberedFails);
