#include "RowExport.h"

#include <algorithm>
#include <string_view>
#include <shared/chronology/CsvField.h>

#include <vector>

#include <framework/Cp932.h>
#include <framework/FileException.h>
#include <framework/StdioFile.h>

#include "NenpyoDoc.h"

namespace {

std::string Utf8(const CString& str)
{
    return Cp932ToUtf8Lossy(str.View());
}

std::string HtmlEscaped(const std::string& str)
{
    std::string strOut;
    strOut.reserve(str.size());
    for (std::size_t i = 0; i < str.size(); ++i) {
        switch (str[i]) {
        case '&': strOut += "&amp;"; break;
        case '<': strOut += "&lt;"; break;
        case '>': strOut += "&gt;"; break;
        case '"': strOut += "&quot;"; break;
        case '\r':
            if (i + 1 < str.size() && str[i + 1] == '\n')
                ++i;
            strOut += "<br>";
            break;
        case '\n': strOut += "<br>"; break;
        default: strOut += str[i]; break;
        }
    }
    return strOut;
}

// The event text with an <a> around each linked run alone.
std::string LinkedHtml(const std::vector<STextRun>& vRuns)
{
    std::string strOut;
    for (const STextRun& run : vRuns) {
        if (run.strLink.IsEmpty() || !CRowExport::IsWebLink(run.strLink))
            strOut += HtmlEscaped(Utf8(run.strText));
        else
            strOut += "<a href=\"" + HtmlEscaped(Utf8(run.strLink)) + "\" rel=\"noopener\">" +
                      HtmlEscaped(Utf8(run.strText)) + "</a>";
    }
    return strOut;
}

// Calls fn(row) for every row that eFilter shows, in list order, until it returns false.
template <typename Fn>
void ForEachRow(const CNenpyoDoc& doc, EEventPriority eFilter, Fn fn)
{
    const CChronologyText text(&doc.Eras(), &doc.Periods(), doc.HasBaseYear() ? &doc.BaseYear() : nullptr);
    for (const auto& pRecord : doc.Events().GetEventData()) {
        if (CYearEvent::IsShown(*pRecord, eFilter) && !fn(text.MakeRow(*pRecord)))
            return;
    }
}

std::vector<int> Columns(const CNenpyoDoc& doc)
{
    std::vector<int> vColumns;
    for (int n = 0; n < COLUMN_COUNT; ++n) {
        if (CRowExport::HasColumn(doc, n))
            vColumns.push_back(n);
    }
    return vColumns;
}

} // namespace

bool CRowExport::IsWebLink(const CString& strLink)
{
    const std::string_view sv = strLink.View();
    for (const std::string_view svScheme : {"http:", "https:", "mailto:"}) {
        if (sv.size() >= svScheme.size() &&
            std::equal(svScheme.begin(), svScheme.end(), sv.begin(),
                       [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b); }))
            return true;
    }
    return false;
}

bool CRowExport::HasColumn(const CNenpyoDoc& doc, int nColumn)
{
    if (nColumn == COLUMN_WESTERN_DAY)
        return false;
    return nColumn != COLUMN_BASE_YEAR || doc.HasBaseYear();
}

CString CRowExport::ColumnTitle(const CNenpyoDoc& doc, int nColumn)
{
    switch (nColumn) {
    case COLUMN_YEAR: return CP932("西暦");
    case COLUMN_ERA_YEAR: return CP932("和暦");
    case COLUMN_PERIOD: return CP932("時代");
    case COLUMN_BASE_YEAR:
        return doc.BaseYear().GetTableName().IsEmpty() ? CP932("基点年") : doc.BaseYear().GetTableName();
    case COLUMN_DATE: return CP932("月日");
    case COLUMN_WESTERN_DAY: return CP932("西暦の日付");
    case COLUMN_TEXT: return CP932("出来事");
    case COLUMN_NOTE: return CP932("備考");
    default: return CString();
    }
}

CString CRowExport::ColumnText(const SChronologyRow& row, int nColumn)
{
    switch (nColumn) {
    case COLUMN_YEAR: return row.strYear;
    case COLUMN_ERA_YEAR: return row.strEraYear;
    case COLUMN_PERIOD: return row.strPeriod;
    case COLUMN_BASE_YEAR: return row.strBaseYear;
    case COLUMN_DATE: {
        CString strDate = row.strDate;
        strDate.TrimRight();
        return strDate;
    }
    case COLUMN_WESTERN_DAY: return row.strWesternDay;
    case COLUMN_TEXT: return row.strText;
    case COLUMN_NOTE: return row.strNote;
    default: return CString();
    }
}

namespace {

// Where an export goes, a piece at a time; RowDone is told after each row and false stops it.
class CExportSink {
public:
    virtual ~CExportSink() = default;
    virtual void Add(const std::string& str) = 0;
    virtual bool RowDone() { return true; }
};

class CStringSink final : public CExportSink {
public:
    void Add(const std::string& str) override { m_str += str; }
    std::string m_str;
};

void WriteCsv(const CNenpyoDoc& doc, EEventPriority eFilter, bool bByteOrderMark, CExportSink& sink)
{
    const std::vector<int> vColumns = Columns(doc);
    std::string strLine = bByteOrderMark ? "\xEF\xBB\xBF" : "";
    const auto AddLine = [&](auto textOf) {
        for (std::size_t i = 0; i < vColumns.size(); ++i) {
            if (i > 0)
                strLine += ',';
            strLine += CsvField(Utf8(textOf(vColumns[i])));
        }
        strLine += "\r\n";
        sink.Add(strLine);
        strLine.clear();
    };
    AddLine([&](int n) { return CRowExport::ColumnTitle(doc, n); });
    ForEachRow(doc, eFilter, [&](const SChronologyRow& row) {
        AddLine([&](int n) { return CRowExport::ColumnText(row, n); });
        return sink.RowDone();
    });
}

void WriteHtml(const CNenpyoDoc& doc, EEventPriority eFilter, CExportSink& sink)
{
    const std::vector<int> vColumns = Columns(doc);
    const std::string strTitle = HtmlEscaped(Utf8(doc.Events().GetTableName()));
    std::string strOut = "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + strTitle +
                         "</title>\n<style>\n"
                         "body { font-family: sans-serif; }\n"
                         "table { border-collapse: collapse; }\n"
                         "th, td { border: 1px solid #888; padding: 2px 6px; vertical-align: top; }\n"
                         "th { background: #e8e8e8; }\n"
                         "td.year { text-align: right; white-space: nowrap; }\n"
                         "</style>\n</head>\n<body>\n<h1>" + strTitle + "</h1>\n";
    if (!doc.Events().GetExplanation().IsEmpty())
        strOut += "<p>" + HtmlEscaped(Utf8(doc.Events().GetExplanation())) + "</p>\n";
    strOut += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n<thead><tr>";
    for (const int n : vColumns)
        strOut += "<th>" + HtmlEscaped(Utf8(CRowExport::ColumnTitle(doc, n))) + "</th>";
    strOut += "</tr></thead>\n<tbody>\n";
    sink.Add(strOut);
    strOut.clear();
    ForEachRow(doc, eFilter, [&](const SChronologyRow& row) {
        strOut += "<tr>";
        for (const int n : vColumns) {
            const std::string strText = HtmlEscaped(Utf8(CRowExport::ColumnText(row, n)));
            if (n == COLUMN_YEAR)
                strOut += "<td class=\"year\">" + strText + "</td>";
            else if (n == COLUMN_TEXT)
                strOut += "<td>" + LinkedHtml(row.vTextRuns) + "</td>";
            else
                strOut += "<td>" + strText + "</td>";
        }
        strOut += "</tr>\n";
        sink.Add(strOut);
        strOut.clear();
        return sink.RowDone();
    });
    sink.Add("</tbody>\n</table>\n</body>\n</html>\n");
}

// The file of an export, written in pieces of about 64 KiB; the progress told every 1024 rows.
class CFileSink final : public CExportSink {
public:
    CFileSink(CStdioFile& file, int nTotal, const CRowExport::CProgress& progress)
        : m_file(file), m_nTotal(nTotal), m_progress(progress)
    {
    }
    void Add(const std::string& str) override
    {
        m_strBuffer += str;
        if (m_strBuffer.size() >= (1u << 16))
            Flush();
    }
    bool RowDone() override
    {
        ++m_nDone;
        if (m_progress && m_nDone % 1024 == 0 && !m_progress(m_nDone, m_nTotal))
            m_bCancelled = true;
        return !m_bCancelled;
    }
    void Flush()
    {
        m_file.WriteString(CString(m_strBuffer.data(), static_cast<int>(m_strBuffer.size())));
        m_strBuffer.clear();
    }
    bool Cancelled() const { return m_bCancelled; }

private:
    CStdioFile& m_file;
    int m_nTotal;
    const CRowExport::CProgress& m_progress;
    std::string m_strBuffer;
    int m_nDone = 0;
    bool m_bCancelled = false;
};

// The status of a write that failed with error.
SFileStatus WriteFailure(const CFileException& error)
{
    SFileStatus status;
    status.nMessage = IDS_FILE_WRITE_FAILED;
    status.nOsError = error.m_lOsError > 0 ? static_cast<int>(error.m_lOsError) : 0;
    return status;
}

// Opens path to be replaced when the file is closed; false with status set when it cannot be.
bool OpenForReplacing(CStdioFile& file, const std::filesystem::path& path, SFileStatus& status)
{
    CFileException error;
    if (file.Open(path, CStdioFile::modeCreate | CStdioFile::modeWrite | CStdioFile::typeBinary, &error))
        return true;
    status = WriteFailure(error);
    return false;
}

} // namespace

std::string CRowExport::Csv(const CNenpyoDoc& doc, EEventPriority eFilter, bool bByteOrderMark)
{
    CStringSink sink;
    WriteCsv(doc, eFilter, bByteOrderMark, sink);
    return sink.m_str;
}

std::string CRowExport::Html(const CNenpyoDoc& doc, EEventPriority eFilter)
{
    CStringSink sink;
    WriteHtml(doc, eFilter, sink);
    return sink.m_str;
}

int CRowExport::RowCount(const CNenpyoDoc& doc, EEventPriority eFilter)
{
    int nRows = 0;
    for (const auto& pRecord : doc.Events().GetEventData())
        nRows += CYearEvent::IsShown(*pRecord, eFilter);
    return nRows;
}

SFileStatus CRowExport::Export(const CNenpyoDoc& doc, EEventPriority eFilter, EFormat eFormat, const std::filesystem::path& path,
                               const CProgress& progress, bool& bCancelled, Env* pEnv)
{
    bCancelled = false;
    SFileStatus status;
    CStdioFile file(pEnv);
    if (!OpenForReplacing(file, path, status))
        return status;
    CFileSink sink(file, progress ? RowCount(doc, eFilter) : 0, progress);
    try {
        if (eFormat == EFormat::Html)
            WriteHtml(doc, eFilter, sink);
        else
            WriteCsv(doc, eFilter, eFormat == EFormat::CsvWithByteOrderMark, sink);
        if (sink.Cancelled()) {
            bCancelled = true;
            file.Abort();
            return status;
        }
        sink.Flush();
        file.Close();
    } catch (const CFileException& e) {
        file.Abort();
        status = WriteFailure(e);
    }
    return status;
}

SFileStatus CRowExport::WriteFile(const std::filesystem::path& path, const std::string& strBytes, Env* pEnv)
{
    SFileStatus status;
    CStdioFile file(pEnv);
    if (!OpenForReplacing(file, path, status))
        return status;
    try {
        file.WriteString(CString(strBytes.data(), static_cast<int>(strBytes.size())));
        file.Close();
    } catch (const CFileException& e) {
        file.Abort();
        status = WriteFailure(e);
    }
    return status;
}
