// CTamberProfile: where Tamber keeps what it remembers, QSettings of organisation "Haldris" and
// application "Tamber" (on Linux ~/.config/Haldris/Tamber.conf). Its one value is the era file the
// user chose last, "Gengou/FileName" ([Gengou] FileName= in the file). Tamber's dialog writes it;
// its command line and Nenpyo read it. QtCore only, so that the command line can read it too.
#pragma once

#include <QSettings>
#include <QString>

class CTamberProfile {
public:
    static QString Organisation() { return QStringLiteral("Haldris"); }
    static QString Application() { return QStringLiteral("Tamber"); }
    static QString EraFileKey() { return QStringLiteral("Gengou/FileName"); }

    // The era file remembered (a native path), or empty when none is.
    static QString EraFile() { return QSettings(Organisation(), Application()).value(EraFileKey()).toString(); }
    static void SetEraFile(const QString& strPath)
    {
        QSettings(Organisation(), Application()).setValue(EraFileKey(), strPath);
    }
};
