// The era file Tamber remembers, from the profile its dialog writes (QSettings).
#include <shared/shipped/RememberedEraFile.h>

#include <shared/qt/TamberProfile.h>

std::string RememberedEraFile()
{
    return CTamberProfile::EraFile().toStdString();
}
