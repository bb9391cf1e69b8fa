#include <framework/StdioFile.h>

#include <framework/Env.h>
#include <framework/FileSystem.h>

#include <cstring>

namespace {

constexpr std::size_t kChunk = 64 * 1024;

} // namespace

CStdioFile::CStdioFile(const char* pszFileName, unsigned nOpenFlags, Env* pEnv) : m_pEnv(pEnv)
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
    std::string strNative;
    if (!ToNativePath(m_strFileName, strNative)) {
        if (pError)
            *pError = CFileException(CFileException::badPath, -1, m_strFileName);
        return false;
    }
    return OpenNative(strNative, nOpenFlags, pError);
}

bool CStdioFile::Open(const std::filesystem::path& path, unsigned nOpenFlags, CFileException* pError)
{
    Abort();
    m_strFileName.Empty();
    const std::string strNative = Env::NameOf(path);
    FromNativePath(strNative, m_strFileName);
    if (strNative.empty()) {
        if (pError)
            *pError = CFileException(CFileException::badPath, -1, m_strFileName);
        return false;
    }
    return OpenNative(strNative, nOpenFlags, pError);
}

bool CStdioFile::OpenNative(const std::string& strNative, unsigned nOpenFlags, CFileException* pError)
{
    m_bText = (nOpenFlags & typeBinary) == 0;
    const unsigned nMode = nOpenFlags & ~(typeText | typeBinary);

    auto fail = [&](int cause, std::int32_t lOsError) {
        if (pError)
            *pError = CFileException(cause, lOsError, m_strFileName);
        return false;
    };

    SEnvError error;
    if (nMode == modeRead) {
        m_pRead = m_pEnv->OpenForReading(strNative, error);
        if (!m_pRead)
            return fail(error.nCause, error.lOsError);
        m_buffer.clear();
        m_nPos = 0;
        m_bEof = false;
        m_nLine = 0;
        m_bPastEnd = false;
        return true;
    }
    if (nMode != (modeCreate | modeWrite))
        return fail(CFileException::genericException, -1);
    m_pWrite = m_pEnv->OpenForReplacing(strNative, error);
    if (!m_pWrite)
        return fail(error.nCause, error.lOsError);
    m_buffer.clear();
    return true;
}

void CStdioFile::Throw(int cause, std::int32_t lOsError)
{
    throw CFileException(cause, lOsError, m_strFileName);
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
    SEnvError error;
    const std::ptrdiff_t n = m_pRead->Read(m_buffer.data() + nOld, kChunk, error);
    if (n < 0) {
        m_buffer.resize(nOld);
        Throw(error.nCause, error.lOsError);
    }
    m_buffer.resize(nOld + static_cast<std::size_t>(n));
    if (n == 0)
        m_bEof = true;
    return n > 0;
}

bool CStdioFile::ReadString(CString& str)
{
    if (!m_pRead)
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
                m_bPastEnd = true;
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
    if (!m_pWrite)
        Throw(CFileException::genericException, -1);
    std::string_view bytes = str.View();
    if (m_bText && bytes.find('\n') != std::string_view::npos) {
        m_buffer.clear();
        std::size_t nFrom = 0;
        for (std::size_t n = bytes.find('\n'); n != std::string_view::npos; n = bytes.find('\n', nFrom)) {
            m_buffer.append(bytes.substr(nFrom, n - nFrom));
            m_buffer.append("\r\n");
            nFrom = n + 1;
        }
        m_buffer.append(bytes.substr(nFrom));
        bytes = m_buffer;
    }
    SEnvError error;
    if (!bytes.empty() && !m_pWrite->Write(bytes, error))
        Throw(error.nCause, error.lOsError);
}

void CStdioFile::Close()
{
    if (m_pRead) {
        m_pRead.reset();
        m_buffer.clear();
        return;
    }
    if (!m_pWrite)
        return;
    try {
        SEnvError error;
        if (!m_pWrite->Commit(error))
            Throw(error.nCause, error.lOsError);
        m_pWrite.reset();
    } catch (...) {
        Abort();
        throw;
    }
}

void CStdioFile::Abort()
{
    m_pRead.reset();
    m_pWrite.reset();
    m_buffer.clear();
    m_nPos = 0;
    m_bEof = false;
}
