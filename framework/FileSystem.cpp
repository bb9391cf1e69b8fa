#include <framework/FileSystem.h>

#include <framework/Cp932.h>
#include <framework/Env.h>

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
    // Exact forms only: a name whose code page 932 form reads back as another name (〜 as ～)
    // would open another file.
    std::string strCp932, strBack;
    if (!Env::Utf8ToCp932(strNative, strCp932) || !Env::Cp932ToUtf8(strCp932, strBack) || strBack != strNative)
        return false;
    strName = CString(std::string_view(strCp932));
    return true;
}

bool GetCurrentDir(CString& strDir)
{
    std::string strNative;
    return Env::GetCurrentDir(strNative) && FromNativePath(strNative, strDir);
}

bool SetCurrentDir(const char* pszDir)
{
    std::string strNative;
    if (!pszDir || !ToNativePath(CString(pszDir), strNative))
        return false;
    return Env::SetCurrentDir(strNative);
}

bool IsNativeAbsolutePath(const char* pszName)
{
    return pszName && Env::IsAbsolutePath(pszName);
}
