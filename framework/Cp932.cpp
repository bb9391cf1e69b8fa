#include <framework/Cp932.h>

#include <algorithm>

#include <framework/Env.h>

#include <stdexcept>
#include <string_view>
#include <utility>

bool Cp932ToUtf8(std::string_view cp932, std::string& strUtf8)
{
    return Env::Cp932ToUtf8(cp932, strUtf8);
}

namespace {

// The characters that input methods type in a form whose usual twin code page 932 holds, each
// with that twin (the character the stored code reads back as), in UTF-8.
constexpr std::pair<std::string_view, std::string_view> kTwins[] = {
    {"\u301C", "\uFF5E"},   // 〜 WAVE DASH          ～ FULLWIDTH TILDE
    {"\u2016", "\u2225"},   // ‖ DOUBLE VERTICAL LINE ∥ PARALLEL TO
    {"\u2212", "\uFF0D"},   // − MINUS SIGN          － FULLWIDTH HYPHEN-MINUS
    {"\u00A2", "\uFFE0"},   // ¢ CENT SIGN           ￠ FULLWIDTH CENT SIGN
    {"\u00A3", "\uFFE1"},   // £ POUND SIGN          ￡ FULLWIDTH POUND SIGN
    {"\u00AC", "\uFFE2"},   // ¬ NOT SIGN            ￢ FULLWIDTH NOT SIGN
};

// The text with each twin's typed form replaced by the twin. UTF-8 never matches a character
// inside another, so a plain search is safe.
std::string WithTwins(std::string_view utf8)
{
    std::string str(utf8);
    for (const auto& [typed, twin] : kTwins) {
        for (std::size_t n = 0; (n = str.find(typed, n)) != std::string::npos; n += twin.size())
            str.replace(n, typed.size(), twin);
    }
    return str;
}

} // namespace

bool Utf8ToCp932(std::string_view utf8, CString& strCp932)
{
    // Only an exact form is taken (the text must read back unchanged), on every platform: a
    // converter's nearest stand-in would be another character. The twins are the one exception.
    const std::string strText = WithTwins(utf8);
    std::string out;
    std::string back;
    if (!Env::Utf8ToCp932(strText, out) || !Env::Cp932ToUtf8(out, back) || back != strText)
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

CString Utf8ToCp932Lossy(std::string_view utf8)
{
    CString result;
    if (Utf8ToCp932(utf8, result))
        return result;
    // Character by character: the length of a sequence from its first byte, a stray byte alone.
    result.Empty();
    for (std::size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const std::size_t n = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        CString piece;
        if (Utf8ToCp932(utf8.substr(i, n), piece))
            result += piece;
        else
            result += '?';
        i += std::min(n, utf8.size() - i);
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
