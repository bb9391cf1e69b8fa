// CTableBase: the base of every Corvane table (era names, event chronologies, base years).
//
// It keeps what every table file has in common (file name, table name, explanation, the
// unsaved-changes flag and the today-date option), the two text readers every file reader uses
// (one comma-separated field, and the "[kind], version" header line), and the folder of the host
// document. The order of the five fields is part of the published layout: hosts read the file name
// and the table name through the inline accessors below without calling into the library.
//
// Each table loads and saves in two layers. Load and Save (the core) take a path and report what
// went wrong in an SFileStatus, with no dialog, no message and the current directory left alone:
// for programs with no user to ask. ReadFile and WriteFile (the interactive layer, built on the
// core) show the open and save dialogs and the library's messages and keep file names relative to
// the host document, moving the current directory there: for interactive hosts. The core opens
// files through the Env it is given (the platform's unless a caller, say a test, passes another).
//
// All text is code page 932 (CString). Not thread-safe: a table is used from one thread, and the
// table file procedures change and read the process's current directory.
#pragma once

#include <framework/Archive.h>
#include <framework/Document.h>
#include <framework/Env.h>
#include <framework/String.h>

#include <corvane/FileStatus.h>
#include <corvane/corvane_export.h>

#include <cstdint>

// The year that means "no year": what a lookup that finds no year returns (and a search that
// found a text rather than a year), and, as NO_END_YEAR, a base-year table's open end.
inline constexpr std::int32_t NO_YEAR = 2147483647;

// The kind of era file that WriteFile writes and CGengouEra::ReadFile expects. Only the era table
// gives it meaning; the other tables accept it and ignore it. Other values may be passed (cast).
enum EHeaderType {
    HEADER_GENGOU = 1,   // era-name file, "[元号]", .lgn
    HEADER_JIDAI = 3,    // period file, "[時代]", .ler
};

class CORVANE_EXPORT CTableBase {
public:
    CTableBase() = default;
    CTableBase(const CTableBase&) = default;              // copies all five fields as they are
    CTableBase& operator=(const CTableBase&) = default;   // likewise
    virtual ~CTableBase();

    // Sets the file name; the modified flag is not touched.
    void SetFileName(const char* pszFileName) { m_strFileName = pszFileName; }
    // The file name as last read (absolute) or written (relative to the host document's folder).
    const CString& GetFileName() const { return m_strFileName; }

    // Stores the text and sets the modified flag when it differs (exact bytes) from the current
    // one; otherwise changes nothing.
    void SetTableName(const char* pszTableName);
    const CString& GetTableName() const { return m_strTableName; }
    void SetExplanation(const char* pszExplanation);   // same rule as SetTableName
    const CString& GetExplanation() const { return m_strExplanation; }

    void SetModified(bool bModified) { m_bModified = bModified; }
    bool GetModified() const { return m_bModified; }
    // Stores the value and sets the modified flag when it differs; otherwise changes nothing.
    void SetTodayDate(bool bTodayDate);
    bool GetTodayDate() const { return m_bTodayDate; }

    // Resets the five fields of this class (strings empty, flags false); a derived table's data
    // is untouched.
    void Initialize();
    // Does nothing.
    void Serialize(CArchive& ar);

    // Writes the table's file through the table save procedure. The base version writes nothing
    // and returns true; each table overrides it. On failure a table returns false, having shown
    // its message (cancel: no message); the previous file on disk is then left intact. A table
    // that no file can hold back unchanged beyond the formats' limits fails the same way: a line
    // of 64 MiB or more, or a text with a lead byte directly before a line break.
    virtual bool WriteFile(bool bDialog, CDocument* pDocument, EHeaderType eType);

    // Reads one comma-separated field of strLine from nStart into strField and returns the offset
    // in strLine of the comma, the closing quote or the line's end that ended it (read the next
    // field from the result + 1). Returns -1, leaving strField unchanged, when nothing is left
    // from nStart (or only a single CR). Quoted fields may hold commas and doubled quotes; the
    // field is trimmed of single-byte white space. Never fails otherwise.
    static int GetElementFromCSV(const CString& strLine, int nStart, CString& strField);

    // Splits a header line "kind, version": strKind gets the first field (trimmed, brackets kept;
    // unchanged when the line holds no field) and nVersion the second read as by atoi (0 when
    // there is none). Always returns true; checking the kind is the caller's business.
    static bool GetTableKindNameAndFileVer(CString strLine, CString& strKind, int& nVersion);

    // The folder of the host document's path name (without a trailing separator; "/" for a
    // document in the root; the whole name when it has no separator). False, strPath unchanged,
    // for a null document.
    bool GetBasePath(CString& strPath, CDocument* pDocument);

protected:
    CString m_strFileName;
    CString m_strTableName;
    bool m_bModified = false;
    CString m_strExplanation;
    bool m_bTodayDate = false;
};
