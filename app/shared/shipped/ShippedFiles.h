// The files shipped with the programs, found from the folder of the running program: first in the
// data folder of an installed program (share/tamber, found relative to bin), then in the source
// tree the program was built from, so that a program run from its build folder finds them as
// well. Names are native (UTF-8) paths; nothing is read or opened here. No toolkit.
#pragma once

#include <string>

// The first that exists of pszInstalled under the data folder of an installed program in
// strProgramDir and pszInSource under the source tree (null: the file has no source-tree copy);
// empty when neither exists.
std::string FindShippedFile(const std::string& strProgramDir, const char* pszInstalled, const char* pszInSource);

// Shipped data: a name under the data folder, such as "ﾗｲﾌﾞﾗﾘ/元号.lgn" or "年表/日本史.nenpyo",
// which in the source tree lies under data/. Empty when neither place has it.
std::string FindShippedData(const std::string& strProgramDir, const std::string& strName);

// The shipped era-name file (ﾗｲﾌﾞﾗﾘ/元号.lgn), or empty when neither place has it.
std::string FindShippedEraFile(const std::string& strProgramDir);
