// A build without QtCore (the Windows cross build) cannot read Tamber's profile: no remembered
// era file, so corvane date reads the shipped one unless --eras names another.
#include "DateCommand.h"

std::string RememberedEraFile()
{
    return std::string();
}
