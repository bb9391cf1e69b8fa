// CNenpyoDoc: one chronology as Nenpyo keeps it: an event table with, optionally, a base-year
// table, and the era and period tables whose texts label its years. No toolkit.
//
// The document file (.nenpyo) is a small UTF-8 text file of our own that names the tables by
// names relative to its own folder, so that a folder holding a document and its tables can be
// moved or copied as a whole:
//
//     [年表], 1
//     出来事=日本史.lev
//     基点年=日本史.lby
//     元号=../ﾗｲﾌﾞﾗﾘ/元号.lgn
//     時代=../ﾗｲﾌﾞﾗﾘ/時代.ler
//
// The first line is the header (a byte order mark before it is allowed); every other line is
// "key=value", and blank lines and lines starting with '#' are ignored, as are unknown keys (a
// later version may add some). 出来事 is required; 基点年 is optional (no base-year table); 元号
// and 時代 fall back to the defaults the caller gives when missing or when their file cannot be
// read. A name that has no relative form (another file system root) is stored absolute. Names
// are stored as the system gives them (UTF-8; on Linux the name's bytes), so that any name the
// system allows round-trips, whether or not code page 932 has a form for it.
//
// Every file name here is a native path (any name the system allows); code page 932 is only the
// tables' text. Loading and saving use the tables' core Load and Save (no dialog, no message);
// failures are returned with the file to blame, for the caller to show with FormatFileStatusUtf8.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <corvane/BaseYear.h>
#include <corvane/FileStatus.h>
#include <corvane/GengouEra.h>
#include <corvane/TableCheck.h>
#include <corvane/YearEvent.h>
#include <framework/Env.h>
#include <framework/String.h>

class CNenpyoDoc {
public:
    // The default era and period files (absolute or relative to the current directory), used by a
    // new chronology, a bare event file, and a document that names none or one that cannot be
    // read. Either may be empty: that column is then empty.
    struct SDefaults {
        std::filesystem::path eraFile;
        std::filesystem::path periodFile;
    };

    CNenpyoDoc() = default;
    CNenpyoDoc(const CNenpyoDoc&) = delete;
    CNenpyoDoc& operator=(const CNenpyoDoc&) = delete;

    // An empty chronology without a path, with the default era and period tables.
    void New(const SDefaults& defaults);

    // Reads a document (any name but *.lev) or a bare event file (*.lev, which then has no document
    // path) into this object, which must be fresh (load into a new object, keep the old one until
    // this succeeds). On failure returns the status with the file to blame in strFailed; the
    // object is then to be thrown away, unless IsRecovered() says otherwise. Era and period files
    // that cannot be read are no failure: the defaults are taken and a text per file goes to
    // Warnings().
    SFileStatus Open(const std::filesystem::path& path, const SDefaults& defaults, std::filesystem::path& failed);

    // True after an Open that failed at a line of the event or base-year file (a damaged line, a
    // file cut short: the status names the line): the object then holds the whole chronology as
    // far as it could be read, every record before that line, with the other tables and the
    // document's path, and may be shown. Its tables count as changed, so that nothing is lost
    // unasked; a save to a new name (Save with another path) writes them whole and ends the
    // recovered state. The caller should not save it over the damaged file unasked.
    bool IsRecovered() const { return m_bRecovered; }

    // Open also runs the strict check (TableCheck.h) on the event and base-year files that read.
    // An error there is damage the lenient reader passes over (a file cut inside a line, an open
    // quote, a number that is no number): Open then fails at the error's line with
    // IDS_FILE_BAD_FORMAT and the file in failed, the chronology is recovered as above and holds
    // everything as read; DamageReason() says what is wrong at that line. The host offers to keep
    // only what stands before it (KeepBeforeDamage) or all of it as read, with the damaged lines
    // (DamagedLines()) named. Warnings alone open normally and are summed up by CheckNotice().
    const CString& DamageReason() const { return m_strDamageReason; }
    // Drops the events from the first damaged line of the event file on (nothing for a failure of
    // the lenient reader, which kept only what came before it).
    void KeepBeforeDamage();
    // The number of events KeepBeforeDamage keeps.
    int EventsBeforeDamage() const { return m_nKeepEvents >= 0 ? m_nKeepEvents : m_events.GetLen(); }
    // The errors of the damaged file, one "N行目: reason" a line, at most nMax of them.
    CString DamagedLines(int nMax = 10) const;
    // For the status bar (UTF-8): the files with warnings of the check, with the first of each;
    // empty when the check found nothing.
    const std::string& CheckNotice() const { return m_strCheckNotice; }

    // Writes the event table, the base-year table (if any) and then the document to path, which
    // becomes the document's path. Tables that have no file name yet, or all of them when
    // path names another folder or another document than before ("save as"), are written
    // beside the document with its base name (name.lev, name.lby). The files are replaced
    // together: each is written and synced beside its target first, and only when all are
    // written are they renamed into place, the document last. A failure to write any of them is
    // returned with that file in failed and leaves every file as it was (and the document's
    // path, so a failed save as keeps the old document); only a failed rename can leave the
    // tables before it new and the rest old, each file whole.
    SFileStatus Save(const std::filesystem::path& path, std::filesystem::path& failed);

    // Writes the tables in place without a document (a bare event file that was opened). False
    // as Save; needs a file name on the event table.
    SFileStatus SaveTablesInPlace(std::filesystem::path& failed);
    // True when only a document can keep the chronology: it has a base-year table, or era or
    // period tables read from other files than the defaults. (SaveTablesInPlace would lose them.)
    bool NeedsDocument(const SDefaults& defaults) const;

    // True when a table of the chronology, or the choice of tables, has changes that no save has
    // written. (A change undone still counts: a host with an undo history keeps its own state.)
    bool IsModified() const;

    // The base-year table, when the chronology has one.
    bool HasBaseYear() const { return m_bHasBaseYear; }
    void SetHasBaseYear(bool bHas);

    CYearEvent& Events() { return m_events; }
    const CYearEvent& Events() const { return m_events; }
    CBaseYear& BaseYear() { return m_baseYear; }
    const CBaseYear& BaseYear() const { return m_baseYear; }
    const CGengouEra& Eras() const { return m_eras; }
    const CGengouEra& Periods() const { return m_periods; }
    // Replaces the era or period table with one read from path (a copy is kept; the document names
    // that file from now on).
    void SetEras(const CGengouEra& eras, const std::filesystem::path& path);
    void SetPeriods(const CGengouEra& periods, const std::filesystem::path& path);

    // The document file (absolute; empty for a new chronology and a bare event file), and the files
    // of the tables (empty for one that has none yet, or no file: a default that could not be read).
    const std::filesystem::path& Path() const { return m_path; }
    const std::filesystem::path& EventsPath() const { return m_eventsPath; }
    const std::filesystem::path& BaseYearPath() const { return m_baseYearPath; }
    const std::filesystem::path& ErasPath() const { return m_erasPath; }
    const std::filesystem::path& PeriodsPath() const { return m_periodsPath; }
    // The file the chronology was read from or last saved to: the document, else the event file
    // (empty for a new chronology). Its folder is where the chronology's files are.
    const std::filesystem::path& SourcePath() const { return m_path.empty() ? m_eventsPath : m_path; }

    // The operating system the files are written through (the platform's unless a test gives
    // another; it must outlive the document).
    void SetEnv(Env* pEnv) { m_pEnv = pEnv; }

    // What Open had to put up with (era and period files it could not read), one UTF-8 text a
    // file, saying what is used instead.
    const std::vector<std::string>& Warnings() const { return m_vWarnings; }

    // A name made absolute against a folder (an absolute name stays absolute) and resolved as the
    // system finds it: no "." or ".." parts left, linked folders followed.
    static std::filesystem::path Resolve(const std::filesystem::path& folder, const std::filesystem::path& name);
    // The UTF-8 form of a path, for messages and the document file.
    static std::string Utf8(const std::filesystem::path& path);

private:
    // The table files a document names, absolute (empty when it names none).
    struct SNamedFiles {
        std::filesystem::path events, baseYear, eras, periods;
    };
    static SFileStatus ReadDocumentFile(const std::filesystem::path& path, SNamedFiles& files);
    SFileStatus LoadTables(const SNamedFiles& files, const SDefaults& defaults, std::filesystem::path& failed);
    SFileStatus WriteDocument(const std::filesystem::path& path, Env* pEnv) const;
    // A failure at a line of a table file, which leaves what was read before it (an empty file
    // gets line 1, the line it misses).
    static bool Recoverable(SFileStatus& status);
    void MarkRecovered();
    // The strict check of a table file the lenient reader read whole: Ok, or the failure at the
    // first error's line (the file's findings are kept for DamagedLines and the notice).
    SFileStatus CheckTable(const std::filesystem::path& path, ETableKind eKind);
    // Reads the era or period table from path, else from the default; the file read goes to
    // tablePath (empty when neither could be read, with a warning).
    void LoadReference(CGengouEra& table, std::filesystem::path& tablePath, const std::filesystem::path& path,
                       const std::filesystem::path& defaultPath, EHeaderType eType);

    CYearEvent m_events;
    CBaseYear m_baseYear;
    bool m_bHasBaseYear = false;
    bool m_bChoiceModified = false;   // tables added, removed or chosen since the last save
    bool m_bRecovered = false;
    CGengouEra m_eras;
    CGengouEra m_periods;
    std::filesystem::path m_path;
    std::filesystem::path m_eventsPath;
    std::filesystem::path m_baseYearPath;
    std::filesystem::path m_erasPath;
    std::filesystem::path m_periodsPath;
    std::vector<std::string> m_vWarnings;
    std::vector<STableFinding> m_vDamage;   // the check's findings of the damaged file
    int m_nKeepEvents = -1;                 // the events before the event file's first damaged line
    CString m_strDamageReason;
    std::string m_strCheckNotice;
    Env* m_pEnv = Env::Default();
};
