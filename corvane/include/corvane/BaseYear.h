// CBaseYear: a base-year table. It labels the years of a chronology with their count from a base
// year (up to an optional end year) and after the end year, under the Japanese counting options:
// 数え (the base year counts as 1), 回忌 (memorial years after the end: 1, 3, 4, 5, ...), and marks
// for an uncertain base or end year. It is kept in a ".lby" file of one value a line.
//
// Years are signed 32-bit Western years; there is no year 0 (-1 directly precedes 1). The labels
// and searches are computed in 64 bits, so any base year and any year give an exact count, even
// at opposite ends of the 32-bit range.
//
// Not thread-safe: one table is used from one thread at a time; ReadFile and WriteFile use the
// process's current directory and the host UI (see CTableBase).
#pragma once

#include <filesystem>

#include <cstdint>

#include <framework/Archive.h>
#include <framework/Document.h>
#include <framework/String.h>

#include <corvane/TableBase.h>
#include <corvane/corvane_export.h>

// The end year that means "no end year": every year from the base year on is counted from it.
inline constexpr std::int32_t NO_END_YEAR = NO_YEAR;

class CStdioFile;

class CORVANE_EXPORT CBaseYear : public CTableBase {
public:
    // An empty table: base year 1, end year NO_END_YEAR, every option false, supplement empty;
    // the base part as CTableBase() leaves it.
    CBaseYear();
    // Copy and assignment copy the base part (modified flag included) and every own member.
    CBaseYear(const CBaseYear& other);
    CBaseYear& operator=(const CBaseYear& other);
    ~CBaseYear() override;

    // Every setter stores the value and sets the modified flag only when the value differs from
    // the stored one (the supplement: exact bytes); given the stored value it changes nothing.
    std::int32_t GetBaseWesternYear() const { return m_lBaseWesternYear; }
    void SetBaseWesternYear(std::int32_t lYear);
    std::int32_t GetEndWesternYear() const { return m_lEndWesternYear; }   // NO_END_YEAR: none
    void SetEndWesternYear(std::int32_t lYear);
    bool GetKazoe() const { return m_bKazoe; }
    void SetKazoe(bool bKazoe);
    // Copies the supplement (CR LF line breaks allowed) into strSupplement.
    void GetSupplement(CString& strSupplement) const { strSupplement = m_strSupplement; }
    void SetSupplement(const char* pszSupplement);   // null counts as empty
    bool GetDisplayMinus() const { return m_bDisplayMinus; }
    void SetDisplayMinus(bool bDisplayMinus);
    bool GetMinus1() const { return m_bMinus1; }
    void SetMinus1(bool bMinus1);
    bool GetEndYearPlus() const { return m_bEndYearPlus; }
    void SetEndYearPlus(bool bEndYearPlus);
    bool GetEndYearKaiki() const { return m_bEndYearKaiki; }
    void SetEndYearKaiki(bool bEndYearKaiki);
    bool GetBeginYearQuest() const { return m_bBeginYearQuest; }
    void SetBeginYearQuest(bool bBeginYearQuest);
    bool GetEndYearQuest() const { return m_bEndYearQuest; }
    void SetEndYearQuest(bool bEndYearQuest);

    // NO_END_YEAR when the end year is NO_END_YEAR, otherwise end year minus base year, saturated
    // at the 32-bit bounds when the exact difference lies outside them.
    std::int32_t GetDiffWesternYear() const;

    // True when base year <= lYear <= end year.
    bool IsYearRange(std::int32_t lYear) const;

    // Writes the label of the Western year lYear into strOut and returns true, or returns false
    // with strOut untouched when the year gets no label (before the base year without the
    // display-minus option, after the end year without the end-year-plus option). Labels: "N" or
    // "N?" up to the end year (the count with the 数え, year-0 and minus-1 adjustments), "--" for
    // the end year itself when it is uncertain, "+N" or "+N?" after the end year. NO_END_YEAR has
    // no year after it and is itself no end year. Counts are exact (computed in 64 bits).
    bool MakeBaseYearStr(std::int32_t lYear, CString& strOut) const;

    // Finds the first offset k from the base year, counting up from the first offset, whose plain
    // count (k + 1 with 数え, else k; decimal with a minus sign when negative) contains
    // pszSearch as a byte-wise substring, and whose year base + k is at most lTo and at most the
    // end year. The first offset is lFrom - base year (0 when that is negative) when nStart is -1,
    // otherwise nStart. Returns k and sets lFoundYear to base + k; returns -1, lFoundYear
    // untouched, when no offset matches. An empty or null text matches the first offset.
    // Offsets whose year lies outside the 32-bit range, or that exceed the int range of the
    // result, are not searched. The cost does not depend on the span of years searched.
    int SearchStr(const char* pszSearch, std::int32_t lFrom, std::int32_t lTo, std::int32_t& lFoundYear,
                  int nStart) const;

    // Does nothing: the table is stored only in its text file.
    void Serialize(CArchive& ar);

    // Reads a base-year file (any version; a version above 5 reads as 5, a negative one as 0).
    // pszFileName, when given, becomes the file name; else the stored one is used; with neither,
    // the open dialog asks for one (cancel: false, no message, nothing changed). The name is made
    // absolute against the current directory. Values are stored without the setters; the flags
    // that the file's version does not hold keep their values. Returns true, with the modified
    // flag cleared, when the whole file was read. On failure shows the library's message and
    // returns false: wrong header kind or a missing required line 61447 (the table then keeps the
    // values read so far; a wrong header is refused before any value is taken), a file that
    // cannot be opened or read 61451.
    bool ReadFile(const char* pszFileName);

    // Writes the table through the table save procedure (save dialog when bDialog is true or the
    // table has no file name; cancel gives false with nothing changed). The file name becomes
    // relative to the host document's folder (or the current directory without a document), the
    // current directory moves to that folder, and the file is replaced atomically. Returns true
    // with the modified flag cleared; on a file error shows 61448 and returns false with the
    // previous file intact and the modified flag as it was. eType is ignored.
    bool WriteFile(bool bDialog, CDocument* pDocument, EHeaderType eType) override;

    // The core of ReadFile and WriteFile, for programs with no user to ask: no dialog, no message,
    // the current directory left alone. Load reads pszPath (as it stands; a relative name against
    // the current directory) as ReadFile does, the file name becoming pszPath; on failure it keeps
    // the values read so far, as ReadFile does, and returns what went wrong. Save writes the table
    // as WriteFile does to pszPath, which becomes the file name; on failure the previous file and
    // the modified flag are left as they were. Both clear the modified flag on success.
    SFileStatus Load(const char* pszPath, Env* pEnv = Env::Default());
    SFileStatus Save(const char* pszPath, Env* pEnv = Env::Default());
    // The same for a native path (any name the system allows): the file name the table keeps
    // (GetFileName) is the path's code page 932 form, or empty when it has none.
    SFileStatus Load(const std::filesystem::path& path, Env* pEnv = Env::Default());
    SFileStatus Save(const std::filesystem::path& path, Env* pEnv = Env::Default());

protected:
    std::int32_t m_lBaseWesternYear;
    std::int32_t m_lEndWesternYear;
    bool m_bKazoe;
    CString m_strSupplement;
    bool m_bDisplayMinus;
    bool m_bMinus1;
    bool m_bEndYearPlus;
    bool m_bEndYearKaiki;
    bool m_bBeginYearQuest;
    bool m_bEndYearQuest;

private:
    unsigned ReadBaseYearLines(CStdioFile& file);
    void WriteBaseYearLines(CStdioFile& file) const;
};
