#include <framework/AtomicFile.h>

#include <framework/FileException.h>

CAtomicFile::~CAtomicFile()
{
    Abort();
}

bool CAtomicFile::Fail(const SEnvError& error)
{
    if (!m_bFailed)
        m_error = error;
    m_bFailed = true;
    return false;
}

bool CAtomicFile::Open(const std::filesystem::path& path)
{
    Abort();
    m_error = SEnvError{};
    m_bFailed = false;
    const std::string strName = Env::NameOf(path);
    if (path.empty() || strName.empty())
        return Fail(SEnvError{CFileException::badPath, 0});
    SEnvError error;
    m_pFile = m_pEnv->OpenForReplacing(strName, error);
    return m_pFile != nullptr || Fail(error);
}

bool CAtomicFile::Write(std::string_view bytes)
{
    if (!m_pFile)
        return Fail(SEnvError{CFileException::genericException, 0});
    SEnvError error;
    if (bytes.empty() || m_pFile->Write(bytes, error))
        return true;
    m_pFile.reset();   // spoilt: the temporary file goes at once
    return Fail(error);
}

bool CAtomicFile::Commit()
{
    if (!m_pFile)
        return Fail(SEnvError{CFileException::genericException, 0});
    SEnvError error;
    const bool bDone = m_pFile->Commit(error);
    m_pFile.reset();
    return bDone || Fail(error);
}

void CAtomicFile::Abort()
{
    m_pFile.reset();
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, SEnvError& error, Env* pEnv)
{
    CAtomicFile file(pEnv);
    const bool bDone = file.Open(path) && file.Write(bytes) && file.Commit();
    if (!bDone)
        error = file.Error();
    return bDone;
}
