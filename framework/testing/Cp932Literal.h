// The one way tests write code page 932 text: a UTF-8 literal (source files are UTF-8) converted
// once, as the bytes a table or a file holds. CString(Cp932("...")) where a CString is wanted.
#pragma once

#include <framework/Cp932.h>

#include <string>

inline std::string Cp932(const char* pszUtf8)
{
    return LiteralToCp932(pszUtf8).Str();
}
