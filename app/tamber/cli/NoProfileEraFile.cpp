// A build without QtCore (the Windows cross build) cannot read Tamber's profile: no remembered
// era file, so the shipped one is read unless --era-file names another.
#include "TamberCli.h"

std::string CTamberCli::GetProfileEraFile()
{
    return std::string();
}
