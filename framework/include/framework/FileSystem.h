// The process's current directory and the native names of files.
//
// File and folder names cross the library's interface as code page 932 CStrings; their native
// form is UTF-8 (the bytes of a Linux name; converted once more to UTF-16 for the Windows API,
// see Env.h). The conversion happens here, at the operating-system call. A name that has no
// form on the other side is an error like an unreadable file, never a silently altered name.
#pragma once

#include <string>

#include <framework/NativePath.h>   // kNativePathSeparator: '/', or '\\' on Windows
#include <framework/String.h>
#include <framework/framework_export.h>

// The native (UTF-8) form of a code page 932 name. False, with strNative unchanged, when the name
// holds bytes that code page 932 does not define or is empty.
FRAMEWORK_EXPORT bool ToNativePath(const CString& strName, std::string& strNative);

// The code page 932 form of a native name. False, with strName unchanged, when the native name has
// a character that code page 932 cannot represent exactly (or is not valid UTF-8): unlike text, a
// name never takes a look-alike (〜 U+301C has no form, since ～ U+FF5E would name another file).
FRAMEWORK_EXPORT bool FromNativePath(const std::string& strNative, CString& strName);

// The current directory in code page 932, without a trailing slash except for the root. False,
// with strDir unchanged, when it cannot be read or has no code page 932 form.
FRAMEWORK_EXPORT bool GetCurrentDir(CString& strDir);

// Makes pszDir the current directory. False, with the current directory unchanged, when the
// folder does not exist, cannot be entered, or its name has no native form. An empty or null
// name is refused (false).
FRAMEWORK_EXPORT bool SetCurrentDir(const char* pszDir);

// True when the name is absolute for the platform's open procedure (on Linux a leading '/'; on
// Windows a drive, a leading separator or a network name).
FRAMEWORK_EXPORT bool IsNativeAbsolutePath(const char* pszName);

