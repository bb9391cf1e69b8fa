// The strict check of a table file: every line that is not as the library's writer writes it,
// with its number and the reason, in Japanese.
//
// The readers of the tables (Load, ReadFile) are lenient, as the formats want them: they fill
// missing fields with defaults, read a last line without its line end, take "16x" as 16 and drop
// what follows a closing quote. Files written by other programs rely on that, so the readers keep
// it. The check reads the same bytes the same way (the same lines, the same fields) and says where
// that reading differs from what the writer writes, so that a damaged file (cut short by a full
// disk or an interrupted copy, a quote or a comma lost, a digit turned into a letter) is never
// taken for a whole one.
//
// Errors are damage: the file ends inside a line (no line end after the last line, which only the
// base-year file's supplement may lack) or inside a quoted field; a quote that is not closed, text
// after a closing quote, a lone quote in a field without quotes; a number field that is no number
// (letters, a NUL, garbage after the digits, a number past 32 bits); fields or lines missing where
// the format has no default; fields too many; a value out of range (month 13, priority 3, a flag
// 2); bytes that are no code page 932 text; a CR inside a line; an empty record line; a line
// beyond the readers' length limit; a header that names another kind of table.
// Warnings are what a hand-made or older file may hold and the reader takes on purpose: trailing
// fields missing that have defaults (an event's note, priority or leap flag; an era's note or last
// day), a header version newer than the writer's or below 0, an era name that an earlier record
// already bears (the reader drops the record), an empty line after a base-year supplement, and a
// date that does not exist in the calendar (CCalendar::CheckDate: a stored 閏4月30日 of a year
// whose leap fourth month had 29 days).
//
// A cut exactly at a line end cannot be told from a shorter file, and neither can a cut in the
// base-year supplement at a character boundary (the writer ends that last line without a line
// end): the check cannot report those.
//
// One pass over the bytes, time and memory linear in the file (a line is held only while it is
// checked; a line beyond the length limit ends the check there). Nothing is changed anywhere.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include <framework/Env.h>
#include <framework/String.h>

#include <corvane/FileStatus.h>
#include <corvane/TableKind.h>
#include <corvane/corvane_export.h>

enum class ECheckLevel {
    Warning,   // the reader takes it on purpose; `corvane check --strict` counts it as an error
    Error,     // damage: what the reader returns is not what was written
};

// One line that is not as the writer writes it. A line gets at most one finding: its first error,
// else its first warning.
struct STableFinding {
    int nLine = 0;                          // 1-based; a missing line gets the number it would have
    ECheckLevel eLevel = ECheckLevel::Error;
    CString strReason;                      // Japanese, code page 932, without the line number

    friend bool operator==(const STableFinding&, const STableFinding&) = default;
};

// Checks the bytes of a table file as the reader of eKind would read them (Era and Period are the
// same format with their own header word); without eKind, the kind the header line names (a
// header that names none is an error on line 1 and the only finding). Returns the findings in
// line order; empty when the file is as the writer writes it (or differs only where the reader
// gives back the same).
CORVANE_EXPORT std::vector<STableFinding> CheckTableText(std::string_view bytes,
                                                         std::optional<ETableKind> eKind = std::nullopt);

// CheckTableText over the file at path (a relative name against the current directory), read once
// through pEnv. On success returns an Ok status and sets vFindings. When the file cannot be opened
// or read returns IDS_FILE_READ_FAILED with the system's error and leaves vFindings unchanged.
// Shows nothing, changes nothing.
CORVANE_EXPORT SFileStatus CheckTableFile(const std::filesystem::path& path, std::vector<STableFinding>& vFindings,
                                          std::optional<ETableKind> eKind = std::nullopt, Env* pEnv = Env::Default());

// True when one of the findings is an error (with bStrict, when there is any finding).
CORVANE_EXPORT bool HasCheckErrors(const std::vector<STableFinding>& vFindings, bool bStrict = false);

// The first finding that HasCheckErrors counts, or null.
CORVANE_EXPORT const STableFinding* FirstCheckError(const std::vector<STableFinding>& vFindings, bool bStrict = false);
