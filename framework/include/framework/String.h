// CString: a byte string in code page 932, with the interface the library and its host programs
// are written against.
//
// Every length and offset is a byte count. The searches (Find, ReverseFind, Replace) and the case
// changes walk the text character by character: a lead byte (0x81-0x9F, 0xE0-0xFC) and the byte
// after it form one character, so a match never begins on the second byte of a double-byte
// character. A lead byte at the very end of the text (a broken character) counts as one character
// of its own and is never read past. A start offset given to Find is taken to be a character
// boundary, as the offsets that the searches return always are.
//
// A CString may hold NUL bytes; operator const char* then ends the text at the first one, while
// GetLength and the byte-wise operations see every byte.
#pragma once

#include <compare>
#include <cstdarg>
#include <string>
#include <string_view>

#include <framework/framework_export.h>

class FRAMEWORK_EXPORT CString {
public:
    CString() = default;
    CString(const char* psz);                 // null gives the empty string
    CString(const char* pch, int nLength);    // exactly nLength bytes (NUL bytes kept); nLength < 0 gives empty
    CString(char ch, int nRepeat);
    explicit CString(std::string_view sv) : m_str(sv) {}

    operator const char*() const { return m_str.c_str(); }
    const char* GetString() const { return m_str.c_str(); }
    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty();                             // also releases the storage

    // The byte at nIndex. Throws std::invalid_argument when nIndex is outside 0..GetLength()-1.
    char GetAt(int nIndex) const;
    char operator[](int nIndex) const { return GetAt(nIndex); }
    // Replaces the byte at nIndex. Throws std::invalid_argument when nIndex is outside the string.
    void SetAt(int nIndex, char ch);

    // The bytes as a standard view or string (for the codec and the operating system calls).
    std::string_view View() const { return m_str; }
    const std::string& Str() const { return m_str; }

    CString& operator=(const char* psz);
    CString& operator+=(const CString& str) { m_str += str.m_str; return *this; }
    CString& operator+=(const char* psz);
    CString& operator+=(char ch) { m_str += ch; return *this; }

    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
    friend bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }

    // Byte-wise comparison as unsigned bytes: negative, zero or positive.
    int Compare(const CString& str) const;

    // Offset of the first occurrence at a character boundary at or after nStart (a negative nStart
    // counts as 0), or -1. An empty search text occurs everywhere: it gives nStart. A start past
    // the end, or a null pointer, give -1.
    int Find(char ch, int nStart = 0) const;
    int Find(const char* pszSub, int nStart = 0) const;
    int Find(const CString& strSub, int nStart = 0) const;
    // Offset of the last occurrence of the single-byte character ch at a character boundary, or -1.
    int ReverseFind(char ch) const;

    // Left(n): the first n bytes; Mid(f): from f to the end; Mid(f, n): n bytes from f; Right(n): the
    // last n bytes. Counts and offsets are clamped to the string;
    // they never throw. They cut bytes, not characters.
    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int nCount) const;

    // Replaces every non-overlapping occurrence (matched at character boundaries, left to right) and
    // returns how many were replaced. An empty or null old text replaces nothing.
    int Replace(const char* pszOld, const char* pszNew);
    int Replace(const CString& strOld, const CString& strNew);
    // Replaces every single-byte character chOld by chNew (trail bytes of double-byte characters
    // are never touched); returns the count.
    int Replace(char chOld, char chNew);

    // Remove single-byte white space (space, tab, CR, LF, vertical tab, form feed) from the ends,
    // or the given single-byte character, or any of the given single-byte characters.
    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim(char chTarget);
    CString& TrimLeft(char chTarget);
    CString& TrimRight(char chTarget);
    CString& Trim(const char* pszTargets);
    CString& TrimLeft(const char* pszTargets);
    CString& TrimRight(const char* pszTargets);

    // Change the case of the ASCII letters only; both bytes of every double-byte character stay.
    CString& MakeUpper();
    CString& MakeLower();

    // printf formatting. A CString argument must be passed as GetString() (or cast to const char*).
    void Format(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    void AppendFormat(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* pszFormat, va_list args);
    void AppendFormatV(const char* pszFormat, va_list args);

    // True when the byte is the first byte of a double-byte character of code page 932.
    static bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
    // Length in bytes of the character that starts at nIndex (1 or 2; 1 for a lead byte at the end).
    int CharLength(int nIndex) const;

private:
    std::string m_str;
};

FRAMEWORK_EXPORT CString operator+(const CString& a, const CString& b);
FRAMEWORK_EXPORT CString operator+(const CString& a, const char* b);
FRAMEWORK_EXPORT CString operator+(const char* a, const CString& b);
FRAMEWORK_EXPORT CString operator+(const CString& a, char b);

// Lets a CString key a standard unordered container.
template <> struct std::hash<CString> {
    size_t operator()(const CString& s) const noexcept { return std::hash<std::string_view>()(s.View()); }
};
