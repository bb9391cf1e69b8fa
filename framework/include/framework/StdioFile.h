// CStdioFile: a text file read line by line or written line by line.
//
// Text mode as the table files need it on every platform: writing turns each line feed into
// CR LF; reading takes CR LF and LF as line ends (a CR not followed by LF stays in the line) and
// returns a last line that has no line end.
//
// Writing never changes the target in place. A file opened with modeCreate | modeWrite is written
// to a temporary file (a short name in the target's folder); Close() flushes it to disk, renames
// it over the target and syncs the folder. Until the rename the target keeps its previous content,
// and a write that fails (disk full, folder read-only, an exception that skips Close) leaves it
// exactly as it was. What the user had is kept:
// - a symbolic link stays a link: the file it points to is replaced, or created when the link
//   dangles;
// - a file the user may not write (say mode 0444) is not replaced: Open fails with accessDenied;
//   neither is anything but a regular file;
// - the new file gets the mode, owner and group of the previous one as far as the process may set
//   them (only root gives a file to another user);
// - a file with several hard links gets a new inode: the name saved to has the new content, the
//   other names keep the previous one.
//
// Names are code page 932 and converted to native names at the system call (FileSystem.h); a name
// without a native form fails to open with cause badPath.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include <framework/Env.h>
#include <framework/FileException.h>
#include <framework/String.h>
#include <framework/framework_export.h>

class FRAMEWORK_EXPORT CStdioFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeCreate = 0x1000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };

    // The longest line ReadString accepts. Far above any real table file; a longer line (for
    // instance a large file with no line end at all) is refused with cause invalidFile instead of
    // being taken into memory whole.
    static constexpr std::size_t kMaxLineLength = 64u << 20;

    // pEnv: the operating system the file is opened through (it must outlive the object).
    explicit CStdioFile(Env* pEnv = Env::Default()) : m_pEnv(pEnv) {}
    // Opens as Open does; throws CFileException when it fails.
    CStdioFile(const char* pszFileName, unsigned nOpenFlags, Env* pEnv = Env::Default());
    // An open write that was not closed is abandoned: the temporary file is removed and the
    // target is left as it was.
    ~CStdioFile();

    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    // Opens pszFileName for reading (modeRead) or for replacing (modeCreate | modeWrite; typeText
    // or typeBinary). Returns false and fills *pError (when given) on failure; the object stays
    // closed. Any other combination of flags is refused with cause genericException.
    bool Open(const char* pszFileName, unsigned nOpenFlags, CFileException* pError = nullptr);
    // The same for a native path (any name the system allows). The exceptions name the file by its
    // code page 932 form, or by none when it has no such form.
    bool Open(const std::filesystem::path& path, unsigned nOpenFlags, CFileException* pError = nullptr);

    // Reads the next line without its line end. Returns false at the end of the file (str is then
    // empty). Throws CFileException on a read error, or with cause invalidFile for a line longer
    // than kMaxLineLength.
    bool ReadString(CString& str);

    // Writes the bytes of the text (NUL bytes included); in text mode each LF is written as CR LF.
    // Each call is one write of the Env, which may gather them: a failure to store the text may
    // show at a later WriteString or at Close. Throws CFileException when writing fails (cause
    // diskFull when the disk is full).
    void WriteString(const CString& str);
    void WriteString(const char* psz);

    // Ends the file. For a write: flushes, syncs to disk, renames over the target and syncs the
    // folder; throws CFileException when any of this fails. The target keeps its previous content
    // when anything up to the rename fails; only a failed sync of the folder after it reports
    // failure with the new content in place (it may not survive a crash). For a read: closes.
    // Closing a closed file does nothing.
    void Close();

    // Closes without committing or throwing: a write is discarded.
    void Abort();

    bool IsOpen() const { return m_pRead || m_pWrite; }
    // The number of lines ReadString has returned since the file was opened (the 1-based number of
    // the last line read; 0 before the first).
    int GetLineNumber() const { return m_nLine; }
    // True once ReadString has found no more lines.
    bool IsPastEnd() const { return m_bPastEnd; }
    const CString& GetFilePath() const { return m_strFileName; }

private:
    bool OpenNative(const std::string& strNative, unsigned nOpenFlags, CFileException* pError);
    bool FillBuffer();
    [[noreturn]] void Throw(int cause, std::int32_t lOsError);

    Env* m_pEnv;
    std::unique_ptr<CEnvReadFile> m_pRead;       // open for reading
    std::unique_ptr<CEnvReplacement> m_pWrite;   // open for replacing
    bool m_bText = true;
    CString m_strFileName;        // as the caller named it, for exceptions
    std::string m_buffer;         // read-ahead, or a line in its text-mode form
    std::size_t m_nPos = 0;       // read position in m_buffer
    bool m_bEof = false;
    int m_nLine = 0;              // lines returned by ReadString
    bool m_bPastEnd = false;      // ReadString returned false
};
