// The table open and save procedures that every table's ReadFile and WriteFile follow, and the
// library's messages. Internal to the library.
//
// Each table's ReadFile and WriteFile are ReadTableFile and WriteTableFile with the table's own
// line reader and writer; its Load and Save are LoadTableFile and SaveTableFile with the same.
#pragma once

#include <framework/FileException.h>
#include <framework/HostUi.h>
#include <framework/StdioFile.h>
#include <framework/String.h>

#include <corvane/FileStatus.h>
#include <corvane/TableBase.h>
#include <corvane/TableKind.h>

#include <filesystem>
#include <functional>

// Loads a string of the library's string table; false for an unknown id.
bool LoadLibraryString(unsigned nID, CString& strText);

// The switch to the library's resource context for the time of one ReadFile or WriteFile.
class CLibraryResources {
public:
    CLibraryResources() : m_context(&LoadLibraryString) {}

private:
    CResourceContext m_context;
};

// The strings one kind of table file brings to its dialogs.
struct STableFileKind {
    CString strDefExt;   // without the dot, e.g. "lgn"
    CString strFilter;   // "desc|pattern|...|"
    CString strTitle;    // dialog title
};

// The folder, relative to the current directory, that the open and save dialogs start in.
const CString& TableLibraryFolder();

// The core of reading: sets the table's file name to pszPath, opens that name as it stands (a
// relative name against the current directory), runs readLines, which returns 0 when it read the
// whole file or the message id of the format error that stopped it, and closes. On success clears
// the modified flag. Shows no dialog and no message and leaves the current directory alone; what
// readLines took into the table before a failure stays there. The file is opened through pEnv.
SFileStatus LoadTableFile(CTableBase& table, const char* pszPath, const std::function<unsigned(CStdioFile&)>& readLines,
                          Env* pEnv = Env::Default());
// The same for a native path; the table's file name becomes its code page 932 form, or empty when
// it has none.
SFileStatus LoadTableFile(CTableBase& table, const std::filesystem::path& path,
                          const std::function<unsigned(CStdioFile&)>& readLines, Env* pEnv = Env::Default());

// The core of saving: sets the table's file name to pszPath and replaces that file (a relative
// name against the current directory) with what writeLines writes. On success clears the modified
// flag; on failure (IDS_FILE_WRITE_FAILED) the previous file is left as it was and so is the
// modified flag. Shows nothing and leaves the current directory alone. The file is written through
// pEnv.
SFileStatus SaveTableFile(CTableBase& table, const char* pszPath, const std::function<void(CStdioFile&)>& writeLines,
                          Env* pEnv = Env::Default());
SFileStatus SaveTableFile(CTableBase& table, const std::filesystem::path& path,
                          const std::function<void(CStdioFile&)>& writeLines, Env* pEnv = Env::Default());

// The table open procedure up to the file: a given name (null: none) replaces the stored file
// name; when the name is then empty, the open dialog asks for one. The name becomes the table's
// file name, made absolute against the current directory. Returns false when the dialog was
// cancelled (nothing changed) or the current directory cannot be read (then *pnMessage, when
// given, is set to IDS_FILE_READ_FAILED; otherwise it is set to 0).
bool ResolveReadFileName(CTableBase& table, const char* pszFileName, const STableFileKind& kind,
                         unsigned* pnMessage = nullptr);

// The interactive save: the save dialog (when asked for, or when the table has no file name), the
// current directory set to the host document's folder and left there, the file name made relative
// to it, then SaveTableFile. A failure shows message 61448 and gives false with the previous file
// intact and the modified flag as it was; the table's file name then already holds its new
// relative value. A cancelled dialog gives false, no message, nothing changed.
bool WriteTableFile(CTableBase& table, bool bDialog, CDocument* pDocument, const STableFileKind& kind,
                    const std::function<void(CStdioFile&)>& writeLines, Env* pEnv = Env::Default());

// The interactive read: ResolveReadFileName, then LoadTableFile. A failure shows its message when
// bMessages is true and gives false; a cancelled dialog gives false, no message.
bool ReadTableFile(CTableBase& table, const char* pszFileName, const STableFileKind& kind, bool bMessages,
                   const std::function<unsigned(CStdioFile&)>& readLines);

// The message for a file exception raised while reading: 61447 for end of file, else 61451.
unsigned ReadFailureMessage(const CFileException& e);

// Shows message nID of the library's string table with the table's file name in place of %1,
// with the plain OK button.
void ShowTableMessage(const CTableBase& table, unsigned nID);
