// SFileStatus: what a load or save of a table file reported, for programs that show no dialogs
// and no messages (the core layer of the tables: CGengouEra::Load and Save, CYearEvent::Load and
// Save, CBaseYear::Load and Save).
#pragma once

#include <string>
#include <string_view>

#include <framework/String.h>

#include <corvane/corvane_export.h>

// The library's three file messages (its string table), with the file name in place of %1.
inline constexpr unsigned IDS_FILE_BAD_FORMAT = 61447;    // "ファイル %1 のフォーマットが正しくありません"
inline constexpr unsigned IDS_FILE_WRITE_FAILED = 61448;  // "ファイル %1 への書き込みに失敗しました"
inline constexpr unsigned IDS_FILE_READ_FAILED = 61451;   // "ファイル %1 の読込みに失敗しました"

struct SFileStatus {
    // 0 on success; otherwise the message the interactive layer (ReadFile, WriteFile) shows for
    // the same failure: IDS_FILE_BAD_FORMAT, IDS_FILE_WRITE_FAILED or IDS_FILE_READ_FAILED. Which
    // of the two read messages a format error gives is each format's own rule.
    unsigned nMessage = 0;
    // errno of the system call that failed; 0 when no system call failed (a format error).
    int nOsError = 0;
    // The 1-based number of the line whose content stopped the reading (for a file that ends too
    // early, the number of the missing line); 0 when no line is to blame.
    int nLine = 0;

    bool Ok() const { return nMessage == 0; }
};

// The text of a failure in code page 932: the library's message with pszFileName in place of %1,
// then " (N行目)" when a line is to blame and ": " with the system's description of the error
// when a system call failed. Empty for a success.
CORVANE_EXPORT CString FormatFileStatus(const SFileStatus& status, const char* pszFileName);

// The same text in UTF-8 with strFileName (UTF-8, or any bytes a native name holds) put in as it
// is, for a name that code page 932 cannot hold ("ファイル résumé/x.lgn の読込みに失敗しました").
// Empty for a success.
CORVANE_EXPORT std::string FormatFileStatusUtf8(const SFileStatus& status, std::string_view strFileName);
