// CFilePathManager: file names relative to a folder and back.
//
// Table files are remembered by their host documents with names relative to the document's
// folder, so that a folder of documents and tables can be moved as a whole. Two styles of names
// are understood:
//
// - PATH_STYLE_WINDOWS: '\' separates the parts, a drive is "C:", a network name begins with
//   "\\server\share". Letter case does not matter: the relative names made in this style are in
//   upper case (ASCII letters only; both bytes of a double-byte character are kept, and a second
//   byte of value '\' - as in 表 or ソ - is never taken for a separator).
// - PATH_STYLE_POSIX: '/' separates the parts and an absolute name begins with '/'. Letter case is
//   kept and compared exactly, since the file system tells "Lib" from "LIB".
//
// The operations without a style argument use PATH_STYLE_NATIVE, the style of the platform the
// library was built for; the static overloads that take a style serve code that handles names of
// the other platform, and tests.
//
// Names are code page 932 bytes; every offset is a byte offset. No operation touches the disk
// except to read the process's current directory, which is process-wide: callers that change it
// from several threads must serialise these calls with their changes.
#pragma once

#include <framework/FileSystem.h>
#include <framework/String.h>

#include <corvane/corvane_export.h>

enum EPathStyle {
    PATH_STYLE_WINDOWS = 0,
    PATH_STYLE_POSIX = 1,
    PATH_STYLE_NATIVE = kNativePathSeparator == '\\' ? PATH_STYLE_WINDOWS : PATH_STYLE_POSIX,
};

class CORVANE_EXPORT CFilePathManager {
public:
    CFilePathManager() = default;
    CFilePathManager(const CFilePathManager&) {}
    CFilePathManager& operator=(const CFilePathManager&) { return *this; }
    virtual ~CFilePathManager();

    // Makes strPath relative to the folder pszBase (the current directory when pszBase is null),
    // in the native style. On success strResult receives the relative name, or, when there is no
    // relative form, strPath itself (in upper case in the Windows style); see the static overload.
    // False only when pszBase is null and the current directory cannot be read; strResult is then
    // unchanged.
    bool AbsToRelPath(const CString& strPath, CString& strResult, const char* pszBase) const;

    // True when strPath is absolute in the native style (see the static overload).
    bool CheckAbsPath(const CString& strPath) const;

    // Puts the current directory in front of the relative name strRelPath, in the native style.
    // False, with strResult unchanged, when strRelPath is absolute (CheckAbsPath) or the current
    // directory cannot be read.
    bool RelPathToCurAbsPath(const CString& strRelPath, CString& strResult) const;

    // AbsToRelPath in the given style. The base folder is written without a trailing separator,
    // as the current directory is; a trailing separator is removed first unless the base is a
    // root ("C:\" or "\" in the Windows style, "/" in the POSIX style).
    //
    // The result goes up from the base with ".." parts as far as needed and then down to the file:
    // base C:\Docs\Sub, path C:\Docs\a.lby: ..\A.LBY; base /docs, path /docs/Lib/a.lby: Lib/a.lby.
    // A path equal to the base comes out as ".." and the base's own name (..\DOCS, ../docs). Under
    // a root base a file of the root comes out as ..\A.LBY or ../a.lby; the ".." of a root is the
    // root itself.
    //
    // The path comes back whole (in upper case in the Windows style) when it has no relative form:
    // - it is relative, and so already resolved against the current directory when the file is
    //   opened: in the Windows style a name that neither begins with '\' nor has ':' as its second
    //   byte (and any name without a '\', such as A.LBY or C:A.LBY); in the POSIX style a name that
    //   does not begin with '/';
    // - Windows style: it lies on another drive, server or share than the base, or only one of the
    //   two is a network name (no ".." leads out of a drive or a share);
    // - the base names no folder: it is empty, or holds no '\' (Windows style) or does not begin
    //   with '/' (POSIX style).
    // In the POSIX style a run of '/' counts as one, as the file system reads it. ".." and "."
    // parts are not resolved; they are compared as names.
    //
    // False only when pszBase is null and the current directory cannot be read (strResult is then
    // unchanged); true otherwise.
    static bool AbsToRelPath(EPathStyle eStyle, const CString& strPath, CString& strResult,
                             const char* pszBase);

    // Windows style: true when strPath holds a ':' anywhere, begins with '\', or has '\' as its
    // second byte (a single-byte first character followed by '\'); false for an empty path.
    // POSIX style: true when strPath begins with '/'.
    static bool CheckAbsPath(EPathStyle eStyle, const CString& strPath);

    // RelPathToCurAbsPath in the given style: RelPathToAbsPath with the current directory.
    static bool RelPathToCurAbsPath(EPathStyle eStyle, const CString& strRelPath, CString& strResult);

    // Joins the folder strFolder, a separator unless the folder already ends with one, and the
    // relative name strRelPath. The texts are only joined: ".." and "." stay, and letter case is
    // kept. False, with strResult unchanged, when strRelPath is absolute (CheckAbsPath).
    static bool RelPathToAbsPath(EPathStyle eStyle, const CString& strFolder, const CString& strRelPath,
                                 CString& strResult);
};
