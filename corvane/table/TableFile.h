// The table open and save procedures that every table's ReadFile and WriteFile follow, and the
// library's messages. Internal to the library.
//
// A reader runs, inside a CLibraryResources scope:
//
//     CStdioFile file;
//     try {
//         if (!OpenTableFile(*this, pszFileName, kind, file))
//             return false;                           // dialog cancelled: no message
//         ... read lines; a format error shows its message and returns false ...
//         file.Close();
//         m_bModified = false;
//         return true;
//     } catch (const CFileException& e) {
//         if (bMessage)
//             ShowTableMessage(*this, ReadFailureMessage(e));
//         return false;
//     }
//
// and a writer likewise with CreateTableFile, then file.Close(), with IDS_FILE_WRITE_FAILED on a
// CFileException (WriteTableFile below does all of this for a writer).
#pragma once

#include <framework/FileException.h>
#include <framework/HostUi.h>
#include <framework/StdioFile.h>
#include <framework/String.h>

#include <corvane/TableBase.h>

#include <functional>

// The library's string table.
inline constexpr unsigned IDS_FILE_BAD_FORMAT = 61447;    // "ファイル %1 のフォーマットが正しくありません"
inline constexpr unsigned IDS_FILE_WRITE_FAILED = 61448;  // "ファイル %1 への書き込みに失敗しました"
inline constexpr unsigned IDS_FILE_READ_FAILED = 61451;   // "ファイル %1 の読込みに失敗しました"

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

// Steps 1 to 3 of the table open procedure. A given name (null: none) replaces the stored file
// name; when the name is then empty, the open dialog asks for one. The name becomes the table's
// file name, made absolute against the current
// directory, and file is opened for reading. Returns false when the dialog was cancelled (nothing
// changed). Throws CFileException when the file cannot be opened or the current directory cannot
// be read.
bool OpenTableFile(CTableBase& table, const char* pszFileName, const STableFileKind& kind, CStdioFile& file);

// Steps 1 to 7 of the table save procedure, up to the open file: the save dialog (when asked for,
// or when the table has no file name), the current directory set to the host document's folder,
// the file name made relative, the file opened for replacing. Returns false when the dialog was
// cancelled (nothing changed). Throws CFileException when the file cannot be created; the table's
// file name then already holds its new relative value.
bool CreateTableFile(CTableBase& table, bool bDialog, CDocument* pDocument, const STableFileKind& kind,
                     CStdioFile& file);

// The whole table save procedure: CreateTableFile, then writeLines(file), then Close (which
// commits the new file); clears the modified flag on success. A CFileException shows message
// 61448 and gives false with the previous file intact and the modified flag as it was.
bool WriteTableFile(CTableBase& table, bool bDialog, CDocument* pDocument, const STableFileKind& kind,
                    const std::function<void(CStdioFile&)>& writeLines);

// The whole table open procedure for a reader: OpenTableFile, then readLines(file), which returns
// 0 when it read the whole file or the message id of the format error that stopped it. Success
// closes the file, clears the modified flag and gives true. A format error or a CFileException
// (61447 for end of file, else 61451) shows its message when bMessages is true and gives false;
// what readLines took into the table stays there. A cancelled dialog gives false, no message.
bool ReadTableFile(CTableBase& table, const char* pszFileName, const STableFileKind& kind, bool bMessages,
                   const std::function<unsigned(CStdioFile&)>& readLines);

// The message for a file exception raised while reading: 61447 for end of file, else 61451.
unsigned ReadFailureMessage(const CFileException& e);

// Shows message nID of the library's string table with the table's file name in place of %1,
// with the plain OK button.
void ShowTableMessage(const CTableBase& table, unsigned nID);

// Line breaks inside one-line fields: "\r\n" pairs are stored as the four characters \r\n.
// Escaping also turns a lone CR or LF into that escape so that it cannot split the line; it reads
// back as a CR LF pair.
CString EscapeLineBreaks(const CString& str);
CString UnescapeLineBreaks(const CString& str);
