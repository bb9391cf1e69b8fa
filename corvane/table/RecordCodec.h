// The one codec of the three table file formats: fields, quoting, line-break escapes, the header
// line and the line limit. Each format (era, event, base-year) only lays out its lines with it.
// Internal to the library.
//
// Units. Quotes, commas, blanks, CR and LF never occur inside a valid double-byte character, so
// fields are split and quotes doubled byte by byte. The line-break escape (the four characters
// \r\n) contains a backslash, which is also a trail byte (ソ is 83 5C), so it is found character by
// character, as the files have always been read; the writer checks that each escape it writes
// starts a character.
#pragma once

#include <framework/StdioFile.h>
#include <framework/String.h>

#include <cstdint>

// The longest line, without its line end, that a table file may hold: the reader refuses longer
// ones (CStdioFile::kMaxLineLength counts the CR of the line end).
constexpr int kMaxTableLineLength = static_cast<int>(CStdioFile::kMaxLineLength) - 1;

// "text" with every double-quote byte doubled: GetElementFromCSV gives back the text, trimmed.
CString QuoteField(const CString& str);

// A one-field line that GetElementFromCSV gives back (trimmed): the text as it stands, or quoted
// when it holds a comma or a doubled quote or begins with a quote.
CString TextField(const CString& str);

// Line breaks in a one-line field: a CR LF pair, a lone CR and a lone LF are each written as the
// four characters \r\n. Throws CFileException (invalidFile) when the text holds a lead byte
// directly before a line break: its escape would read back as a double-byte character, so no file
// can hold that text (such a byte is not code page 932 text).
CString EscapeLineBreaks(const CString& str);
// Every \r\n that starts a character becomes a CR LF pair.
CString UnescapeLineBreaks(const CString& str);

// The header line "kind, version" (pszSeparator ", " or ","), without its line end.
CString HeaderLine(const CString& strKind, int nVersion, const char* pszSeparator);

// The fields of one record line from nStart on, read with GetElementFromCSV. A field that is
// missing (the line ended) stays missing for every field after it.
class CRecordFields {
public:
    CRecordFields(const CString& strLine, int nStart) : m_strLine(strLine), m_nNext(nStart) {}

    // The next field, false when it is missing.
    bool Next(CString& strField);
    // The next field, empty when missing.
    CString Text();
    // The next field read as by atoi; nMissing when missing.
    std::int32_t Number(std::int32_t nMissing);
    // A month or a day: the number saturated to 16 bits, -1 when missing.
    std::int16_t Short();

private:
    const CString& m_strLine;
    int m_nNext;
    bool m_bEnded = false;
};

// Writes the lines of a table file. Each line is checked against the reader's limit first: a line
// the reader would refuse throws CFileException (invalidFile), so the save fails and the previous
// file stays.
class CTableLineWriter {
public:
    explicit CTableLineWriter(CStdioFile& file) : m_file(file) {}
    // The line and a line end (CR LF on disk).
    void Line(const CString& strLine);
    // The line without a line end (the last line of a base-year file).
    void LastLine(const CString& strLine);

private:
    CStdioFile& m_file;
};
