#include "QtText.h"

#include <QList>

#include <framework/Cp932.h>

QString ToQString(const CString& str)
{
    return QString::fromStdString(Cp932ToUtf8Lossy(str.View()));
}

CString FromQString(const QString& str)
{
    CString strCp932;
    if (Utf8ToCp932(str.toStdString(), strCp932))
        return strCp932;
    // Character by character, so that one character without a form spoils only itself.
    strCp932.Empty();
    for (const uint nCode : str.toUcs4()) {
        const char32_t ch = nCode;
        CString strChar;
        if (Utf8ToCp932(QString::fromUcs4(&ch, 1).toStdString(), strChar))
            strCp932 += strChar;
        else
            strCp932 += '?';
    }
    return strCp932;
}
