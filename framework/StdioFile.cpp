#include <framework/StdioFile.h>

#include <framework/FileSystem.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kChunk = 64 * 1024;

mode_t CurrentUmask()
{
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
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

} // namespace

CStdioFile::CStdioFile(const char* pszFileName, unsigned nOpenFlags)
{
    CFileException e;
    if (!Open(pszFileName, nOpenFlags, &e))
        throw e;
}

CStdioFile::~CStdioFile()
{
    Abort();
}

bool CStdioFile::Open(const char* pszFileName, unsigned nOpenFlags, CFileException* pError)
{
    Abort();
    m_strFileName = pszFileName;
    m_bText = (nOpenFlags & typeBinary) == 0;
    const unsigned nMode = nOpenFlags & ~(typeText | typeBinary);

    auto fail = [&](int cause, int nErrno) {
        if (pError)
            *pError = CFileException(cause, nErrno, pszFileName);
        m_strTemp.clear();
        return false;
    };

    std::string strNative;
    if (!ToNativePath(m_strFileName, strNative))
        return fail(CFileException::badPath, -1);

    if (nMode == modeRead) {
        const int fd = ::open(strNative.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return fail(CFileException::OsErrorToCause(errno), errno);
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(fd);
            return fail(CFileException::accessDenied, EISDIR);
        }
        m_fd = fd;
        m_bWrite = false;
        m_buffer.clear();
        m_nPos = 0;
        m_bEof = false;
        m_nLine = 0;
        return true;
    }

    if (nMode != (modeCreate | modeWrite))
        return fail(CFileException::genericException, -1);

    // Replace the file a symbolic link points to, not the link itself: a dangling link keeps
    // pointing where it did and its target is created.
    std::string strTarget;
    int nErrno = ResolveLinks(strNative, strTarget);
    if (nErrno != 0)
        return fail(CFileException::OsErrorToCause(nErrno), nErrno);
    struct stat st {};
    bool bExists = true;
    if (::stat(strTarget.c_str(), &st) != 0) {
        if (errno != ENOENT)
            return fail(CFileException::OsErrorToCause(errno), errno);
        bExists = false;
    }
    if (bExists && !S_ISREG(st.st_mode))
        return fail(CFileException::accessDenied, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    // A file the user may not write is not replaced, just as writing it in place would fail.
    if (bExists && ::faccessat(AT_FDCWD, strTarget.c_str(), W_OK, AT_EACCESS) != 0)
        return fail(CFileException::OsErrorToCause(errno), errno);

    // A short temporary name, so that any name the file system accepts can be saved.
    std::string strTemplate = FolderOf(strTarget) + "/.tmb-XXXXXX";
    const int fd = ::mkostemp(strTemplate.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(CFileException::OsErrorToCause(errno), errno);
    nErrno = bExists ? CarryOver(fd, st) : 0;
    if (nErrno == 0 && !bExists && ::fchmod(fd, 0666 & ~CurrentUmask()) != 0 && !IsUnsupported(errno))
        nErrno = errno;
    if (nErrno != 0) {
        ::close(fd);
        ::unlink(strTemplate.c_str());
        return fail(CFileException::OsErrorToCause(nErrno), nErrno);
    }

    m_fd = fd;
    m_bWrite = true;
    m_strTarget = strTarget;
    m_strTemp = strTemplate;
    m_buffer.clear();
    return true;
}

void CStdioFile::Throw(int cause, int nErrno)
{
    throw CFileException(cause, nErrno, m_strFileName);
}

bool CStdioFile::FillBuffer()
{
    if (m_bEof)
        return false;
    if (m_nPos > 0) {
        m_buffer.erase(0, m_nPos);
        m_nPos = 0;
    }
    const std::size_t nOld = m_buffer.size();
    m_buffer.resize(nOld + kChunk);
    ssize_t n;
    do {
        n = ::read(m_fd, m_buffer.data() + nOld, kChunk);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        const int nErrno = errno;
        m_buffer.resize(nOld);
        Throw(nErrno == EISDIR ? CFileException::accessDenied : CFileException::hardIO, nErrno);
    }
    m_buffer.resize(nOld + static_cast<std::size_t>(n));
    if (n == 0)
        m_bEof = true;
    return n > 0;
}

bool CStdioFile::ReadString(CString& str)
{
    if (m_fd < 0 || m_bWrite)
        Throw(CFileException::genericException, -1);
    std::size_t nScanned = m_nPos;
    for (;;) {
        const char* pBegin = m_buffer.data() + m_nPos;
        const void* pLf = nScanned < m_buffer.size()
                              ? std::memchr(m_buffer.data() + nScanned, '\n', m_buffer.size() - nScanned)
                              : nullptr;
        if (pLf) {
            std::size_t nLine = static_cast<const char*>(pLf) - pBegin;
            const std::size_t nNext = m_nPos + nLine + 1;
            if (nLine > kMaxLineLength)
                Throw(CFileException::invalidFile, -1);
            if (m_bText && nLine > 0 && pBegin[nLine - 1] == '\r')
                --nLine;
            str = CString(pBegin, static_cast<int>(nLine));
            m_nPos = nNext;
            ++m_nLine;
            return true;
        }
        nScanned = m_buffer.size();
        if (nScanned - m_nPos > kMaxLineLength)
            Throw(CFileException::invalidFile, -1);
        const std::size_t nDone = nScanned - m_nPos;
        if (!FillBuffer()) {
            // End of file: the rest, if any, is a last line without a line end.
            if (m_nPos >= m_buffer.size()) {
                str.Empty();
                return false;
            }
            str = CString(m_buffer.data() + m_nPos, static_cast<int>(m_buffer.size() - m_nPos));
            m_nPos = m_buffer.size();
            ++m_nLine;
            return true;
        }
        nScanned = m_nPos + nDone;   // FillBuffer moved the unread rest to the front
    }
}

void CStdioFile::WriteString(const char* psz)
{
    WriteString(CString(psz));
}

void CStdioFile::WriteString(const CString& str)
{
    if (m_fd < 0 || !m_bWrite)
        Throw(CFileException::genericException, -1);
    const std::string_view sv = str.View();
    if (!m_bText) {
        m_buffer.append(sv);
    } else {
        std::size_t nFrom = 0;
        for (std::size_t n = sv.find('\n'); n != std::string_view::npos; n = sv.find('\n', nFrom)) {
            m_buffer.append(sv.substr(nFrom, n - nFrom));
            m_buffer.append("\r\n");
            nFrom = n + 1;
        }
        m_buffer.append(sv.substr(nFrom));
    }
    if (m_buffer.size() >= kChunk)
        FlushBuffer();
}

void CStdioFile::FlushBuffer()
{
    std::size_t nDone = 0;
    while (nDone < m_buffer.size()) {
        const ssize_t n = ::write(m_fd, m_buffer.data() + nDone, m_buffer.size() - nDone);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int nErrno = errno;
            m_buffer.clear();
            Throw(CFileException::OsErrorToCause(nErrno), nErrno);
        }
        nDone += static_cast<std::size_t>(n);
    }
    m_buffer.clear();
}

void CStdioFile::Close()
{
    if (m_fd < 0)
        return;
    if (!m_bWrite) {
        ::close(m_fd);
        m_fd = -1;
        m_buffer.clear();
        return;
    }
    try {
        FlushBuffer();
        if (::fsync(m_fd) != 0)
            Throw(CFileException::OsErrorToCause(errno), errno);
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            Throw(CFileException::OsErrorToCause(errno), errno);
        // The folder is opened before the rename, so that a failure to open it changes nothing.
        const int fdFolder = ::open(FolderOf(m_strTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fdFolder < 0)
            Throw(CFileException::OsErrorToCause(errno), errno);
        if (::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0) {
            const int nErrno = errno;
            ::close(fdFolder);
            Throw(CFileException::OsErrorToCause(nErrno), nErrno);
        }
        m_strTemp.clear();
        // Make the rename itself durable. Some file systems cannot sync a folder (EINVAL).
        const int nSync = ::fsync(fdFolder) == 0 || errno == EINVAL ? 0 : errno;
        ::close(fdFolder);
        if (nSync != 0)
            Throw(CFileException::OsErrorToCause(nSync), nSync);
    } catch (...) {
        Abort();
        throw;
    }
}

void CStdioFile::Abort()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_strTemp.empty()) {
        ::unlink(m_strTemp.c_str());
        m_strTemp.clear();
    }
    m_buffer.clear();
    m_nPos = 0;
    m_bEof = false;
}
