// Reading and writing of era-name files (.lgn) and period files (.ler): CGengouEra::ReadFile and
// CGengouEra::WriteFile.
#include <corvane/GengouEra.h>

#include <framework/Cp932.h>
#include <framework/Numbers.h>
#include <framework/StdioFile.h>

#include "era/EraNameIndex.h"
#include "table/RecordCodec.h"
#include "table/TableFile.h"

#include <algorithm>
#include <iterator>
#include <map>
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

// One record line: "name", begin, end, "note". Built by concatenation rather than printf so that
// no byte of a name or note is lost.
CString RecordLine(const SGengouEraTable& rec)
{
    CString strYears;
    strYears.Format(", %d, %d, ", static_cast<int>(rec.lBeginYear), static_cast<int>(rec.lEndYear));
    return QuoteField(EscapeLineBreaks(rec.strGengou)) + strYears + QuoteField(EscapeLineBreaks(rec.strNote));
}

} // namespace

// SetData for the records of one file. While the table is sorted, a record that belongs at the
// end is appended at once; the others wait in a tree ordered by begin year (after those of equal
// begin year, as SetData places them) and are merged in when the reading ends. The name check
// sees the table and the waiting records together, exactly as one SetData after the other would.
// On a table that is not sorted every record goes through SetData itself.
class CGengouEra::CInsertBatch {
public:
    explicit CInsertBatch(CGengouEra& table) : m_table(table), m_bSorted(table.CheckSortedAndIndex()) {}
    CInsertBatch(const CInsertBatch&) = delete;
    CInsertBatch& operator=(const CInsertBatch&) = delete;

    // Should Finish not have run (an exception other than a file exception), the waiting records
    // are dropped and the table forgets its order, which keeps it consistent.
    ~CInsertBatch()
    {
        if (!m_pending.empty())
            m_table.ForgetOrder();
    }

    void Add(const CString& strName, std::int32_t lBegin, std::int32_t lEnd, const CString& strNote)
    {
        if (!m_bSorted) {
            m_table.SetData(strName, lBegin, lEnd, strNote);
            return;
        }
        CGengouEraArray& arr = m_table.m_GengouEraTable;
        bool bNew = false;
        CEraNameIndex::SFirst& first = m_table.m_pNameIndex->FindOrInsert(strName, {lBegin, lEnd}, bNew);
        if (!bNew) {
            if (first.lBeginYear <= lBegin)
                return;
            // The first record with a later begin year, of the table or waiting (the table's goes
            // first among equal begin years: every waiting record came later).
            const auto it = std::upper_bound(arr.begin(), arr.end(), lBegin,
                                             [](std::int32_t l, const SGengouEraTable& rec) { return l < rec.lBeginYear; });
            const auto waiting = m_pending.upper_bound(lBegin);
            const SGengouEraTable* pNext = nullptr;
            if (it != arr.end() && (waiting == m_pending.end() || it->lBeginYear <= waiting->first))
                pNext = &*it;
            else if (waiting != m_pending.end())
                pNext = &waiting->second;
            if (pNext && pNext->strGengou == strName)
                return;
            first = {lBegin, lEnd};
        }
        SGengouEraTable rec;
        rec.strGengou = strName;
        rec.lBeginYear = lBegin;
        rec.lEndYear = lEnd;
        rec.strNote = strNote;
        if (m_pending.empty() && (arr.empty() || arr.back().lBeginYear <= lBegin)) {
            arr.push_back(std::move(rec));
            m_table.m_nIndexedSize = arr.size();
        } else {
            m_pending.emplace(lBegin, std::move(rec));   // after the waiting ones of equal year
        }
        m_table.m_bModified = true;
    }

    // Merges the waiting records into the table. Leaves everything as it was when it throws.
    void Finish()
    {
        if (m_pending.empty())
            return;
        CGengouEraArray& arr = m_table.m_GengouEraTable;
        CGengouEraArray merged;
        merged.reserve(arr.size() + m_pending.size());
        auto it = arr.begin();
        for (auto& [lBegin, rec] : m_pending) {
            while (it != arr.end() && it->lBeginYear <= lBegin)
                merged.push_back(std::move(*it++));
            merged.push_back(std::move(rec));
        }
        std::move(it, arr.end(), std::back_inserter(merged));
        arr.swap(merged);
        m_pending.clear();
        m_table.m_nIndexedSize = arr.size();
    }

private:
    CGengouEra& m_table;
    const bool m_bSorted;
    std::multimap<std::int32_t, SGengouEraTable> m_pending;
};

namespace {

// Reads the lines after the open of an era file into the table; 0 when the whole file was read,
// otherwise the message of the format error.
template <typename FSetTableName, typename FSetExplanation, typename FAdd>
unsigned ReadEraLines(CStdioFile& file, EHeaderType eType, FSetTableName setTableName,
                      FSetExplanation setExplanation, FAdd add)
{
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
    setTableName(strLine);

    if (nVersion >= 1) {
        if (!file.ReadString(strLine))
            return IDS_FILE_READ_FAILED;
        setExplanation(UnescapeLineBreaks(strLine));
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
        CTableBase::GetElementFromCSV(strLine, nComma2 + 1, strNote);
        // As SetData takes its texts: up to the first NUL byte.
        add(CString(strName.GetString()), lBegin, lEnd, UnescapeLineBreaks(CString(strNote.GetString())));
    }
    return 0;
}

} // namespace

SFileStatus CGengouEra::Load(const char* pszPath, EHeaderType eType)
{
    SFileStatus status;
    CInsertBatch batch(*this);
    status = LoadTableFile(*this, pszPath, [&](CStdioFile& file) {
        return ReadEraLines(
            file, eType, [this](const CString& str) { SetTableName(str); },
            [this](const CString& str) { SetExplanation(str); },
            [&batch](const CString& strName, std::int32_t lBegin, std::int32_t lEnd, const CString& strNote) {
                batch.Add(strName, lBegin, lEnd, strNote);
            });
    });
    // The records read so far are in the table, on failure too.
    batch.Finish();
    if (status.Ok())
        m_bModified = false;
    return status;
}

SFileStatus CGengouEra::Save(const char* pszPath, EHeaderType eType)
{
    return SaveTableFile(*this, pszPath, [this, eType](CStdioFile& file) { WriteEraLines(file, eType); });
}

bool CGengouEra::ReadFile(const char* pszFileName, EHeaderType eType, bool bMessage)
{
    CLibraryResources resources;
    unsigned nMessage = 0;
    if (!ResolveReadFileName(*this, pszFileName, FileKind(eType, true), &nMessage)) {
        if (nMessage != 0 && bMessage)
            ShowTableMessage(*this, nMessage);
        return false;
    }
    const SFileStatus status = Load(m_strFileName, eType);
    if (!status.Ok() && bMessage)
        ShowTableMessage(*this, status.nMessage);
    return status.Ok();
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
