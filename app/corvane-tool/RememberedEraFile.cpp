// The era file Tamber remembers, from the profile it writes (QSettings).
#include "DateCommand.h"

#include <shared/qt/TamberProfile.h>

std::string RememberedEraFile()
{
    return CTamberProfile::EraFile().toStdString();
}
