#include <corvane/FilePathManager.h>

#include <framework/FileSystem.h>

#include <string_view>

namespace {

char Separator(EPathStyle eStyle)
{
    return eStyle == PATH_STYLE_WINDOWS ? '\\' : '/';
}

// True when strName ends in the separator itself, not in the second byte of a double-byte
// character that happens to have the separator's value.
bool EndsWithSeparator(const CString& strName, char chSep)
{
    const int nLength = strName.GetLength();
    return nLength > 0 && strName.ReverseFind(chSep) == nLength - 1;
}

// "\\server..." in the Windows style.
bool IsNetworkName(const CString& strName)
{
    return strName.GetLength() >= 2 && strName[0] == '\\' && strName[1] == '\\';
}

// A drive letter followed by a colon ("C:"), the first byte being a character of its own.
bool HasDriveColon(const CString& strName)
{
    return strName.GetLength() >= 2 && strName.CharLength(0) == 1 && strName[1] == ':';
}

// In the POSIX style "a//b" names the same file as "a/b". '/' is below every second byte of a
// double-byte character (0x40 and up), so the bytes can be walked one by one.
CString CollapseSlashes(const CString& strName)
{
    std::string strOut;
    strOut.reserve(strName.Str().size());
    for (const char ch : strName.View()) {
        if (ch == '/' && !strOut.empty() && strOut.back() == '/')
            continue;
        strOut += ch;
    }
    return CString(std::string_view(strOut));
}

// The base folder without trailing separators, except for the one of a root ("C:\", "\" or "/").
void TrimBaseFolder(EPathStyle eStyle, CString& strBase)
{
    if (!EndsWithSeparator(strBase, Separator(eStyle)))
        return;
    const bool bDriveRoot = eStyle == PATH_STYLE_WINDOWS && HasDriveColon(strBase);
    strBase.TrimRight(Separator(eStyle));
    if (strBase.IsEmpty() || (bDriveRoot && strBase.GetLength() == 2))
        strBase += Separator(eStyle);
}

// The part of strName that starts at nFrom and runs up to the next separator or the end.
std::string_view FirstPart(const CString& strName, int nFrom, char chSep)
{
    if (nFrom >= strName.GetLength())
        return {};
    int nEnd = strName.Find(chSep, nFrom);
    if (nEnd < 0)
        nEnd = strName.GetLength();
    return strName.View().substr(static_cast<std::size_t>(nFrom), static_cast<std::size_t>(nEnd - nFrom));
}

// Counts the separators from nFrom on.
int CountSeparators(const CString& strName, char chSep, int nFrom)
{
    int nCount = 0;
    for (int n = strName.Find(chSep, nFrom); n >= 0; n = strName.Find(chSep, n + 1))
        ++nCount;
    return nCount;
}

// The shared part of both styles, once the first levels of strPath and strBase are known to be
// the same: nPathFrom and nBaseFrom are the offsets just after the separator that ends them.
CString MakeRelative(const CString& strPath, int nPathFrom, const CString& strBase, int nBaseFrom, char chSep)
{
    const std::string_view svPath = strPath.View();
    const std::string_view svBase = strBase.View();
    const int nPathLength = strPath.GetLength();
    const int nBaseLength = strBase.GetLength();

    // Levels of the base: "C:\Docs" and "C:\" count 1, "C:\Docs\Sub" 2.
    const int nLevels = 1 + CountSeparators(strBase, chSep, nBaseFrom);

    // Walk the folders that the path and the base share. nTaken counts the parts of the path that
    // were taken; nTail is where the last of them starts.
    int nTaken = 0;
    int nTail = nPathFrom;
    int nPathPart = nPathFrom;
    int nBasePart = nBaseFrom;
    for (;;) {
        int nPathEnd = strPath.Find(chSep, nPathPart);
        if (nPathEnd < 0)
            nPathEnd = nPathLength;
        ++nTaken;
        nTail = nPathPart;
        if (nBasePart >= nBaseLength)
            break;
        int nBaseEnd = strBase.Find(chSep, nBasePart);
        if (nBaseEnd < 0)
            nBaseEnd = nBaseLength;
        if (svPath.substr(static_cast<std::size_t>(nPathPart), static_cast<std::size_t>(nPathEnd - nPathPart)) !=
            svBase.substr(static_cast<std::size_t>(nBasePart), static_cast<std::size_t>(nBaseEnd - nBasePart)))
            break;
        // A trailing separator does not make one more, empty part.
        if (nPathEnd + 1 >= nPathLength)
            break;
        nPathPart = nPathEnd + 1;
        nBasePart = nBaseEnd + 1;
    }

    // Up from the base to the folder that holds the tail, unless the base holds the tail's folder.
    CString strResult;
    if (nLevels >= nTaken) {
        const char szUp[4] = {'.', '.', chSep, '\0'};
        for (int n = nTaken; n <= nLevels; ++n)
            strResult += szUp;
    }
    strResult += strPath.Mid(nTail);
    return strResult;
}

// The Windows-style conversion. Both names are compared in upper case, and the result is in upper
// case; a name with no relative form comes back whole.
CString WindowsRelPath(const CString& strPathIn, const CString& strBaseIn)
{
    CString strPath(strPathIn);
    strPath.MakeUpper();
    CString strBase(strBaseIn);
    strBase.MakeUpper();
    TrimBaseFolder(PATH_STYLE_WINDOWS, strBase);

    const int nPathSep = strPath.Find('\\');
    const int nBaseSep = strBase.Find('\\');
    // A relative name is resolved against the current directory when the file is opened, so it
    // stays as it is (the drive test below would catch it only under a base with a drive). A base
    // without a separator names no folder.
    if (nPathSep < 0 || (nPathSep > 0 && !HasDriveColon(strPath)) || nBaseSep < 0)
        return strPath;

    // The drive ("C:"), or nothing for a name that begins with '\'.
    if (strPath.Left(nPathSep) != strBase.Left(nBaseSep))
        return strPath;

    int nPathFrom = nPathSep + 1;
    int nBaseFrom = nBaseSep + 1;
    const bool bPathNetwork = IsNetworkName(strPath);
    if (bPathNetwork != IsNetworkName(strBase))
        return strPath;
    if (bPathNetwork) {
        // The server names must be the same; the share then counts as the first folder. A share
        // is a volume of its own, as a drive is: ".." does not lead out of it into another share
        // of the server, so a path on another share has no relative form either.
        const int nPathServerEnd = strPath.Find('\\', 2);
        int nBaseServerEnd = strBase.Find('\\', 2);
        if (nBaseServerEnd < 0)
            nBaseServerEnd = strBase.GetLength();
        if (nPathServerEnd < 0 || strPath.Mid(2, nPathServerEnd - 2) != strBase.Mid(2, nBaseServerEnd - 2) ||
            FirstPart(strPath, nPathServerEnd + 1, '\\') != FirstPart(strBase, nBaseServerEnd + 1, '\\'))
            return strPath;
        nPathFrom = nPathServerEnd + 1;
        nBaseFrom = nBaseServerEnd + 1;
    }
    return MakeRelative(strPath, nPathFrom, strBase, nBaseFrom, '\\');
}

// The POSIX-style conversion. Letter case is kept and compared exactly.
CString PosixRelPath(const CString& strPathIn, const CString& strBaseIn)
{
    if (strPathIn.IsEmpty() || strPathIn[0] != '/' || strBaseIn.IsEmpty() || strBaseIn[0] != '/')
        return strPathIn;
    const CString strPath = CollapseSlashes(strPathIn);
    CString strBase = CollapseSlashes(strBaseIn);
    TrimBaseFolder(PATH_STYLE_POSIX, strBase);
    return MakeRelative(strPath, 1, strBase, 1, '/');
}

} // namespace

CFilePathManager::~CFilePathManager() = default;

bool CFilePathManager::AbsToRelPath(const CString& strPath, CString& strResult, const char* pszBase) const
{
    return AbsToRelPath(PATH_STYLE_NATIVE, strPath, strResult, pszBase);
}

bool CFilePathManager::CheckAbsPath(const CString& strPath) const
{
    return CheckAbsPath(PATH_STYLE_NATIVE, strPath);
}

bool CFilePathManager::RelPathToCurAbsPath(const CString& strRelPath, CString& strResult) const
{
    return RelPathToCurAbsPath(PATH_STYLE_NATIVE, strRelPath, strResult);
}

bool CFilePathManager::AbsToRelPath(EPathStyle eStyle, const CString& strPath, CString& strResult,
                                    const char* pszBase)
{
    // Copied first: pszBase may point into strResult.
    CString strBase(pszBase);
    if (!pszBase && !GetCurrentDir(strBase))
        return false;
    strResult = eStyle == PATH_STYLE_WINDOWS ? WindowsRelPath(strPath, strBase) : PosixRelPath(strPath, strBase);
    return true;
}

bool CFilePathManager::CheckAbsPath(EPathStyle eStyle, const CString& strPath)
{
    if (eStyle == PATH_STYLE_POSIX)
        return !strPath.IsEmpty() && strPath[0] == '/';
    if (strPath.Find(':') >= 0)
        return true;
    // Offset 1 only when the first character is a single byte: the '\' of 表 is no separator.
    const int nSep = strPath.Find('\\');
    return nSep == 0 || nSep == 1;
}

bool CFilePathManager::RelPathToCurAbsPath(EPathStyle eStyle, const CString& strRelPath, CString& strResult)
{
    if (CheckAbsPath(eStyle, strRelPath))
        return false;
    CString strDir;
    if (!GetCurrentDir(strDir))
        return false;
    return RelPathToAbsPath(eStyle, strDir, strRelPath, strResult);
}

bool CFilePathManager::RelPathToAbsPath(EPathStyle eStyle, const CString& strFolder, const CString& strRelPath,
                                        CString& strResult)
{
    if (strFolder.IsEmpty() || CheckAbsPath(eStyle, strRelPath))
        return false;
    const char chSep = Separator(eStyle);
    CString strJoined(strFolder);
    if (!EndsWithSeparator(strJoined, chSep))
        strJoined += chSep;
    strJoined += strRelPath;
    strResult = strJoined;
    return true;
}
