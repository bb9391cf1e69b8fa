// CNenpyoSession: the decisions about a chronology's files that do not need a window: where the
// default tables and the sample are, which way a save goes, what a save as proposes and what it
// would replace, and the names the window shows. No toolkit: the window asks and shows, this
// decides.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "NenpyoDoc.h"

class CNenpyoSession {
public:
    // Where the program finds its shipped files (absolute native paths).
    struct SPlaces {
        std::filesystem::path libraryFolder;      // the shipped ﾗｲﾌﾞﾗﾘ/ folder: 元号.lgn, 時代.ler
        std::filesystem::path sampleFile;         // the shipped sample chronology
        std::filesystem::path rememberedEraFile;  // the era file Tamber remembers; empty when none
    };

    explicit CNenpyoSession(SPlaces places) : m_places(std::move(places)) {}

    // The era and period files of a new chronology and of documents that name none: the era file
    // Tamber remembers when it reads whole, else the shipped one (DefaultEras.h); the shipped
    // period file.
    CNenpyoDoc::SDefaults DefaultTables() const;
    const std::filesystem::path& SampleFile() const { return m_places.sampleFile; }
    // True for the shipped sample (under any spelling of its path that names the same file): it
    // is opened read-only, so that a save asks for a new name instead of changing what was shipped.
    bool IsSample(const std::filesystem::path& path) const;

    enum class ESave {
        AskName,        // Save As: no name yet, recovered, read-only, or only a document keeps it
        TablesInPlace,  // a bare event file written where it was read
        Document,       // the document written to its own path
    };
    ESave SaveRoute(const CNenpyoDoc& doc, bool bReadOnly) const;

    // The file name Save As proposes: the document's, else the event file's base name, else 年表;
    // a recovered chronology gets "(復元)" before .nenpyo.
    static std::filesystem::path ProposedName(const CNenpyoDoc& doc);
    // The table files (UTF-8 names without folder) that a save of doc to path would replace though
    // they are not the chronology's own: name.lev, and name.lby when it has a base-year table.
    // Empty when the save goes to the document's own path (unless recovered) or none exists.
    static std::vector<std::string> TablesReplaced(const CNenpyoDoc& doc, const std::filesystem::path& path);
    // The document's name without folder and extension (of the event file for a bare one; 年表
    // for a new one), UTF-8, for titles and the names exports propose.
    static std::string DocumentName(const CNenpyoDoc& doc);
    // The file name the window's title shows: 無題 for a new chronology; (復元) and (読み取り専用)
    // mark a recovered one and the sample.
    static std::string TitleName(const CNenpyoDoc& doc, bool bReadOnly);

private:
    SPlaces m_places;
};
