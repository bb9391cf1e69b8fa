#include <framework/Cp932.h>

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace {

// Runs one whole conversion with a fresh descriptor; false on any byte that cannot be converted.
bool Convert(const char* pszTo, const char* pszFrom, std::string_view in, std::string& out)
{
    iconv_t cd = iconv_open(pszTo, pszFrom);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string result;
    result.resize(in.size() * 2 + 16);
    char* pIn = const_cast<char*>(in.data());
    std::size_t nIn = in.size();
    std::size_t nDone = 0;
    bool bOk = true;
    while (nIn > 0) {
        char* pOut = result.data() + nDone;
        std::size_t nOut = result.size() - nDone;
        const std::size_t r = iconv(cd, &pIn, &nIn, &pOut, &nOut);
        nDone = static_cast<std::size_t>(pOut - result.data());
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) {
                result.resize(result.size() * 2);
                continue;
            }
            bOk = false;   // EILSEQ or EINVAL: a sequence that has no counterpart, or a broken one
            break;
        }
    }
    if (bOk) {
        // Flush any shift state (none for these encodings, but iconv asks for it).
        char* pOut = result.data() + nDone;
        std::size_t nOut = result.size() - nDone;
        if (iconv(cd, nullptr, nullptr, &pOut, &nOut) == static_cast<std::size_t>(-1))
            bOk = false;
        nDone = static_cast<std::size_t>(pOut - result.data());
    }
    iconv_close(cd);
    if (!bOk)
        return false;
    result.resize(nDone);
    out.swap(result);
    return true;
}

} // namespace

bool Cp932ToUtf8(std::string_view cp932, std::string& strUtf8)
{
    return Convert("UTF-8", "CP932", cp932, strUtf8);
}

bool Utf8ToCp932(std::string_view utf8, CString& strCp932)
{
    std::string out;
    if (!Convert("CP932", "UTF-8", utf8, out))
        return false;
    strCp932 = CString(std::string_view(out));
    return true;
}

std::string Cp932ToUtf8Lossy(std::string_view cp932)
{
    std::string result;
    if (Cp932ToUtf8(cp932, result))
        return result;
    // Convert character by character so that one bad byte spoils only itself.
    const CString str{cp932};
    result.clear();
    for (int i = 0; i < str.GetLength();) {
        const int n = str.CharLength(i);
        std::string piece;
        if (Cp932ToUtf8(cp932.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(n)), piece))
            result += piece;
        else
            result += '?';
        i += n;
    }
    return result;
}

CString LiteralToCp932(const char* pszUtf8)
{
    CString str;
    if (!Utf8ToCp932(pszUtf8 ? pszUtf8 : "", str))
        throw std::logic_error(std::string("no code page 932 form for literal: ") + (pszUtf8 ? pszUtf8 : ""));
    return str;
}
