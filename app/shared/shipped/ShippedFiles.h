// The files shipped with Tamber, found from the folder of the running program: first in the data
// folder of an installed program (share/tamber beside bin), then in the source tree the program was
// built from, so that a program run from its build folder finds them as well. Names are native
// (UTF-8) paths; nothing is read or opened here.
#pragma once

#include <string>

// The shipped era-name file (ﾗｲﾌﾞﾗﾘ/元号.lgn) for a program in strProgramDir, or empty when neither
// place has it.
std::string FindShippedEraFile(const std::string& strProgramDir);

// The folder of the help pages (the one holding index.html, the first page) for a program in
// strProgramDir, or empty when neither place has it.
std::string FindHelpPages(const std::string& strProgramDir);
