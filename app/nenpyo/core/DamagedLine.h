// CDamagedLine: why a table file stopped being read at a line, in words for the user, for the
// message that offers to open what was read before it. No toolkit.
#pragma once

#include <filesystem>

#include <framework/String.h>

class CDamagedLine {
public:
    // Reads path up to line nLine (1-based) and says, in code page 932,
    // what is wrong there: the file ends before it (cut short), the line is longer than a table
    // line may be, it holds bytes that are no code page 932 text, the first line names no kind of
    // table, or a record line has no comma. A generic text when none of these fits or the file
    // cannot be read again. Reads no further than the line.
    static CString Describe(const std::filesystem::path& path, int nLine);
};
