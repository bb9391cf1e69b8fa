// The era file Tamber remembers: the one the user chose last in Tamber's dialog, read from its
// profile (app/shared/qt/TamberProfile.h), as a native (UTF-8) path. Empty when none is remembered
// or the program was built without QtCore (the Windows cross build). Nothing is opened here.
#pragma once

#include <string>

std::string RememberedEraFile();
