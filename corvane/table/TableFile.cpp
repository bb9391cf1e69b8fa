#include "table/TableFile.h"

#include <framework/Cp932.h>
#include <framework/FileDialog.h>
#include <framework/FileSystem.h>

#include <corvane/FilePathManager.h>

#include <cstring>
#include <filesystem>
#include <string>

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

// The current directory with a separator at its end, ready for a relative name; false when it
// cannot be read.
bool GetCurrentDirPrefix(CString& strDir)
{
    if (!GetCurrentDir(strDir))
        return false;
    if (strDir.Right(1) != CString(kNativePathSeparator, 1))
        strDir += kNativePathSeparator;
    return true;
}

// The dialogs start in the library folder under the current directory of this moment.
CString InitialFolder()
{
    CString strDir;
    if (!GetCurrentDirPrefix(strDir))
        return TableLibraryFolder();
    return strDir + TableLibraryFolder();
}

// The file a load or save opens: a code page 932 name (which becomes the table's file name) or a
// native path (whose code page 932 form, or none, becomes the table's file name).
class CTableFileName {
public:
    explicit CTableFileName(const char* pszPath) : m_pszName(pszPath ? pszPath : "") {}
    explicit CTableFileName(const std::filesystem::path& path) : m_pPath(&path) {}

    void SetOn(CTableBase& table) const
    {
        CString strName;
        if (!m_pPath)
            strName = m_pszName;
        else if (!FromNativePath(Env::NameOf(*m_pPath), strName))
            strName.Empty();
        table.SetFileName(strName);
    }

    // Opens the file; a failure is thrown so that the one handler of a load or save sees it as it
    // sees a failure of the reading or writing.
    void Open(CStdioFile& file, unsigned nOpenFlags) const
    {
        CFileException e;
        if (!(m_pPath ? file.Open(*m_pPath, nOpenFlags, &e) : file.Open(m_pszName, nOpenFlags, &e)))
            throw e;
    }

private:
    const char* m_pszName = nullptr;
    const std::filesystem::path* m_pPath = nullptr;
};

SFileStatus LoadNamedFile(CTableBase& table, const CTableFileName& name,
                          const std::function<unsigned(CStdioFile&)>& readLines, Env* pEnv);
SFileStatus SaveNamedFile(CTableBase& table, const CTableFileName& name,
                          const std::function<void(CStdioFile&)>& writeLines, Env* pEnv);

} // namespace

bool ResolveReadFileName(CTableBase& table, const char* pszFileName, const STableFileKind& kind,
                         unsigned* pnMessage)
{
    if (pnMessage)
        *pnMessage = 0;
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
        if (!GetCurrentDirPrefix(strDir)) {
            if (pnMessage)
                *pnMessage = IDS_FILE_READ_FAILED;
            return false;
        }
        table.SetFileName(strDir + table.GetFileName());
    }
    return true;
}

SFileStatus LoadTableFile(CTableBase& table, const char* pszPath, const std::function<unsigned(CStdioFile&)>& readLines,
                          Env* pEnv)
{
    return LoadNamedFile(table, CTableFileName(pszPath), readLines, pEnv);
}

SFileStatus LoadTableFile(CTableBase& table, const std::filesystem::path& path,
                          const std::function<unsigned(CStdioFile&)>& readLines, Env* pEnv)
{
    return LoadNamedFile(table, CTableFileName(path), readLines, pEnv);
}

SFileStatus SaveTableFile(CTableBase& table, const char* pszPath, const std::function<void(CStdioFile&)>& writeLines,
                          Env* pEnv)
{
    return SaveNamedFile(table, CTableFileName(pszPath), writeLines, pEnv);
}

SFileStatus SaveTableFile(CTableBase& table, const std::filesystem::path& path,
                          const std::function<void(CStdioFile&)>& writeLines, Env* pEnv)
{
    return SaveNamedFile(table, CTableFileName(path), writeLines, pEnv);
}

namespace {

SFileStatus LoadNamedFile(CTableBase& table, const CTableFileName& name,
                          const std::function<unsigned(CStdioFile&)>& readLines, Env* pEnv)
{
    name.SetOn(table);
    SFileStatus status;
    CStdioFile file(pEnv);
    try {
        name.Open(file, CStdioFile::modeRead | CStdioFile::typeText);
        status.nMessage = readLines(file);
        if (status.nMessage != 0)   // the line that stopped the reader, or the one it missed
            status.nLine = file.GetLineNumber() + (file.IsPastEnd() ? 1 : 0);
        file.Close();
    } catch (const CFileException& e) {
        status.nMessage = ReadFailureMessage(e);
        if (e.m_cause == CFileException::endOfFile)
            status.nLine = file.GetLineNumber() + 1;
        else if (e.m_cause == CFileException::invalidFile && e.m_lOsError <= 0)
            status.nLine = file.GetLineNumber() + 1;   // a line beyond the length limit
        else if (e.m_lOsError > 0)
            status.nOsError = e.m_lOsError;
        file.Abort();
    }
    if (status.Ok())
        table.SetModified(false);
    return status;
}

SFileStatus SaveNamedFile(CTableBase& table, const CTableFileName& name,
                          const std::function<void(CStdioFile&)>& writeLines, Env* pEnv)
{
    name.SetOn(table);
    SFileStatus status;
    CStdioFile file(pEnv);
    try {
        name.Open(file, CStdioFile::modeCreate | CStdioFile::modeWrite | CStdioFile::typeText);
        writeLines(file);
        file.Close();
    } catch (const CFileException& e) {
        file.Abort();
        status.nMessage = IDS_FILE_WRITE_FAILED;
        status.nOsError = e.m_lOsError > 0 ? e.m_lOsError : 0;
        return status;
    }
    table.SetModified(false);
    return status;
}

} // namespace

bool WriteTableFile(CTableBase& table, bool bDialog, CDocument* pDocument, const STableFileKind& kind,
                    const std::function<void(CStdioFile&)>& writeLines, Env* pEnv)
{
    CLibraryResources resources;
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
    if (!paths.AbsToRelPath(strChosen, strRelative, nullptr))
        strRelative = strChosen;

    if (!SaveTableFile(table, strRelative, writeLines, pEnv).Ok()) {
        ShowTableMessage(table, IDS_FILE_WRITE_FAILED);
        return false;
    }
    return true;
}

bool ReadTableFile(CTableBase& table, const char* pszFileName, const STableFileKind& kind, bool bMessages,
                   const std::function<unsigned(CStdioFile&)>& readLines)
{
    CLibraryResources resources;
    unsigned nMessage = 0;
    if (!ResolveReadFileName(table, pszFileName, kind, &nMessage)) {
        if (nMessage != 0 && bMessages)
            ShowTableMessage(table, nMessage);
        return false;
    }
    const SFileStatus status = LoadTableFile(table, table.GetFileName(), readLines);
    if (!status.Ok()) {
        if (bMessages)
            ShowTableMessage(table, status.nMessage);
        return false;
    }
    return true;
}

CString FormatFileStatus(const SFileStatus& status, const char* pszFileName)
{
    if (status.Ok())
        return CString();
    CLibraryResources resources;
    CString strText;
    AfxFormatString1(strText, status.nMessage, pszFileName ? pszFileName : "");
    if (status.nLine > 0) {
        strText += " (";
        strText += std::to_string(status.nLine).c_str();
        strText += CP932("行目)");
    }
    if (status.nOsError > 0) {
        strText += ": ";
        strText += std::strerror(status.nOsError);
    }
    return strText;
}

std::string FormatFileStatusUtf8(const SFileStatus& status, std::string_view strFileName)
{
    std::string strText = Cp932ToUtf8Lossy(FormatFileStatus(status, "%1").View());
    const std::size_t nName = strText.find("%1");
    if (nName != std::string::npos)
        strText.replace(nName, 2, strFileName);
    return strText;
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
