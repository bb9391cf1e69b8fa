#include <framework/Cp932.h>

#include <framework/Env.h>

#include <stdexcept>

bool Cp932ToUtf8(std::string_view cp932, std::string& strUtf8)
{
    return Env::Cp932ToUtf8(cp932, strUtf8);
}

bool Utf8ToCp932(std::string_view utf8, CString& strCp932)
{
    std::string out;
    if (!Env::Utf8ToCp932(utf8, out))
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
