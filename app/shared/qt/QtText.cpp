#include "QtText.h"

#include <QList>

#include <framework/Cp932.h>

QString ToQString(const CString& str)
{
    return QString::fromStdString(Cp932ToUtf8Lossy(str.View()));
}

CString FromQString(const QString& str)
{
    return Utf8ToCp932Lossy(str.toStdString());
}

std::filesystem::path ToPath(const QString& strPath)
{
#ifdef _WIN32
    return std::filesystem::path(strPath.toStdWString());
#else
    return std::filesystem::path(strPath.toStdString());
#endif
}

QString FromPath(const std::filesystem::path& path)
{
#ifdef _WIN32
    return QString::fromStdWString(path.wstring());
#else
    return QString::fromStdString(path.string());
#endif
}
