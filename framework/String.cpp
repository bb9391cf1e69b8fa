#include <framework/String.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

bool IsSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f';
}

// Clamps a possibly negative or too large int to [0, nMax].
std::size_t Clamp(int n, std::size_t nMax)
{
    if (n <= 0)
        return 0;
    return std::min(static_cast<std::size_t>(n), nMax);
}

} // namespace

CString::CString(const char* psz) : m_str(psz ? psz : "") {}

CString::CString(const char* pch, int nLength)
{
    if (pch && nLength > 0)
        m_str.assign(pch, static_cast<std::size_t>(nLength));
}

CString::CString(char ch, int nRepeat)
{
    if (nRepeat > 0)
        m_str.assign(static_cast<std::size_t>(nRepeat), ch);
}

void CString::Empty()
{
    std::string().swap(m_str);
}

char CString::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetLength())
        throw std::invalid_argument("CString::GetAt: index out of range");
    return m_str[static_cast<std::size_t>(nIndex)];
}

void CString::SetAt(int nIndex, char ch)
{
    if (nIndex < 0 || nIndex >= GetLength())
        throw std::invalid_argument("CString::SetAt: index out of range");
    m_str[static_cast<std::size_t>(nIndex)] = ch;
}

CString& CString::operator=(const char* psz)
{
    m_str = psz ? psz : "";
    return *this;
}

CString& CString::operator+=(const char* psz)
{
    if (psz)
        m_str += psz;
    return *this;
}

int CString::Compare(const CString& str) const
{
    return m_str.compare(str.m_str);   // char_traits<char>::compare orders as unsigned bytes
}

int CString::CharLength(int nIndex) const
{
    const auto i = static_cast<std::size_t>(nIndex);
    if (IsLeadByte(static_cast<unsigned char>(m_str[i])) && i + 1 < m_str.size())
        return 2;
    return 1;
}

int CString::Find(char ch, int nStart) const
{
    const int nLength = GetLength();
    if (nStart < 0)
        nStart = 0;
    for (int i = nStart; i < nLength; i += CharLength(i)) {
        if (m_str[static_cast<std::size_t>(i)] == ch)
            return i;
    }
    return -1;
}

int CString::Find(const char* pszSub, int nStart) const
{
    if (!pszSub)
        return -1;
    return Find(CString(pszSub), nStart);
}

int CString::Find(const CString& strSub, int nStart) const
{
    const int nLength = GetLength();
    const int nSub = strSub.GetLength();
    if (nStart > nLength)
        return -1;
    if (nStart < 0)
        nStart = 0;
    if (nSub == 0)
        return nStart;
    const char* p = m_str.data();
    const char chFirst = strSub.m_str[0];
    for (int i = nStart; i + nSub <= nLength; i += CharLength(i)) {
        if (p[i] == chFirst && std::memcmp(p + i, strSub.m_str.data(), static_cast<std::size_t>(nSub)) == 0)
            return i;
    }
    return -1;
}

int CString::ReverseFind(char ch) const
{
    int nFound = -1;
    const int nLength = GetLength();
    for (int i = 0; i < nLength; i += CharLength(i)) {
        if (m_str[static_cast<std::size_t>(i)] == ch)
            nFound = i;
    }
    return nFound;
}

CString CString::Left(int nCount) const
{
    return CString(std::string_view(m_str).substr(0, Clamp(nCount, m_str.size())));
}

CString CString::Mid(int nFirst) const
{
    return CString(std::string_view(m_str).substr(Clamp(nFirst, m_str.size())));
}

CString CString::Mid(int nFirst, int nCount) const
{
    const std::size_t nFrom = Clamp(nFirst, m_str.size());
    return CString(std::string_view(m_str).substr(nFrom, Clamp(nCount, m_str.size() - nFrom)));
}

CString CString::Right(int nCount) const
{
    const std::size_t n = Clamp(nCount, m_str.size());
    return CString(std::string_view(m_str).substr(m_str.size() - n));
}

int CString::Replace(const char* pszOld, const char* pszNew)
{
    if (!pszOld)
        return 0;
    return Replace(CString(pszOld), CString(pszNew));
}

int CString::Replace(const CString& strOld, const CString& strNew)
{
    const int nOld = strOld.GetLength();
    if (nOld == 0)
        return 0;
    int nCount = 0;
    int i = Find(strOld, 0);
    if (i < 0)
        return 0;
    std::string result;
    result.reserve(m_str.size());
    int nCopied = 0;
    while (i >= 0) {
        result.append(m_str, static_cast<std::size_t>(nCopied), static_cast<std::size_t>(i - nCopied));
        result += strNew.m_str;
        nCopied = i + nOld;
        ++nCount;
        i = Find(strOld, nCopied);
    }
    result.append(m_str, static_cast<std::size_t>(nCopied), std::string::npos);
    m_str.swap(result);
    return nCount;
}

int CString::Replace(char chOld, char chNew)
{
    int nCount = 0;
    const int nLength = GetLength();
    for (int i = 0; i < nLength; i += CharLength(i)) {
        if (CharLength(i) == 1 && m_str[static_cast<std::size_t>(i)] == chOld) {
            m_str[static_cast<std::size_t>(i)] = chNew;
            ++nCount;
        }
    }
    return nCount;
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString& CString::TrimLeft()
{
    std::size_t n = 0;
    while (n < m_str.size() && IsSpace(m_str[n]))
        ++n;
    m_str.erase(0, n);
    return *this;
}

CString& CString::TrimRight()
{
    // White-space bytes are below 0x40 and so never the second byte of a double-byte character.
    std::size_t n = m_str.size();
    while (n > 0 && IsSpace(m_str[n - 1]))
        --n;
    m_str.resize(n);
    return *this;
}

CString& CString::Trim(char chTarget)
{
    return TrimRight(chTarget).TrimLeft(chTarget);
}

CString& CString::TrimLeft(char chTarget)
{
    const char sz[2] = {chTarget, '\0'};
    return TrimLeft(sz);
}

CString& CString::TrimRight(char chTarget)
{
    const char sz[2] = {chTarget, '\0'};
    return TrimRight(sz);
}

CString& CString::Trim(const char* pszTargets)
{
    return TrimRight(pszTargets).TrimLeft(pszTargets);
}

CString& CString::TrimLeft(const char* pszTargets)
{
    if (!pszTargets || !*pszTargets)
        return *this;
    std::size_t n = 0;
    while (n < m_str.size() && CharLength(static_cast<int>(n)) == 1 && std::strchr(pszTargets, m_str[n]))
        ++n;
    m_str.erase(0, n);
    return *this;
}

CString& CString::TrimRight(const char* pszTargets)
{
    if (!pszTargets || !*pszTargets)
        return *this;
    // Walk forward so that the second byte of a double-byte character is never taken for a target.
    std::size_t nKeep = 0;
    const int nLength = GetLength();
    for (int i = 0; i < nLength; i += CharLength(i)) {
        if (!(CharLength(i) == 1 && std::strchr(pszTargets, m_str[static_cast<std::size_t>(i)])))
            nKeep = static_cast<std::size_t>(i + CharLength(i));
    }
    m_str.resize(nKeep);
    return *this;
}

CString& CString::MakeUpper()
{
    const int nLength = GetLength();
    for (int i = 0; i < nLength; i += CharLength(i)) {
        char& ch = m_str[static_cast<std::size_t>(i)];
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    }
    return *this;
}

CString& CString::MakeLower()
{
    const int nLength = GetLength();
    for (int i = 0; i < nLength; i += CharLength(i)) {
        char& ch = m_str[static_cast<std::size_t>(i)];
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    }
    return *this;
}

void CString::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::AppendFormat(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    AppendFormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(const char* pszFormat, va_list args)
{
    m_str.clear();
    AppendFormatV(pszFormat, args);
}

void CString::AppendFormatV(const char* pszFormat, va_list args)
{
    if (!pszFormat)
        return;
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (n <= 0)
        return;
    const std::size_t nOld = m_str.size();
    m_str.resize(nOld + static_cast<std::size_t>(n) + 1);
    std::vsnprintf(m_str.data() + nOld, static_cast<std::size_t>(n) + 1, pszFormat, args);
    m_str.resize(nOld + static_cast<std::size_t>(n));
}

CString operator+(const CString& a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, const char* b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const char* a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, char b)
{
    CString r(a);
    r += b;
    return r;
}
