// The era file Tamber remembers, from the profile its dialog writes.
#include "TamberCli.h"

#include <shared/qt/TamberProfile.h>

std::string CTamberCli::GetProfileEraFile()
{
    return CTamberProfile::EraFile().toStdString();
}
