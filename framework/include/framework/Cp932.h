// Conversion between code page 932 and UTF-8 (the platform's codec, see Env.h).
//
// The library and the tables keep text as code page 932 bytes; the conversions happen only at
// the edges: UTF-8 source literals, Qt, the terminal and file names on disk.
#pragma once

#include <string>
#include <string_view>

#include <framework/String.h>
#include <framework/framework_export.h>

// Converts code page 932 bytes to UTF-8. Returns false, and leaves strUtf8 unchanged, when the text
// holds a byte sequence that code page 932 does not define (a broken double-byte character, an
// unassigned code); nothing is ever dropped silently.
FRAMEWORK_EXPORT bool Cp932ToUtf8(std::string_view cp932, std::string& strUtf8);

// Converts UTF-8 to code page 932. Returns false, and leaves strCp932 unchanged, when the text is
// not valid UTF-8 or holds a character that code page 932 cannot represent exactly (one that
// would read back as another character), with one exception on every platform: the six
// characters that input methods type in a form code page 932 stores as its usual twin are taken
// as that twin (〜 U+301C as ～ U+FF5E, ‖ U+2016 as ∥ U+2225, − U+2212 as － U+FF0D, ¢ £ ¬ as
// their full-width forms), so they read back as the twin.
FRAMEWORK_EXPORT bool Utf8ToCp932(std::string_view utf8, CString& strCp932);

// Lossy forms for display only (messages on a terminal): a byte or character that has no
// counterpart becomes '?'. Never use them for data that is stored.
FRAMEWORK_EXPORT std::string Cp932ToUtf8Lossy(std::string_view cp932);
FRAMEWORK_EXPORT CString Utf8ToCp932Lossy(std::string_view utf8);

// Converts a UTF-8 literal of our own sources. Throws std::logic_error when the literal has no
// code page 932 form, which is a programming error. Use it through CP932(), which converts a
// literal once and keeps the result.
FRAMEWORK_EXPORT CString LiteralToCp932(const char* pszUtf8);

// CP932("甲子"): the code page 932 form of a UTF-8 source literal, as a const CString&, converted
// on first use only.
#define CP932(utf8) \
    ([]() -> const CString& { static const CString s_str = LiteralToCp932(utf8); return s_str; }())
