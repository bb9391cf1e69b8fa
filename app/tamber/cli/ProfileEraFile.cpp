// The era file Tamber remembers, from the profile it writes (QSettings).
#include "TamberCli.h"

#include <QSettings>
#include <QString>

std::string CTamberCli::GetProfileEraFile()
{
    const QSettings settings(QStringLiteral("Haldris"), QStringLiteral("Tamber"));
    return settings.value(QStringLiteral("Gengou/FileName")).toString().toStdString();
}
