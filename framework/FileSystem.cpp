#include <framework/FileSystem.h>

#include <framework/Cp932.h>

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

bool ToNativePath(const CString& strName, std::string& strNative)
{
    if (strName.IsEmpty())
        return false;
    // A NUL byte would silently cut the name at the system call.
    if (strName.View().find('\0') != std::string_view::npos)
        return false;
    return Cp932ToUtf8(strName.View(), strNative);
}

bool FromNativePath(const std::string& strNative, CString& strName)
{
    return Utf8ToCp932(strNative, strName);
}

bool GetCurrentDir(CString& strDir)
{
    std::vector<char> buffer(PATH_MAX);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() > (1u << 20))
            return false;
        buffer.resize(buffer.size() * 2);
    }
    return FromNativePath(std::string(buffer.data()), strDir);
}

bool SetCurrentDir(const char* pszDir)
{
    std::string strNative;
    if (!pszDir || !ToNativePath(CString(pszDir), strNative))
        return false;
    return ::chdir(strNative.c_str()) == 0;
}

bool IsNativeAbsolutePath(const char* pszName)
{
    return pszName && pszName[0] == kNativePathSeparator;
}
