// Env on Windows: the wide-character Win32 API. Names are converted from UTF-8 to UTF-16 at each
// call; code page 932 goes through the system's own conversion tables.
#include <framework/Env.h>

#include <framework/FileException.h>

#include <windows.h>
#include <shellapi.h>

#include <cerrno>

namespace {

// The errno value of a Win32 error, so that callers see the same values on every platform.
int ErrnoOf(DWORD dwError)
{
    switch (dwError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_IO_DEVICE:
        return EIO;
    default:
        return EINVAL;
    }
}

SEnvError LastError()
{
    const int nErrno = ErrnoOf(::GetLastError());
    return SEnvError{CFileException::OsErrorToCause(nErrno), nErrno};
}

// UTF-8 to UTF-16; false on text that is not UTF-8.
bool Widen(std::string_view utf8, std::wstring& wide)
{
    wide.clear();
    if (utf8.empty())
        return true;
    const int nIn = static_cast<int>(utf8.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), nIn, nullptr, 0);
    if (n <= 0)
        return false;
    wide.resize(static_cast<std::size_t>(n));
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), nIn, wide.data(), n) == n;
}

// UTF-16 to UTF-8; false on a broken surrogate pair.
bool Narrow(std::wstring_view wide, std::string& utf8)
{
    utf8.clear();
    if (wide.empty())
        return true;
    const int nIn = static_cast<int>(wide.size());
    const int n = ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), nIn, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return false;
    utf8.resize(static_cast<std::size_t>(n));
    return ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), nIn, utf8.data(), n, nullptr, nullptr) == n;
}

// Code page 932 to UTF-16; false on a byte sequence the code page does not define. The system
// passes the single bytes 80, A0 and FD to FF through to U+0080 and private-use characters;
// they are no characters of the code page and are refused, as on every other platform.
bool Cp932ToWide(std::string_view cp932, std::wstring& wide)
{
    wide.clear();
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        const auto ch = static_cast<unsigned char>(cp932[i]);
        if ((ch >= 0x81 && ch <= 0x9F) || (ch >= 0xE0 && ch <= 0xFC))
            ++i;   // the trail byte is checked by the system
        else if (ch == 0x80 || ch == 0xA0 || ch >= 0xFD)
            return false;
    }
    if (cp932.empty())
        return true;
    const int nIn = static_cast<int>(cp932.size());
    const int n = ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, cp932.data(), nIn, nullptr, 0);
    if (n <= 0)
        return false;
    wide.resize(static_cast<std::size_t>(n));
    return ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, cp932.data(), nIn, wide.data(), n) == n;
}

class CWindowsReadFile final : public CEnvReadFile {
public:
    explicit CWindowsReadFile(HANDLE h) : m_h(h) {}
    ~CWindowsReadFile() override { ::CloseHandle(m_h); }

    std::ptrdiff_t Read(char* p, std::size_t nSize, SEnvError& error) override
    {
        DWORD dwRead = 0;
        const DWORD dwSize = nSize > (1u << 30) ? (1u << 30) : static_cast<DWORD>(nSize);
        if (!::ReadFile(m_h, p, dwSize, &dwRead, nullptr)) {
            const int nErrno = ErrnoOf(::GetLastError());
            error = SEnvError{CFileException::hardIO, nErrno};
            return -1;
        }
        return static_cast<std::ptrdiff_t>(dwRead);
    }

private:
    HANDLE m_h;
};

class CWindowsReplacement final : public CEnvReplacement {
public:
    // dwAttributes: those of the file replaced, INVALID_FILE_ATTRIBUTES when it does not exist.
    CWindowsReplacement(HANDLE h, std::wstring strTemp, std::wstring strTarget, DWORD dwAttributes)
        : m_h(h), m_strTemp(std::move(strTemp)), m_strTarget(std::move(strTarget)),
          m_bExists(dwAttributes != INVALID_FILE_ATTRIBUTES),
          m_dwAttributes(dwAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                         FILE_ATTRIBUTE_NOT_CONTENT_INDEXED)) {}
    ~CWindowsReplacement() override
    {
        if (m_h != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_h);
        if (!m_strTemp.empty())
            ::DeleteFileW(m_strTemp.c_str());
    }

    bool Write(std::string_view bytes, SEnvError& error) override
    {
        if (m_pending.size() + bytes.size() < kBlock) {
            m_pending.append(bytes);
            return true;
        }
        return Flush(error) && WriteAll(bytes, error);
    }

    bool Sync(SEnvError& error) override
    {
        if (!Flush(error))
            return false;
        if (!::FlushFileBuffers(m_h)) {
            error = LastError();
            return false;
        }
        return true;
    }

    bool Rename(SEnvError& error) override
    {
        const HANDLE h = m_h;
        m_h = INVALID_HANDLE_VALUE;
        if (!::CloseHandle(h)) {
            error = LastError();
            return false;
        }
        // ReplaceFileW keeps what the previous file had (security, creation time, streams); the
        // attributes are also set here, since not every implementation carries them. A new file
        // is moved into place.
        if (m_bExists && !::SetFileAttributesW(m_strTemp.c_str(), m_dwAttributes | FILE_ATTRIBUTE_NORMAL)) {
            error = LastError();
            return false;
        }
        const BOOL bDone = m_bExists
            ? ::ReplaceFileW(m_strTarget.c_str(), m_strTemp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                             nullptr, nullptr)
            : ::MoveFileExW(m_strTemp.c_str(), m_strTarget.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        if (!bDone) {
            error = LastError();
            return false;
        }
        m_strTemp.clear();
        return true;
    }

    // The replace above is written through; Windows has no sync of a folder.
    bool SyncFolder(SEnvError&) override { return true; }

private:
    static constexpr std::size_t kBlock = 64 * 1024;

    bool Flush(SEnvError& error)
    {
        if (!WriteAll(m_pending, error))
            return false;
        m_pending.clear();
        return true;
    }

    bool WriteAll(std::string_view bytes, SEnvError& error)
    {
        while (!bytes.empty()) {
            const DWORD dwSize = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
            DWORD dwWritten = 0;
            if (!::WriteFile(m_h, bytes.data(), dwSize, &dwWritten, nullptr)) {
                error = LastError();
                return false;
            }
            bytes.remove_prefix(dwWritten);
        }
        return true;
    }

    HANDLE m_h;
    std::string m_pending;      // written, not yet passed to the system
    std::wstring m_strTemp;     // empty once in place
    std::wstring m_strTarget;
    bool m_bExists;
    DWORD m_dwAttributes;   // to carry over
};

// Makes a name absolute against the current directory; false when the system cannot.
bool FullName(std::wstring& strName)
{
    const DWORD n = ::GetFullPathNameW(strName.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return false;
    std::wstring strFull(n, L'\0');
    const DWORD nDone = ::GetFullPathNameW(strName.c_str(), n, strFull.data(), nullptr);
    if (nDone == 0 || nDone >= n)
        return false;
    strFull.resize(nDone);
    strName.swap(strFull);
    return true;
}

std::wstring FolderOf(const std::wstring& strPath)
{
    const auto n = strPath.find_last_of(L"\\/");
    if (n == std::wstring::npos)
        return (strPath.size() >= 2 && strPath[1] == L':') ? strPath.substr(0, 2) : L".";
    if (n == 0 || (n == 2 && strPath[1] == L':'))
        return strPath.substr(0, n + 1);
    return strPath.substr(0, n);
}

class CWindowsEnv final : public Env {
public:
    std::unique_ptr<CEnvReadFile> OpenForReading(const std::string& strName, SEnvError& error) override;
    std::unique_ptr<CEnvReplacement> OpenForReplacing(const std::string& strName, SEnvError& error) override;
};

std::unique_ptr<CEnvReadFile> CWindowsEnv::OpenForReading(const std::string& strName, SEnvError& error)
{
    std::wstring strWide;
    if (!Widen(strName, strWide)) {
        error = SEnvError{CFileException::badPath, EILSEQ};
        return nullptr;
    }
    const HANDLE h = ::CreateFileW(strWide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = LastError();
        return nullptr;
    }
    return std::make_unique<CWindowsReadFile>(h);
}

std::unique_ptr<CEnvReplacement> CWindowsEnv::OpenForReplacing(const std::string& strName, SEnvError& error)
{
    std::wstring strTarget;
    if (!Widen(strName, strTarget)) {
        error = SEnvError{CFileException::badPath, EILSEQ};
        return nullptr;
    }
    // The full name, fixed now: the replace at Commit must not depend on the current directory.
    if (!FullName(strTarget)) {
        error = LastError();
        return nullptr;
    }
    const DWORD dwAttributes = ::GetFileAttributesW(strTarget.c_str());
    const bool bExists = dwAttributes != INVALID_FILE_ATTRIBUTES;
    if (!bExists && ::GetLastError() != ERROR_FILE_NOT_FOUND) {
        error = LastError();
        return nullptr;
    }
    if (bExists && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = SEnvError{CFileException::accessDenied, EISDIR};
        return nullptr;
    }
    // A read-only file is not replaced, just as writing it in place would fail.
    if (bExists && (dwAttributes & FILE_ATTRIBUTE_READONLY)) {
        error = SEnvError{CFileException::accessDenied, EACCES};
        return nullptr;
    }
    // A short temporary name in the same folder, created by the system so it is new.
    wchar_t szTemp[MAX_PATH + 1] = {};
    const std::wstring strFolder = FolderOf(strTarget);
    if (::GetTempFileNameW(strFolder.c_str(), L"tmb", 0, szTemp) == 0) {
        error = LastError();
        return nullptr;
    }
    const HANDLE h = ::CreateFileW(szTemp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = LastError();
        ::DeleteFileW(szTemp);
        return nullptr;
    }
    return std::make_unique<CWindowsReplacement>(h, szTemp, strTarget, dwAttributes);
}

} // namespace

Env* Env::Default()
{
    static Env* const s_pEnv = new CWindowsEnv;
    return s_pEnv;
}

bool Env::GetCurrentDir(std::string& strDir)
{
    const DWORD n = ::GetCurrentDirectoryW(0, nullptr);
    if (n == 0)
        return false;
    std::wstring strWide(n, L'\0');
    const DWORD nDone = ::GetCurrentDirectoryW(n, strWide.data());
    if (nDone == 0 || nDone >= n)
        return false;
    strWide.resize(nDone);
    return Narrow(strWide, strDir);
}

bool Env::SetCurrentDir(const std::string& strDir)
{
    std::wstring strWide;
    return Widen(strDir, strWide) && ::SetCurrentDirectoryW(strWide.c_str());
}

bool Env::IsAbsolutePath(std::string_view name)
{
    if (name.empty())
        return false;
    const auto isSeparator = [](char ch) { return ch == '\\' || ch == '/'; };
    const bool bDrive = name.size() >= 2 && name[1] == ':' &&
                        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
    return bDrive || isSeparator(name[0]);
}

std::string Env::NameOf(const std::filesystem::path& path)
{
    std::string strName;
    return Narrow(path.native(), strName) ? strName : std::string();
}

std::filesystem::path Env::PathOf(const std::string& strName)
{
    std::wstring wide;
    return Widen(strName, wide) ? std::filesystem::path(wide) : std::filesystem::path();
}

std::string Env::ProgramPath()
{
    std::wstring strWide(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, strWide.data(), static_cast<DWORD>(strWide.size()));
        if (n == 0)
            return std::string();
        if (n < strWide.size()) {
            strWide.resize(n);
            break;
        }
        if (strWide.size() >= 32768)
            return std::string();
        strWide.resize(strWide.size() * 2);
    }
    std::string strPath;
    return Narrow(strWide, strPath) ? strPath : std::string();
}

std::int32_t Env::LocalYear()
{
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    return st.wYear;
}

std::vector<std::string> Env::Arguments(int argc, char** argv)
{
    std::vector<std::string> args;
    int nArgs = 0;
    LPWSTR* ppArgs = ::CommandLineToArgvW(::GetCommandLineW(), &nArgs);
    if (!ppArgs)
        return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : args;
    for (int i = 1; i < nArgs; ++i) {
        std::string str;
        Narrow(ppArgs[i], str);
        args.push_back(str);
    }
    ::LocalFree(ppArgs);
    return args;
}

bool Env::Cp932ToUtf8(std::string_view cp932, std::string& strUtf8)
{
    std::wstring wide;
    std::string out;
    if (!Cp932ToWide(cp932, wide) || !Narrow(wide, out))
        return false;
    strUtf8.swap(out);
    return true;
}

bool Env::Utf8ToCp932(std::string_view utf8, std::string& strCp932)
{
    std::wstring wide;
    if (!Widen(utf8, wide))
        return false;
    std::string out;
    if (!wide.empty()) {
        const int nIn = static_cast<int>(wide.size());
        BOOL bDefault = FALSE;
        const int n = ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), nIn, nullptr, 0, nullptr, &bDefault);
        if (n <= 0 || bDefault)
            return false;
        out.resize(static_cast<std::size_t>(n));
        if (::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), nIn, out.data(), n, nullptr, &bDefault) != n ||
            bDefault)
            return false;
    }
    // Only an exact form is taken: the text must come back unchanged.
    std::wstring back;
    if (!Cp932ToWide(out, back) || back != wide)
        return false;
    strCp932.swap(out);
    return true;
}

