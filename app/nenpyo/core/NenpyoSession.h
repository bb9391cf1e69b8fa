// CNenpyoSession: the decisions about a chronology's files that do not need a window: where the
// default tables and the sample are, which way a save goes, what a save as proposes and what it
// would replace, and the names the window shows. No toolkit: the window asks and shows, this
// decides.
#pragma once

#include <vector>

#include <framework/String.h>

#include "NenpyoDoc.h"

class CNenpyoSession {
public:
    // Where the program finds its shipped files (code page 932 names, absolute).
    struct SPlaces {
        CString strLibraryFolder;      // the shipped ﾗｲﾌﾞﾗﾘ/ folder: 元号.lgn, 時代.ler
        CString strSampleFile;         // the shipped sample chronology
        CString strRememberedEraFile;  // the era file Tamber remembers; empty when none
    };

    explicit CNenpyoSession(SPlaces places) : m_places(std::move(places)) {}

    // The era and period files of a new chronology and of documents that name none: the era file
    // Tamber remembers when it exists, else the shipped one; the shipped period file.
    CNenpyoDoc::SDefaults DefaultTables() const;
    const CString& SampleFile() const { return m_places.strSampleFile; }
    // True for the shipped sample (under any spelling of its path that names the same file): it
    // is opened read-only, so that a save asks for a new name instead of changing what was shipped.
    bool IsSample(const CString& strPath) const;

    enum class ESave {
        AskName,        // Save As: no name yet, recovered, read-only, or only a document keeps it
        TablesInPlace,  // a bare event file written where it was read
        Document,       // the document written to its own path
    };
    ESave SaveRoute(const CNenpyoDoc& doc, bool bReadOnly) const;

    // The file name Save As proposes: the document's, else the event file's base name, else 年表;
    // a recovered chronology gets "(復元)" before .nenpyo.
    static CString ProposedName(const CNenpyoDoc& doc);
    // The table files (names without folder) that a save of doc to strPath would replace though
    // they are not the chronology's own: name.lev, and name.lby when it has a base-year table.
    // Empty when the save goes to the document's own path (unless recovered) or none exists.
    static std::vector<CString> TablesReplaced(const CNenpyoDoc& doc, const CString& strPath);
    // The document's name without folder and extension (of the event file for a bare one; 年表
    // for a new one), for titles and the names exports propose.
    static CString DocumentName(const CNenpyoDoc& doc);
    // The file name the window's title shows: 無題 for a new chronology; (復元) and (読み取り専用)
    // mark a recovered one and the sample.
    static CString TitleName(const CNenpyoDoc& doc, bool bReadOnly);

private:
    SPlaces m_places;
};
