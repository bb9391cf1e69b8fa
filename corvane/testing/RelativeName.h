// The relative file name a table keeps after a save, in the platform's native style: as given on
// POSIX, in upper case on Windows (CFilePathManager compares and answers in upper case there).
#pragma once

#include <framework/FileSystem.h>
#include <framework/String.h>

inline CString RelativeName(const char* pszName)
{
    CString str(pszName);
    if (kNativePathSeparator == '\\')
        str.MakeUpper();
    return str;
}
