// Env: what the framework, the library and the programs ask of the operating system.
//
// Opening, reading and atomically replacing files, the current directory, the program's own path,
// the local year, the command line and the code page 932 codec. Each platform has one
// implementation (EnvPosix.cpp, EnvWindows.cpp: the build compiles the one for its target); no
// other source depends on the platform. The layer above (CStdioFile, FileSystem.h, Cp932.h) turns
// them into the framework's interface; programs use only what that layer does not cover
// (ProgramPath, LocalYear, Arguments).
//
// Names cross the seam as UTF-8 (the POSIX side passes them on as they are, the Windows side
// converts them to UTF-16). A failure is reported as SEnvError: the CFileException cause and the
// system's error as an errno value (the Windows side translates its own codes), 0 when there is
// no system error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <framework/framework_export.h>

struct SEnvError {
    int nCause = 0;
    std::int32_t lOsError = 0;
};

// A file open for reading.
class FRAMEWORK_EXPORT CEnvReadFile {
public:
    virtual ~CEnvReadFile();
    // Reads up to nSize bytes into p: the number read, 0 at the end of the file, or -1 with error
    // filled.
    virtual std::ptrdiff_t Read(char* p, std::size_t nSize, SEnvError& error) = 0;
};

// The new content of a file, written aside and put in place of the file by Commit. Destroying it
// without a successful Commit discards what was written: the file keeps its previous content and
// nothing is left behind.
class FRAMEWORK_EXPORT CEnvReplacement {
public:
    virtual ~CEnvReplacement();
    // Appends all of the bytes. The platform's replacement gathers small writes into larger ones,
    // so a failure to store them may be reported by a later Write or by Commit. False with error
    // filled (the replacement is then spoilt).
    virtual bool Write(std::string_view bytes, SEnvError& error) = 0;
    // The steps of Commit, each false with error filled (the replacement is then spoilt and the
    // next steps are not to be taken). Sync passes everything written to the system and makes it
    // durable; Rename puts it in place of the file in one step (the file is created when it did
    // not exist; until here the file keeps its previous content); SyncFolder makes the rename
    // durable (nothing to do where the platform's rename is durable by itself).
    virtual bool Sync(SEnvError& error) = 0;
    virtual bool Rename(SEnvError& error) = 0;
    virtual bool SyncFolder(SEnvError& error) = 0;
    // Sync, Rename and SyncFolder in this order, stopping at the first failure. False with error
    // filled; the file then keeps its previous content, except when only the final folder sync
    // failed (see CStdioFile::Close).
    bool Commit(SEnvError& error) { return Sync(error) && Rename(error) && SyncFolder(error); }
};

// The operating system. Env::Default() is the platform's; a test passes another (an EnvWrapper
// that changes some calls) to whatever takes an Env*, to make a file operation fail where it
// chooses. Only the file operations are virtual: the rest are facts of the process (current
// directory, program path, clock, command line) or conversions that the platform fixes, and are
// static.
class FRAMEWORK_EXPORT Env {
public:
    Env() = default;
    Env(const Env&) = delete;
    Env& operator=(const Env&) = delete;
    virtual ~Env();

    // The platform's Env, shared and alive for the whole run (never deleted).
    static Env* Default();

    // Opens an existing file for reading. Null with error filled when it cannot be opened (a
    // folder gives accessDenied).
    virtual std::unique_ptr<CEnvReadFile> OpenForReading(const std::string& strName, SEnvError& error) = 0;

    // Starts replacing the file strName (which need not exist). Null with error filled, and
    // nothing changed, when it may not be replaced: its folder is missing or not writable, it is a
    // folder or not a regular file, or the user may not write it. What the replacement keeps of
    // the previous file is described in StdioFile.h.
    virtual std::unique_ptr<CEnvReplacement> OpenForReplacing(const std::string& strName, SEnvError& error) = 0;

    // The current directory, without a trailing separator except for a root. False when
    // unreadable.
    static bool GetCurrentDir(std::string& strDir);
    // False, with the current directory unchanged, when the folder cannot be entered.
    static bool SetCurrentDir(const std::string& strDir);

    // True when a name (code page 932 or UTF-8: only ASCII bytes are looked at) is absolute for
    // the platform, that is, does not depend on the current directory: "/x" on POSIX; "C:\x",
    // "C:x", "\x", "/x" and "\\server\share" on Windows.
    static bool IsAbsolutePath(std::string_view name);

    // A native path as a name for the calls above, and back (POSIX: the bytes as they are;
    // Windows: UTF-16 to UTF-8 and back). Every name the system allows survives the round trip.
    static std::string NameOf(const std::filesystem::path& path);
    static std::filesystem::path PathOf(const std::string& strName);

    // The full name of the running program, empty when it cannot be found.
    static std::string ProgramPath();

    // The year of the local calendar today, 0 when the clock cannot be read.
    static std::int32_t LocalYear();

    // The program's arguments after its name, in UTF-8 (on Windows from the UTF-16 command line,
    // not from argv, whose code page may not hold them).
    static std::vector<std::string> Arguments(int argc, char** argv);

    // Code page 932 to UTF-8 and back. False, with the output unchanged, on a byte sequence that
    // code page 932 does not define, on text that is not UTF-8, or on a character that code page
    // 932 has no form for. POSIX: iconv's CP932. Windows: the system's code page 932 without
    // best-fit mappings; a conversion that would not come back to the same text is refused.
    static bool Cp932ToUtf8(std::string_view cp932, std::string& strUtf8);
    static bool Utf8ToCp932(std::string_view utf8, std::string& strCp932);
};

// An Env that passes every call on to another (the target, which must outlive it). A subclass
// overrides what it wants to change.
class FRAMEWORK_EXPORT EnvWrapper : public Env {
public:
    explicit EnvWrapper(Env* pTarget) : m_pTarget(pTarget) {}
    ~EnvWrapper() override;

    Env* Target() const { return m_pTarget; }

    std::unique_ptr<CEnvReadFile> OpenForReading(const std::string& strName, SEnvError& error) override
    {
        return m_pTarget->OpenForReading(strName, error);
    }
    std::unique_ptr<CEnvReplacement> OpenForReplacing(const std::string& strName, SEnvError& error) override
    {
        return m_pTarget->OpenForReplacing(strName, error);
    }

private:
    Env* m_pTarget;
};
