// The columns of a chronology and the visible rows written out as a printable HTML page or as CSV,
// both UTF-8. No toolkit: the window's view, its exports and its printout show the same texts.
#pragma once

#include <filesystem>

#include <functional>
#include <string>

#include <shared/chronology/ChronologyText.h>
#include <corvane/FileStatus.h>
#include <framework/Env.h>
#include <corvane/YearEvent.h>
#include <framework/String.h>

class CNenpyoDoc;

enum EChronologyColumn : int {
    COLUMN_YEAR,        // 西暦
    COLUMN_ERA_YEAR,    // 和暦
    COLUMN_PERIOD,      // 時代
    COLUMN_BASE_YEAR,   // the base-year label, headed by the base-year table's name
    COLUMN_DATE,        // 月日
    COLUMN_WESTERN_DAY, // 西暦の日付: the view's alone, when chosen (表示 → 西暦の日付); not exported
    COLUMN_TEXT,        // 出来事
    COLUMN_NOTE,        // 備考
    COLUMN_COUNT,
};

class CRowExport {
public:
    // The heading of a column (code page 932); the base-year column is headed with the base-year
    // table's name, or 基点年 when it has none.
    static CString ColumnTitle(const CNenpyoDoc& doc, int nColumn);
    // The text of one column of a row; the date without the blank that MakeDate ends it with.
    static CString ColumnText(const SChronologyRow& row, int nColumn);
    // Whether the chronology shows the column: the base-year column only with a base-year table;
    // the Western day is the view's choice, never in the exports and the printout.
    static bool HasColumn(const CNenpyoDoc& doc, int nColumn);

    // The rows that eFilter shows (PRIORITY_ALL: every event), in list order, with the columns
    // the chronology shows. CSV: a heading line, then a line a row; fields holding a comma, a
    // quote or a line break are quoted with quotes doubled; lines end in CR LF; a UTF-8 byte order
    // mark first when asked for (for spreadsheets that need one). HTML: a complete page titled
    // with the table name, its explanation, and a table; texts are escaped, each linked run of the
    // event text whose address IsWebLink allows becomes a link of its words alone (rel="noopener"),
    // the words of any other link are plain text.
    static std::string Csv(const CNenpyoDoc& doc, EEventPriority eFilter, bool bByteOrderMark = false);
    static std::string Html(const CNenpyoDoc& doc, EEventPriority eFilter);
    // Whether a page may make a link of strLink: an address that begins with http:, https: or
    // mailto: (in any case), with nothing before it. Any other address (javascript:, data:, a
    // relative name) is shown as the linked words alone.
    static bool IsWebLink(const CString& strLink);
    // The number of rows eFilter shows.
    static int RowCount(const CNenpyoDoc& doc, EEventPriority eFilter);

    enum class EFormat { Csv, CsvWithByteOrderMark, Html };
    // Told now and then how many rows are written of how many; returning false cancels.
    using CProgress = std::function<bool(int nDone, int nTotal)>;
    // Writes what Csv or Html gives straight into the file path, a piece at a time, replacing
    // it as WriteFile does. A cancel leaves the previous file as it was and gives success with
    // bCancelled set; a failure (IDS_FILE_WRITE_FAILED) leaves it too.
    // The file is written through pEnv (the framework's atomic writer).
    static SFileStatus Export(const CNenpyoDoc& doc, EEventPriority eFilter, EFormat eFormat, const std::filesystem::path& path,
                              const CProgress& progress, bool& bCancelled, Env* pEnv = Env::Default());

    // Replaces the file path with the bytes as they are, atomically, through pEnv: on failure
    // (IDS_FILE_WRITE_FAILED) the previous file stays as it was.
    static SFileStatus WriteFile(const std::filesystem::path& path, const std::string& strBytes, Env* pEnv = Env::Default());
};
