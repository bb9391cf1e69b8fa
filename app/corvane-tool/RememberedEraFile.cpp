// The era file Tamber remembers, from the profile it writes (QSettings).
#include "DateCommand.h"

#include <QSettings>
#include <QString>

std::string RememberedEraFile()
{
    const QSettings settings(QStringLiteral("Haldris"), QStringLiteral("Tamber"));
    return settings.value(QStringLiteral("Gengou/FileName")).toString().toStdString();
}
