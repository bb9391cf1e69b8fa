#include "table/RecordCodec.h"

#include <framework/FileException.h>
#include <framework/Numbers.h>

#include <corvane/TableBase.h>

#include <algorithm>
#include <limits>
#include <string>

CString QuoteField(const CString& str)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(str.GetLength()) + 2);
    out += '"';
    for (const char ch : str.View()) {
        out += ch;
        if (ch == '"')
            out += '"';
    }
    out += '"';
    return CString(std::string_view(out));
}

CString TextField(const CString& str)
{
    const std::string_view sv = str.View();
    const std::size_t nFirst = sv.find_first_not_of(" \t");
    const bool bQuote = sv.find(',') != std::string_view::npos || sv.find("\"\"") != std::string_view::npos ||
                        (nFirst != std::string_view::npos && sv[nFirst] == '"');
    return bQuote ? QuoteField(str) : str;
}

CString EscapeLineBreaks(const CString& str)
{
    const std::string_view sv = str.View();
    if (sv.find_first_of("\r\n") == std::string_view::npos)
        return str;
    std::string out;
    out.reserve(sv.size() + 8);
    bool bTrailNext = false;   // the reader takes the next byte written as a trail byte
    for (std::size_t i = 0; i < sv.size(); ++i) {
        const char ch = sv[i];
        if (ch == '\r' || ch == '\n') {
            if (bTrailNext)
                AfxThrowFileException(CFileException::invalidFile);
            out += "\\r\\n";
            if (ch == '\r' && i + 1 < sv.size() && sv[i + 1] == '\n')
                ++i;
            continue;
        }
        out += ch;
        bTrailNext = !bTrailNext && CString::IsLeadByte(static_cast<unsigned char>(ch));
    }
    return CString(std::string_view(out));
}

CString UnescapeLineBreaks(const CString& str)
{
    CString out(str);
    out.Replace("\\r\\n", "\r\n");
    return out;
}

CString HeaderLine(const CString& strKind, int nVersion, const char* pszSeparator)
{
    CString strLine = strKind;
    strLine.AppendFormat("%s%d", pszSeparator, nVersion);
    return strLine;
}

bool CRecordFields::Next(CString& strField)
{
    if (m_bEnded)
        return false;
    const int nEnd = CTableBase::GetElementFromCSV(m_strLine, m_nNext, strField);
    if (nEnd < 0) {
        m_bEnded = true;
        return false;
    }
    m_nNext = nEnd + 1;
    return true;
}

CString CRecordFields::Text()
{
    CString strField;
    Next(strField);
    return strField;
}

std::int32_t CRecordFields::Number(std::int32_t nMissing)
{
    CString strField;
    return Next(strField) ? Atoi32(strField) : nMissing;
}

std::int16_t CRecordFields::Short()
{
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(Number(-1), std::numeric_limits<std::int16_t>::min(),
                                                              std::numeric_limits<std::int16_t>::max()));
}

void CTableLineWriter::Line(const CString& strLine)
{
    LastLine(strLine);
    m_file.WriteString("\n");
}

void CTableLineWriter::LastLine(const CString& strLine)
{
    if (strLine.GetLength() > kMaxTableLineLength)
        AfxThrowFileException(CFileException::invalidFile, -1, m_file.GetFilePath());
    m_file.WriteString(strLine);
}
