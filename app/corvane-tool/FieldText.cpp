#include "FieldText.h"

#include <algorithm>

#include <framework/Cp932.h>

namespace {

// Joins the texts with NUL bytes, which both encodings keep as they are; false when a text holds
// a NUL itself, so that the joined form could not be split again.
template <typename TText>
bool Join(const std::vector<TText>& texts, std::string& strJoined)
{
    strJoined.clear();
    for (const auto& text : texts) {
        const std::string_view view(text);
        if (view.find('\0') != std::string_view::npos)
            return false;
        strJoined.append(view);
        strJoined.push_back('\0');
    }
    return true;
}

int HexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

} // namespace

std::string CFieldText::Escaped(std::string_view cp932)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string strField(kMarker);
    for (const char ch : cp932) {
        const auto by = static_cast<unsigned char>(ch);
        strField.push_back(kDigits[by >> 4]);
        strField.push_back(kDigits[by & 15]);
    }
    return strField;
}

bool CFieldText::OneToUtf8(const CString& str, std::string& strUtf8)
{
    CString strBack;
    return Cp932ToUtf8(str.View(), strUtf8) && !strUtf8.starts_with(kMarker) && Utf8ToCp932(strUtf8, strBack) &&
           strBack == str;
}

bool CFieldText::OneFromUtf8(std::string_view field, CString& str, std::string& strProblem)
{
    if (!field.starts_with(kMarker)) {
        if (Utf8ToCp932(field, str))
            return true;
        strProblem = "a character with no code page 932 form (or text that is not UTF-8)";
        return false;
    }
    const std::string_view hex = field.substr(kMarker.size());
    if (hex.size() % 2 != 0) {
        strProblem = "an odd number of hexadecimal digits after \"#cp932:\"";
        return false;
    }
    std::string bytes(hex.size() / 2, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int nHigh = HexValue(hex[2 * i]);
        const int nLow = HexValue(hex[2 * i + 1]);
        if (nHigh < 0 || nLow < 0) {
            strProblem = "a character that is not a hexadecimal digit after \"#cp932:\"";
            return false;
        }
        bytes[i] = static_cast<char>(nHigh * 16 + nLow);
    }
    str = CString(bytes.data(), static_cast<int>(bytes.size()));
    return true;
}

void CFieldText::ToUtf8(const std::vector<const CString*>& texts, std::vector<std::string>& out)
{
    out.resize(texts.size());
    std::vector<std::string_view> views;
    views.reserve(texts.size());
    for (const CString* pText : texts)
        views.push_back(pText->View());
    // The fast way: the whole batch converted there and back in one call each, the same bytes on
    // return, and no field that begins with the marker. Anything else goes field by field.
    CString strBack;
    if (Join(views, m_strJoined) && Cp932ToUtf8(m_strJoined, m_strConverted) &&
        Utf8ToCp932(m_strConverted, strBack) && strBack.View() == m_strJoined) {
        std::size_t nStart = 0;
        bool bMarker = false;
        for (std::string& strField : out) {
            const std::size_t nEnd = m_strConverted.find('\0', nStart);
            strField.assign(m_strConverted, nStart, nEnd - nStart);
            bMarker = bMarker || strField.starts_with(kMarker);
            nStart = nEnd + 1;
        }
        if (!bMarker)
            return;
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (!OneToUtf8(*texts[i], out[i]))
            out[i] = Escaped(texts[i]->View());
    }
}

int CFieldText::FromUtf8(const std::vector<std::string_view>& fields, std::vector<CString>& out,
                         std::string& strProblem)
{
    out.resize(fields.size());
    const bool bMarker = std::any_of(fields.begin(), fields.end(),
                                     [](std::string_view field) { return field.starts_with(kMarker); });
    CString strJoined;
    if (!bMarker && Join(fields, m_strJoined) && Utf8ToCp932(m_strJoined, strJoined)) {
        const std::string_view joined = strJoined.View();
        std::size_t nStart = 0;
        for (CString& str : out) {
            const std::size_t nEnd = joined.find('\0', nStart);
            str = CString(joined.data() + nStart, static_cast<int>(nEnd - nStart));
            nStart = nEnd + 1;
        }
        return -1;
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!OneFromUtf8(fields[i], out[i], strProblem))
            return static_cast<int>(i);
    }
    return -1;
}
