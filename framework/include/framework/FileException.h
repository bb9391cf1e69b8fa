// CFileException: the exception every file operation of the framework raises, with a cause that
// the table readers turn into their messages (end of file gives a format message, every other
// cause a read-failure message).
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include <framework/String.h>
#include <framework/framework_export.h>

class FRAMEWORK_EXPORT CFileException : public std::exception {
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    explicit CFileException(int cause = none, std::int32_t lOsError = -1, const char* pszFileName = nullptr);

    // The cause that belongs to an errno value of a failed system call (the values every platform
    // has; the platform's own, such as a disk quota, are mapped by Env).
    static int OsErrorToCause(int nErrno);

    const char* what() const noexcept override { return m_strWhat.c_str(); }

    int m_cause;
    std::int32_t m_lOsError;       // errno of the failed call, or -1
    CString m_strFileName;         // code page 932, as the caller named the file

private:
    std::string m_strWhat;
};

// Throws CFileException(cause, lOsError, pszFileName).
[[noreturn]] FRAMEWORK_EXPORT void AfxThrowFileException(int cause, std::int32_t lOsError = -1,
                                                         const char* pszFileName = nullptr);

// The framework's invalid-argument exception: an index outside a table given to an operation that
// has no bool result. Throws std::invalid_argument.
[[noreturn]] FRAMEWORK_EXPORT void AfxThrowInvalidArgException();
