// CFieldText: the UTF-8 form of a table's texts in exported files, and the way back.
//
// Tables keep code page 932 bytes; JSON and CSV hold UTF-8. A text becomes its plain UTF-8 form
// when that form converts back to exactly the same bytes. Any other text (bytes code page 932
// does not define, a lone lead byte, a character that code page 932 encodes twice, or a UTF-8
// form that itself begins with the marker) is written as the marker "#cp932:" followed by its
// bytes in lower-case hexadecimal, so that every text survives an export and an import unchanged.
//
// Conversions run in batches: one call of the codec for many texts is much cheaper than one call
// each. Not thread-safe (the object keeps its buffers).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <framework/String.h>

class CFieldText {
public:
    static constexpr std::string_view kMarker = "#cp932:";
    // The number of records whose texts its callers convert in one call.
    static constexpr std::size_t kBatch = 1024;

    // The UTF-8 field of each text, in order (out is resized to the number of texts).
    void ToUtf8(const std::vector<const CString*>& texts, std::vector<std::string>& out);

    // The code page 932 text of each UTF-8 field, in order. On success returns -1. Otherwise
    // returns the index of the first field that has no code page 932 form, with strProblem
    // saying why; out then holds nothing usable.
    int FromUtf8(const std::vector<std::string_view>& fields, std::vector<CString>& out, std::string& strProblem);

private:
    static std::string Escaped(std::string_view cp932);
    static bool OneToUtf8(const CString& str, std::string& strUtf8);
    static bool OneFromUtf8(std::string_view field, CString& str, std::string& strProblem);

    std::string m_strJoined;
    std::string m_strConverted;
};
