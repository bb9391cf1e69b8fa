// ETableKind: the four kinds of table file, told apart by the word that begins their header line
// ("[出来事], 5"), and the reading of that line, for programs that take a table file of any kind
// and must learn which table to load it into.
#pragma once

#include <filesystem>
#include <optional>

#include <framework/String.h>

#include <corvane/FileStatus.h>
#include <corvane/corvane_export.h>

enum class ETableKind {
    Era,        // era names, .lgn (CGengouEra with HEADER_GENGOU)
    Period,     // periods, .ler (CGengouEra with HEADER_JIDAI)
    Event,      // an event chronology, .lev (CYearEvent)
    BaseYear,   // a base-year table, .lby (CBaseYear)
};

// The word that begins the header line of the kind, brackets included: "[元号]", "[時代]",
// "[出来事]" or "[基点年]" in code page 932. The tables write and expect exactly this word.
CORVANE_EXPORT const CString& TableKindWord(ETableKind eKind);

// What the header line of a file says.
struct STableHeader {
    std::optional<ETableKind> eKind;   // none when the word is not one of the four
    int nVersion = 0;                  // the version, read as by atoi (0 when the line has none)
    CString strWord;                   // the first field of the line, trimmed (empty for an empty file)
};

// Reads only the first line of the file pszPath (as it stands; a relative name against the current
// directory) and fills header from it; an empty file reads as an empty line. Returns a status that
// is Ok when the line was read, whatever it names. On failure returns what the tables' Load would
// report for the same file (IDS_FILE_READ_FAILED with the system's error for a file that cannot be
// opened or read, IDS_FILE_BAD_FORMAT on line 1 for a line beyond the length limit) and leaves
// header unchanged. Shows nothing and leaves the current directory alone.
CORVANE_EXPORT SFileStatus ReadTableHeader(const char* pszPath, STableHeader& header);
// The same for a native path (any name the system allows).
CORVANE_EXPORT SFileStatus ReadTableHeader(const std::filesystem::path& path, STableHeader& header);
