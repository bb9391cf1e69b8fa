// CLinkRule: which link targets of a chronology Nenpyo hands to the desktop. A chronology may come
// from anyone, and the desktop runs a program or a launcher it is given: web and mail links open at
// a click, a local file only after the user agreed (the window names it), and never a file that is
// a program (executable, or of a kind the system runs) or a launcher (.desktop). No toolkit.
#pragma once

#include <filesystem>
#include <string>

class CLinkRule {
public:
    enum class EAction {
        Open,      // http, https, ftp, mailto
        AskFirst,  // a local file that is no program
        Refuse,    // a program, a launcher, any other scheme
    };

    // strScheme as the link gives it (any case); localFile the file a file: link names (ignored
    // for other schemes).
    static EAction Decide(const std::string& strScheme, const std::filesystem::path& localFile);
    // True for a file the system would run rather than show: executable (any execute bit, after
    // links are followed), or named as a launcher or program (.desktop, .exe, .bat, ...).
    static bool IsProgram(const std::filesystem::path& file);
};
