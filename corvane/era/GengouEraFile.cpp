// Reading and writing of era-name files (.lgn) and period files (.ler): CGengouEra::ReadFile and
// CGengouEra::WriteFile.
#include <corvane/GengouEra.h>

#include <framework/Cp932.h>
#include <framework/Numbers.h>
#include <framework/StdioFile.h>

#include "table/TableFile.h"

#include <string>

namespace {

// The header words, and the strings that the dialogs of each kind of file show.
const CString& HeaderWord(EHeaderType eType)
{
    return eType == HEADER_GENGOU ? CP932("[元号]") : CP932("[時代]");
}

STableFileKind FileKind(EHeaderType eType, bool bRead)
{
    STableFileKind kind;
    if (eType == HEADER_GENGOU) {
        kind.strDefExt = "lgn";
        kind.strFilter = bRead ? CP932("元号ﾃﾞｰﾀ (*.lgn)|*.lgn|すべてのﾌｧｲﾙ (*.*)|*.*|")
                               : CP932("元号ﾃﾞｰﾀ (*.lgn)|*.lgn|すべてのﾌｧｲﾙ (*.*)|*.*||");
        kind.strTitle = bRead ? CP932("元号ﾃﾞｰﾀの読込み") : CP932("元号ﾃﾞｰﾀの書込み");
    } else {
        kind.strDefExt = "ler";
        kind.strFilter = bRead ? CP932("時代ﾃﾞｰﾀ (*.ler)|*.ler|すべてのﾌｧｲﾙ (*.*)|*.*|")
                               : CP932("時代ﾃﾞｰﾀ (*.ler)|*.ler|すべてのﾌｧｲﾙ (*.*)|*.*||");
        kind.strTitle = bRead ? CP932("時代ﾃﾞｰﾀの読込み") : CP932("時代ﾃﾞｰﾀの書込み");
    }
    return kind;
}

// A quoted field: every double quote doubled. Byte by byte, as the field reader undoes it (a
// quote never occurs inside a double-byte character of a valid text, and a broken one must not
// hide a quote from the doubling).
CString Quoted(const CString& str)
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

// One record line: "name", begin, end, "note" and a line feed (CR LF on disk). Built by
// concatenation rather than printf so that no byte of a name or note is lost.
CString RecordLine(const SGengouEraTable& rec)
{
    CString strYears;
    strYears.Format(", %d, %d, ", static_cast<int>(rec.lBeginYear), static_cast<int>(rec.lEndYear));
    return Quoted(EscapeLineBreaks(rec.strGengou)) + strYears + Quoted(EscapeLineBreaks(rec.strNote)) + "\n";
}

} // namespace

bool CGengouEra::ReadFile(const char* pszFileName, EHeaderType eType, bool bMessage)
{
    CLibraryResources resources;
    CStdioFile file;
    const auto formatError = [&]() {
        if (bMessage)
            ShowTableMessage(*this, IDS_FILE_READ_FAILED);
        return false;
    };
    try {
        if (!OpenTableFile(*this, pszFileName, FileKind(eType, true), file))
            return false;

        CString strLine;
        if (!file.ReadString(strLine))
            return formatError();
        CString strKind;
        int nVersion = 0;
        GetTableKindNameAndFileVer(strLine, strKind, nVersion);
        if ((eType == HEADER_GENGOU || eType == HEADER_JIDAI) && strKind != HeaderWord(eType))
            return formatError();

        if (!file.ReadString(strLine))
            return formatError();
        SetTableName(strLine);

        if (nVersion >= 1) {
            if (!file.ReadString(strLine))
                return formatError();
            SetExplanation(UnescapeLineBreaks(strLine));
        }

        while (file.ReadString(strLine)) {
            CString strName;
            const int nNameEnd = GetElementFromCSV(strLine, 0, strName);
            if (nNameEnd < 0)
                return formatError();
            const int nComma1 = strLine.Find(',', nNameEnd + 1);
            if (nComma1 < 0)
                return formatError();
            // A record needs the comma after its end year as well; without it the note would be
            // read from the start of the line.
            const int nComma2 = strLine.Find(',', nComma1 + 1);
            if (nComma2 < 0)
                return formatError();
            const std::int32_t lBegin = Atoi32(strLine.Mid(nNameEnd + 1, nComma1 - nNameEnd - 1));
            const std::int32_t lEnd = Atoi32(strLine.Mid(nComma1 + 1, nComma2 - nComma1 - 1));
            CString strNote;
            GetElementFromCSV(strLine, nComma2 + 1, strNote);
            SetData(strName, lBegin, lEnd, UnescapeLineBreaks(strNote));
        }

        file.Close();
        m_bModified = false;
        return true;
    } catch (const CFileException& e) {
        if (bMessage)
            ShowTableMessage(*this, ReadFailureMessage(e));
        return false;
    }
}

bool CGengouEra::WriteFile(bool bDialog, CDocument* pDocument, EHeaderType eType)
{
    return WriteTableFile(*this, bDialog, pDocument, FileKind(eType, false), [this, eType](CStdioFile& file) {
        file.WriteString(HeaderWord(eType == HEADER_GENGOU ? HEADER_GENGOU : HEADER_JIDAI) + ", 1\n");
        file.WriteString(EscapeLineBreaks(m_strTableName) + "\n");
        file.WriteString(EscapeLineBreaks(m_strExplanation) + "\n");
        for (const SGengouEraTable& rec : m_GengouEraTable)
            file.WriteString(RecordLine(rec));
    });
}
