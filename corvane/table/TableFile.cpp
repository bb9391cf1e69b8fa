#include "table/TableFile.h"

#include <framework/Cp932.h>
#include <framework/FileDialog.h>
#include <framework/FileSystem.h>

#include <corvane/FilePathManager.h>

bool LoadLibraryString(unsigned nID, CString& strText)
{
    switch (nID) {
    case IDS_FILE_BAD_FORMAT:
        strText = CP932("ファイル %1 のフォーマットが正しくありません");
        return true;
    case IDS_FILE_WRITE_FAILED:
        strText = CP932("ファイル %1 への書き込みに失敗しました");
        return true;
    case IDS_FILE_READ_FAILED:
        strText = CP932("ファイル %1 の読込みに失敗しました");
        return true;
    default:
        return false;
    }
}

const CString& TableLibraryFolder()
{
    return CP932("ﾗｲﾌﾞﾗﾘ");
}

namespace {

// The dialogs start in the library folder under the current directory of this moment.
CString InitialFolder()
{
    CString strDir;
    if (!GetCurrentDir(strDir))
        return TableLibraryFolder();
    if (strDir.IsEmpty() || strDir.Right(1) != CString(kNativePathSeparator, 1))
        strDir += kNativePathSeparator;
    return strDir + TableLibraryFolder();
}

} // namespace

bool OpenTableFile(CTableBase& table, const char* pszFileName, const STableFileKind& kind, CStdioFile& file)
{
    // A name given replaces the stored one; an empty name given empties it, so the dialog asks.
    if (pszFileName)
        table.SetFileName(pszFileName);
    if (table.GetFileName().IsEmpty()) {
        CFileDialog dialog(true, kind.strDefExt, nullptr,
                           OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR, kind.strFilter);
        dialog.m_request.strTitle = kind.strTitle;
        dialog.m_request.strInitialDir = InitialFolder();
        if (dialog.DoModal() != IDOK)
            return false;
        table.SetFileName(dialog.GetPathName());
    }

    if (!IsNativeAbsolutePath(table.GetFileName())) {
        CString strDir;
        if (!GetCurrentDir(strDir))
            AfxThrowFileException(CFileException::badPath, -1, table.GetFileName());
        if (strDir.Right(1) != CString(kNativePathSeparator, 1))
            strDir += kNativePathSeparator;
        table.SetFileName(strDir + table.GetFileName());
    }

    CFileException e;
    if (!file.Open(table.GetFileName(), CStdioFile::modeRead | CStdioFile::typeText, &e))
        throw e;
    return true;
}

bool CreateTableFile(CTableBase& table, bool bDialog, CDocument* pDocument, const STableFileKind& kind,
                     CStdioFile& file)
{
    if (table.GetFileName().IsEmpty())
        bDialog = true;
    const CString strDefault = !table.GetFileName().IsEmpty() ? table.GetFileName() : table.GetTableName();

    CString strBase;
    table.GetBasePath(strBase, pDocument);

    CString strChosen = table.GetFileName();
    if (bDialog) {
        CFileDialog dialog(false, kind.strDefExt, strDefault.IsEmpty() ? nullptr : strDefault.GetString(),
                           OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR, kind.strFilter);
        dialog.m_request.strTitle = kind.strTitle;
        dialog.m_request.strInitialDir = InitialFolder();
        if (dialog.DoModal() != IDOK)
            return false;
        strChosen = dialog.GetPathName();
    }

    // The current directory moves to the document's folder and stays there; without a document
    // it stays where it is.
    if (!strBase.IsEmpty())
        SetCurrentDir(strBase);

    CString strRelative;
    CFilePathManager paths;
    if (paths.AbsToRelPath(strChosen, strRelative, nullptr))
        table.SetFileName(strRelative);
    else
        table.SetFileName(strChosen);

    CFileException e;
    if (!file.Open(table.GetFileName(), CStdioFile::modeCreate | CStdioFile::modeWrite | CStdioFile::typeText, &e))
        throw e;
    return true;
}

bool WriteTableFile(CTableBase& table, bool bDialog, CDocument* pDocument, const STableFileKind& kind,
                    const std::function<void(CStdioFile&)>& writeLines)
{
    CLibraryResources resources;
    CStdioFile file;
    try {
        if (!CreateTableFile(table, bDialog, pDocument, kind, file))
            return false;
        writeLines(file);
        file.Close();
    } catch (const CFileException&) {
        file.Abort();
        ShowTableMessage(table, IDS_FILE_WRITE_FAILED);
        return false;
    }
    table.SetModified(false);
    return true;
}

bool ReadTableFile(CTableBase& table, const char* pszFileName, const STableFileKind& kind, bool bMessages,
                   const std::function<unsigned(CStdioFile&)>& readLines)
{
    CLibraryResources resources;
    CStdioFile file;
    unsigned nMessage = 0;
    try {
        if (!OpenTableFile(table, pszFileName, kind, file))
            return false;
        nMessage = readLines(file);
        file.Close();
    } catch (const CFileException& e) {
        file.Abort();
        nMessage = ReadFailureMessage(e);
    }
    if (nMessage != 0) {
        if (bMessages)
            ShowTableMessage(table, nMessage);
        return false;
    }
    table.SetModified(false);
    return true;
}

unsigned ReadFailureMessage(const CFileException& e)
{
    return e.m_cause == CFileException::endOfFile ? IDS_FILE_BAD_FORMAT : IDS_FILE_READ_FAILED;
}

void ShowTableMessage(const CTableBase& table, unsigned nID)
{
    CLibraryResources resources;
    CString strText;
    AfxFormatString1(strText, nID, table.GetFileName());
    AfxMessageBox(strText, MB_OK);
}

CString EscapeLineBreaks(const CString& str)
{
    const std::string_view sv = str.View();
    if (sv.find_first_of("\r\n") == std::string_view::npos)
        return str;
    std::string out;
    out.reserve(sv.size() + 8);
    for (std::size_t i = 0; i < sv.size(); ++i) {
        if (sv[i] == '\r' && i + 1 < sv.size() && sv[i + 1] == '\n') {
            out += "\\r\\n";
            ++i;
        } else if (sv[i] == '\r' || sv[i] == '\n') {
            out += "\\r\\n";
        } else {
            out += sv[i];
        }
    }
    return CString(std::string_view(out));
}

CString UnescapeLineBreaks(const CString& str)
{
    CString out(str);
    out.Replace("\\r\\n", "\r\n");
    return out;
}
