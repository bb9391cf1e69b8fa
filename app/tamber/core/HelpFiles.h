// Tamber's help as shipped: the compiled help file and the pages it is made of, found as every
// shipped file is (shared/shipped/ShippedFiles.h). Names are native (UTF-8) paths.
#pragma once

#include <string>

// The help file tamber.chm: in strProgramDir, where the build puts it, else in the data folder of
// an installed program; the name in strProgramDir when neither has it.
std::string FindHelpFile(const std::string& strProgramDir);

// The folder of the help pages (the one holding index.html, the first page) for a program in
// strProgramDir, or empty when neither the installed data folder nor the source tree has it.
std::string FindHelpPages(const std::string& strProgramDir);
