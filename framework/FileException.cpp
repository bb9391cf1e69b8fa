#include <framework/FileException.h>

#include <cerrno>
#include <stdexcept>

CFileException::CFileException(int cause, std::int32_t lOsError, const char* pszFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(pszFileName)
{
    m_strWhat = "file exception, cause " + std::to_string(cause);
    if (lOsError > 0)
        m_strWhat += ", errno " + std::to_string(lOsError);
}

int CFileException::OsErrorToCause(int nErrno)
{
    switch (nErrno) {
    case ENOENT:
        return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EILSEQ:
        return badPath;
    case EMFILE:
    case ENFILE:
        return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return accessDenied;
    case ENOSPC:
    case EFBIG:
        return diskFull;
    case EIO:
        return hardIO;
    case ESPIPE:
        return badSeek;
    default:
        return genericException;
    }
}

void AfxThrowFileException(int cause, std::int32_t lOsError, const char* pszFileName)
{
    throw CFileException(cause, lOsError, pszFileName);
}

void AfxThrowInvalidArgException()
{
    throw std::invalid_argument("invalid argument");
}
