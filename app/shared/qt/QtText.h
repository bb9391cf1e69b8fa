// Text at the Qt edge: the program keeps text as code page 932 CStrings, Qt shows UTF-16.
#pragma once

#include <filesystem>

#include <QString>

#include <framework/String.h>

// The text for display. A byte sequence that code page 932 does not define becomes '?'; the
// texts shown are the program's own and the era file's, which the library has read as
// code page 932 already.
QString ToQString(const CString& str);

// The code page 932 form of text typed by the user. A character that code page 932 cannot
// represent becomes '?', so such text never matches an era name or a branch and never reads as a
// number; nothing typed is dropped silently.
CString FromQString(const QString& str);

// File names between Qt and the system, any name the system allows: the native path of a name Qt
// gives (a file dialog's choice, an argument), and the name Qt shows for a native path.
std::filesystem::path ToPath(const QString& strPath);
QString FromPath(const std::filesystem::path& path);
