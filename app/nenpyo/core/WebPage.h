// CWebPage: a chronology published as one web page that reads like Nenpyo itself: the table, the
// band of time with zoom and pan, the priority filter, search and going to a year or an era date.
// The page is a single UTF-8 file: its style, its script and its data are inside it, and it asks
// for nothing from the network (its content security policy forbids every request). No toolkit.
//
// The page carries the rows as data (JSON in a script element of type application/json, with
// every '<' and the line and paragraph separators written as \u escapes, so that no text can end
// the element) and its script builds the table and the band from them with DOM text nodes only:
// no text of the chronology is ever parsed as markup. A linked run of an event text becomes a
// link only when its address is one CRowExport::IsWebLink allows; other runs are plain words.
//
// The eras, periods and base-year span come laid out in lanes (CBandLayout::LayOutSpans, which
// does not depend on the zoom); the event labels are laid out by the page's script at each zoom
// with the rules of CBandLayout::LayOutLabels, because their widths are those of the reader's
// fonts.
#pragma once

#include <filesystem>

#include <string>

#include <corvane/FileStatus.h>
#include <corvane/YearEvent.h>

class CNenpyoDoc;

class CWebPage {
public:
    // The page of the rows eFilter shows (the page's own filter then chooses among them).
    static std::string Page(const CNenpyoDoc& doc, EEventPriority eFilter);
    // The data the page carries, as the text of its data element.
    static std::string Data(const CNenpyoDoc& doc, EEventPriority eFilter);
    // Writes Page into path as CRowExport::WriteFile does: on failure
    // (IDS_FILE_WRITE_FAILED) a previous file stays as it was.
    static SFileStatus Write(const CNenpyoDoc& doc, EEventPriority eFilter, const std::filesystem::path& path);
    // strJson with every '<' and U+2028, U+2029 written as \u escapes: the same JSON value, and
    // a text that cannot end or open anything inside a script element.
    static std::string ScriptSafe(const std::string& strJson);
};
