// Env on POSIX systems (Linux): names are UTF-8 bytes as they are, the codec is iconv's CP932.
#include <framework/Env.h>

#include <framework/FileException.h>

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <limits>
#include <system_error>

namespace {

SEnvError ErrorOf(int nErrno)
{
    const int cause = nErrno == EDQUOT ? CFileException::diskFull : CFileException::OsErrorToCause(nErrno);
    return SEnvError{cause, nErrno};
}

std::string FolderOf(const std::string& strPath)
{
    const auto n = strPath.rfind('/');
    if (n == std::string::npos)
        return ".";
    if (n == 0)
        return "/";
    return strPath.substr(0, n);
}

// The process's file mode creation mask, read without changing it (setting it and back would give
// the files another thread creates in between mode 0666). Linux shows it in /proc/self/status;
// where it cannot be read, 077: a new file is then private rather than too open.
mode_t CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string strLine;
    while (std::getline(status, strLine)) {
        if (strLine.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtoul(strLine.c_str() + 6, nullptr, 8) & 0777);
    }
    return 077;
}

// Follows the symbolic links of the last part of the name, as far as they lead: the result is
// the file to replace, which need not exist. 0 or the errno of the failure.
int ResolveLinks(const std::string& strName, std::string& strTarget)
{
    strTarget = strName;
    for (int nHops = 0;; ++nHops) {
        struct stat st {};
        if (::lstat(strTarget.c_str(), &st) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(st.st_mode))
            return 0;
        if (nHops == 40)
            return ELOOP;
        std::string strLink(PATH_MAX, '\0');
        const ssize_t n = ::readlink(strTarget.c_str(), strLink.data(), strLink.size());
        if (n < 0)
            return errno;
        if (static_cast<std::size_t>(n) >= strLink.size())
            return ENAMETOOLONG;
        strLink.resize(static_cast<std::size_t>(n));
        strTarget = strLink.front() == '/' ? strLink : FolderOf(strTarget) + "/" + strLink;
    }
}

// The file system does not keep owners or modes (FAT and the like): nothing to carry over.
bool IsUnsupported(int nErrno)
{
    return nErrno == EPERM || nErrno == ENOTSUP || nErrno == EOPNOTSUPP;
}

// Gives the new file the owner, group and mode of the one it replaces, as far as the process may
// set them (only root may give a file away; a user may choose a group of their own). Owner first:
// a change of owner clears the set-user-ID and set-group-ID bits. 0 or the errno of the failure.
int CarryOver(int fd, const struct stat& st)
{
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
        if (errno != EPERM)
            return errno;
        if (::fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0 && errno != EPERM)
            return errno;
    }
    if (::fchmod(fd, st.st_mode & 07777) != 0 && !IsUnsupported(errno))
        return errno;
    return 0;
}

class CPosixReadFile final : public CEnvReadFile {
public:
    explicit CPosixReadFile(int fd) : m_fd(fd) {}
    ~CPosixReadFile() override { ::close(m_fd); }

    std::ptrdiff_t Read(char* p, std::size_t nSize, SEnvError& error) override
    {
        ssize_t n;
        do {
            n = ::read(m_fd, p, nSize);
        } while (n < 0 && errno == EINTR);
        if (n < 0)   // a failed read is a hardware error, unless the name was a folder after all
            error = SEnvError{errno == EISDIR ? CFileException::accessDenied : CFileException::hardIO, errno};
        return n;
    }

private:
    int m_fd;
};

class CPosixReplacement final : public CEnvReplacement {
public:
    CPosixReplacement(int fd, std::string strTemp, std::string strTarget)
        : m_fd(fd), m_strTemp(std::move(strTemp)), m_strTarget(std::move(strTarget)) {}
    ~CPosixReplacement() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_fdFolder >= 0)
            ::close(m_fdFolder);
        if (!m_strTemp.empty())
            ::unlink(m_strTemp.c_str());
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
        return ::fsync(m_fd) == 0 || Fail(errno, error);
    }

    bool Rename(SEnvError& error) override
    {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            return Fail(errno, error);
        // The folder is opened before the rename, so that a failure to open it changes nothing.
        m_fdFolder = ::open(FolderOf(m_strTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fdFolder < 0)
            return Fail(errno, error);
        if (::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0)
            return Fail(errno, error);
        m_strTemp.clear();
        return true;
    }

    bool SyncFolder(SEnvError& error) override
    {
        // Some file systems cannot sync a folder (EINVAL).
        const int nSync = ::fsync(m_fdFolder) == 0 || errno == EINVAL ? 0 : errno;
        ::close(m_fdFolder);
        m_fdFolder = -1;
        return nSync == 0 || Fail(nSync, error);
    }

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
            const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return Fail(errno, error);
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    static bool Fail(int nErrno, SEnvError& error)
    {
        error = ErrorOf(nErrno);
        return false;
    }

    int m_fd;
    int m_fdFolder = -1;       // open from the rename to the folder sync
    std::string m_pending;     // written, not yet passed to the system
    std::string m_strTemp;     // empty once renamed
    std::string m_strTarget;
};

// Runs one whole conversion with a fresh descriptor; false on any byte that cannot be converted.
bool Convert(const char* pszTo, const char* pszFrom, std::string_view in, std::string& out)
{
    iconv_t cd = iconv_open(pszTo, pszFrom);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string result;
    result.resize(in.size() * 2 + 16);
    char* pIn = const_cast<char*>(in.data());
    std::size_t nIn = in.size();
    std::size_t nDone = 0;
    bool bOk = true;
    while (nIn > 0) {
        char* pOut = result.data() + nDone;
        std::size_t nOut = result.size() - nDone;
        const std::size_t r = iconv(cd, &pIn, &nIn, &pOut, &nOut);
        nDone = static_cast<std::size_t>(pOut - result.data());
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) {
                result.resize(result.size() * 2);
                continue;
            }
            bOk = false;   // EILSEQ or EINVAL: a sequence that has no counterpart, or a broken one
            break;
        }
    }
    if (bOk) {
        // Flush any shift state (none for these encodings, but iconv asks for it).
        char* pOut = result.data() + nDone;
        std::size_t nOut = result.size() - nDone;
        if (iconv(cd, nullptr, nullptr, &pOut, &nOut) == static_cast<std::size_t>(-1))
            bOk = false;
        nDone = static_cast<std::size_t>(pOut - result.data());
    }
    iconv_close(cd);
    if (!bOk)
        return false;
    result.resize(nDone);
    out.swap(result);
    return true;
}

class CPosixEnv final : public Env {
public:
    std::unique_ptr<CEnvReadFile> OpenForReading(const std::string& strName, SEnvError& error) override;
    std::unique_ptr<CEnvReplacement> OpenForReplacing(const std::string& strName, SEnvError& error) override;
};

std::unique_ptr<CEnvReadFile> CPosixEnv::OpenForReading(const std::string& strName, SEnvError& error)
{
    const int fd = ::open(strName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = ErrorOf(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? ErrorOf(EISDIR) : ErrorOf(errno);
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<CPosixReadFile>(fd);
}

std::unique_ptr<CEnvReplacement> CPosixEnv::OpenForReplacing(const std::string& strName, SEnvError& error)
{
    auto fail = [&error](int nErrno) {
        error = ErrorOf(nErrno);
        return nullptr;
    };
    // Replace the file a symbolic link points to, not the link itself: a dangling link keeps
    // pointing where it did and its target is created.
    std::string strTarget;
    int nErrno = ResolveLinks(strName, strTarget);
    if (nErrno != 0)
        return fail(nErrno);
    struct stat st {};
    bool bExists = true;
    if (::stat(strTarget.c_str(), &st) != 0) {
        if (errno != ENOENT)
            return fail(errno);
        bExists = false;
    }
    if (bExists && !S_ISREG(st.st_mode))
        return fail(S_ISDIR(st.st_mode) ? EISDIR : EACCES);
    // A file the user may not write is not replaced, just as writing it in place would fail.
    if (bExists && ::faccessat(AT_FDCWD, strTarget.c_str(), W_OK, AT_EACCESS) != 0)
        return fail(errno);

    // A short temporary name, so that any name the file system accepts can be saved.
    std::string strTemp = FolderOf(strTarget) + "/.tmb-XXXXXX";
    const int fd = ::mkostemp(strTemp.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    auto pFile = std::make_unique<CPosixReplacement>(fd, strTemp, strTarget);
    nErrno = bExists ? CarryOver(fd, st) : 0;
    if (nErrno == 0 && !bExists && ::fchmod(fd, 0666 & ~CurrentUmask()) != 0 && !IsUnsupported(errno))
        nErrno = errno;
    if (nErrno != 0)
        return fail(nErrno);   // pFile removes the temporary file
    return pFile;
}

} // namespace

Env* Env::Default()
{
    static Env* const s_pEnv = new CPosixEnv;
    return s_pEnv;
}

bool Env::GetCurrentDir(std::string& strDir)
{
    std::string buffer(PATH_MAX, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() > (1u << 20))
            return false;
        buffer.resize(buffer.size() * 2);
    }
    strDir = buffer.c_str();
    return true;
}

bool Env::SetCurrentDir(const std::string& strDir)
{
    return ::chdir(strDir.c_str()) == 0;
}

bool Env::IsAbsolutePath(std::string_view name)
{
    return !name.empty() && name.front() == '/';
}

std::string Env::NameOf(const std::filesystem::path& path)
{
    return path.native();
}

std::filesystem::path Env::PathOf(const std::string& strName)
{
    return std::filesystem::path(strName);
}

std::string Env::ProgramPath()
{
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : program.string();
}

std::int32_t Env::LocalYear()
{
    const std::time_t now = std::time(nullptr);
    if (now == static_cast<std::time_t>(-1))
        return 0;
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr)
        return 0;
    const std::int64_t llYear = std::int64_t{local.tm_year} + 1900;
    if (llYear < std::numeric_limits<std::int32_t>::min() || llYear > std::numeric_limits<std::int32_t>::max())
        return 0;
    return static_cast<std::int32_t>(llYear);
}

std::vector<std::string> Env::Arguments(int argc, char** argv)
{
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

bool Env::Cp932ToUtf8(std::string_view cp932, std::string& strUtf8)
{
    return Convert("UTF-8", "CP932", cp932, strUtf8);
}

bool Env::Utf8ToCp932(std::string_view utf8, std::string& strCp932)
{
    return Convert("CP932", "UTF-8", utf8, strCp932);
}

