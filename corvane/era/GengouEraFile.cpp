// Reading and writing of era-name files (.lgn) and period files (.ler): CGengouEra::ReadFile and
// CGengouEra::WriteFile.
#include <corvane/GengouEra.h>

#include <framework/Cp932.h>
#include <framework/Numbers.h>
#include <framework/StdioFile.h>

#include "table/RecordCodec.h"
#include "table/TableFile.h"

#include <algorithm>
#include <string>
#include <unordered_set>

namespace {

// The header words, and the strings that the dialogs of each kind of file show.
const CString& HeaderWord(EHeaderType eType)
{
    return TableKindWord(eType == HEADER_GENGOU ? ETableKind::Era : ETableKind::Period);
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

// A day as an era file holds it: month 1-12, day 0-31 (0: the month alone), a leap flag. Any other
// month, day or flag is no day, and month 0 is the file's "not known".
bool IsFileDate(std::int32_t nMonth, std::int32_t nDay, std::int32_t nLeap)
{
    return nMonth >= 1 && nMonth <= 12 && nDay >= 0 && nDay <= 31 && (nLeap == 0 || nLeap == 1);
}

CString DateFields(const SEraDate& date)
{
    CString str;
    if (IsFileDate(date.nMonth, date.nDay, 0))
        str.Format("%d, %d, %d", date.nMonth, date.nDay, date.bLeap ? 1 : 0);
    else
        str = "0, 0, 0";
    return str;
}

// One record line: "name", begin, end, "note", and when the record knows a day, the six fields of
// its first and last day after the note (month, day, leap flag each), which readers that take four
// fields never see. Built by concatenation rather than printf so that no byte of a name or note is
// lost.
CString RecordLine(const SGengouEraTable& rec)
{
    CString strYears;
    strYears.Format(", %d, %d, ", static_cast<int>(rec.lBeginYear), static_cast<int>(rec.lEndYear));
    CString strLine = QuoteField(EscapeLineBreaks(rec.strGengou)) + strYears + QuoteField(EscapeLineBreaks(rec.strNote));
    if (IsFileDate(rec.nBeginMonth, rec.nBeginDay, 0) || IsFileDate(rec.nEndMonth, rec.nEndDay, 0))
        strLine += ", " + DateFields(rec.BeginDate()) + ", " + DateFields(rec.EndDate());
    return strLine;
}

// Reads one day (month, day, leap flag) of a record; a day that is missing or not a day of the
// file's form leaves the record's day not known.
void ReadDate(CRecordFields& fields, int& nMonth, bool& bLeap, int& nDay)
{
    const std::int32_t nM = fields.Number(-1);
    const std::int32_t nD = fields.Number(-1);
    const std::int32_t nL = fields.Number(-1);
    if (!IsFileDate(nM, nD, nL))
        return;
    nMonth = nM;
    nDay = nD;
    bLeap = nL == 1;
}

// SetData for the records of one file. While every record belongs at the end (a file in begin-year
// order read into a table in order), SetData's name check comes down to "does any record bear the
// name", which a set of the names answers without a scan; a record with that name, same years or
// not, changes nothing. From the first record that belongs elsewhere on, SetData itself adds them.
class CEraAppender {
public:
    explicit CEraAppender(CGengouEra& table) : m_table(table), m_arr(table.GetGengoEraTable())
    {
        const auto later = [](const SGengouEraTable& a, const SGengouEraTable& b) { return a.lBeginYear < b.lBeginYear; };
        m_bAppending = std::is_sorted(m_arr.begin(), m_arr.end(), later);
        for (std::size_t i = 0; m_bAppending && i < m_arr.size(); ++i)
            m_names.insert(m_arr[i].strGengou);
    }

    // Adds rec as SetData adds its name, years and note; a record it inserts keeps rec's days.
    void Add(const SGengouEraTable& rec)
    {
        if (m_bAppending && !m_arr.empty() && rec.lBeginYear < m_arr.back().lBeginYear) {
            m_bAppending = false;
            m_names.clear();
        }
        if (!m_bAppending) {
            // SetData inserts before the first record with a later begin year.
            const std::size_t nAt = static_cast<std::size_t>(
                std::find_if(m_arr.begin(), m_arr.end(),
                             [&](const SGengouEraTable& r) { return rec.lBeginYear < r.lBeginYear; }) -
                m_arr.begin());
            const std::size_t nBefore = m_arr.size();
            m_table.SetData(rec.strGengou, rec.lBeginYear, rec.lEndYear, rec.strNote);
            if (m_arr.size() > nBefore)
                m_arr[nAt] = rec;   // SetData stored the same name, years and note: add the days
            return;
        }
        if (!m_names.insert(rec.strGengou).second)
            return;
        m_arr.push_back(rec);
        m_table.SetModified(true);
    }

private:
    CGengouEra& m_table;
    CGengouEraArray& m_arr;
    bool m_bAppending = true;
    std::unordered_set<CString> m_names;
};

} // namespace

// Reads the lines after the open of an era file into the table; 0 when the whole file was read,
// otherwise the message of the format error.
unsigned CGengouEra::ReadEraLines(CStdioFile& file, EHeaderType eType)
{
    CEraAppender appender(*this);
    CString strLine;
    if (!file.ReadString(strLine))
        return IDS_FILE_READ_FAILED;
    CString strKind;
    int nVersion = 0;
    CTableBase::GetTableKindNameAndFileVer(strLine, strKind, nVersion);
    if ((eType == HEADER_GENGOU || eType == HEADER_JIDAI) && strKind != HeaderWord(eType))
        return IDS_FILE_READ_FAILED;

    if (!file.ReadString(strLine))
        return IDS_FILE_READ_FAILED;
    SetTableName(strLine);

    if (nVersion >= 1) {
        if (!file.ReadString(strLine))
            return IDS_FILE_READ_FAILED;
        SetExplanation(UnescapeLineBreaks(strLine));
    }

    while (file.ReadString(strLine)) {
        CString strName;
        const int nNameEnd = CTableBase::GetElementFromCSV(strLine, 0, strName);
        if (nNameEnd < 0)
            return IDS_FILE_READ_FAILED;
        const int nComma1 = strLine.Find(',', nNameEnd + 1);
        if (nComma1 < 0)
            return IDS_FILE_READ_FAILED;
        // A record needs the comma after its end year as well; without it the note would be read
        // from the start of the line.
        const int nComma2 = strLine.Find(',', nComma1 + 1);
        if (nComma2 < 0)
            return IDS_FILE_READ_FAILED;
        const std::int32_t lBegin = Atoi32(strLine.Mid(nNameEnd + 1, nComma1 - nNameEnd - 1));
        const std::int32_t lEnd = Atoi32(strLine.Mid(nComma1 + 1, nComma2 - nComma1 - 1));
        CString strNote;
        const int nNoteEnd = CTableBase::GetElementFromCSV(strLine, nComma2 + 1, strNote);
        // As SetData takes its texts: up to the first NUL byte.
        SGengouEraTable rec{CString(strName.GetString()), lBegin, lEnd, UnescapeLineBreaks(CString(strNote.GetString()))};
        if (nNoteEnd >= 0) {
            CRecordFields days(strLine, nNoteEnd + 1);
            ReadDate(days, rec.nBeginMonth, rec.bBeginLeap, rec.nBeginDay);
            ReadDate(days, rec.nEndMonth, rec.bEndLeap, rec.nEndDay);
        }
        appender.Add(rec);
    }
    return 0;
}

SFileStatus CGengouEra::Load(const char* pszPath, EHeaderType eType, Env* pEnv)
{
    return LoadTableFile(*this, pszPath, [this, eType](CStdioFile& file) { return ReadEraLines(file, eType); }, pEnv);
}

SFileStatus CGengouEra::Load(const std::filesystem::path& path, EHeaderType eType, Env* pEnv)
{
    return LoadTableFile(*this, path, [this, eType](CStdioFile& file) { return ReadEraLines(file, eType); }, pEnv);
}

SFileStatus CGengouEra::Save(const char* pszPath, EHeaderType eType, Env* pEnv)
{
    return SaveTableFile(*this, pszPath, [this, eType](CStdioFile& file) { WriteEraLines(file, eType); }, pEnv);
}

SFileStatus CGengouEra::Save(const std::filesystem::path& path, EHeaderType eType, Env* pEnv)
{
    return SaveTableFile(*this, path, [this, eType](CStdioFile& file) { WriteEraLines(file, eType); }, pEnv);
}

bool CGengouEra::ReadFile(const char* pszFileName, EHeaderType eType, bool bMessage)
{
    return ReadTableFile(*this, pszFileName, FileKind(eType, true), bMessage,
                         [this, eType](CStdioFile& file) { return ReadEraLines(file, eType); });
}

void CGengouEra::WriteEraLines(CStdioFile& file, EHeaderType eType) const
{
    CTableLineWriter lines(file);
    lines.Line(HeaderLine(HeaderWord(eType == HEADER_GENGOU ? HEADER_GENGOU : HEADER_JIDAI), 1, ", "));
    lines.Line(EscapeLineBreaks(m_strTableName));
    lines.Line(EscapeLineBreaks(m_strExplanation));
    for (const SGengouEraTable& rec : m_GengouEraTable)
        lines.Line(RecordLine(rec));
}

bool CGengouEra::WriteFile(bool bDialog, CDocument* pDocument, EHeaderType eType)
{
    return WriteTableFile(*this, bDialog, pDocument, FileKind(eType, false),
                          [this, eType](CStdioFile& file) { WriteEraLines(file, eType); });
}
