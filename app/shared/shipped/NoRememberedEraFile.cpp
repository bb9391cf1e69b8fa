// A build without QtCore (the Windows cross build) cannot read Tamber's profile: no era file is
// remembered, so the programs read the shipped one unless they are given another.
#include <shared/shipped/RememberedEraFile.h>

std::string RememberedEraFile()
{
    return std::string();
}
