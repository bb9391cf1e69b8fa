// CAtomicFile: the one way the programs write a file: a whole new content that takes the place of
// the file at once, or not at all.
//
// The content goes to a temporary file beside the target (through Env::OpenForReplacing, which
// keeps what the previous file had: a symbolic link stays a link, mode, owner and group carry
// over, a file the user may not write is not replaced); Commit syncs it, renames it over the
// target and syncs the folder. Until the rename the target keeps its previous content; abandoning
// the file (Abort, or destroying it without a successful Commit) leaves the target as it was and
// nothing behind.
//
// Names are native paths: any name the system allows, whatever code page 932 holds.
#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include <framework/Env.h>
#include <framework/framework_export.h>

class FRAMEWORK_EXPORT CAtomicFile {
public:
    // pEnv: the operating system the file is written through (it must outlive the object).
    explicit CAtomicFile(Env* pEnv = Env::Default()) : m_pEnv(pEnv) {}
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Starts replacing path (abandoning what this object wrote before). False, with Error()
    // filled and nothing changed on disk, when the file may not be replaced.
    bool Open(const std::filesystem::path& path);
    // Appends the bytes. False, with Error() filled, when the file is not open or the write
    // fails; a failed write abandons the file (the target stays as it was, Commit fails).
    bool Write(std::string_view bytes);
    // Puts the content in place: sync, rename, folder sync. False with Error() filled; the target
    // then keeps its previous content, except when only the folder sync failed (the new content
    // is in place but may not survive a crash). The object is closed either way.
    bool Commit();
    // Discards what was written; the target stays as it was.
    void Abort();

    bool IsOpen() const { return m_pFile != nullptr; }
    // The first failure since Open.
    const SEnvError& Error() const { return m_error; }

private:
    bool Fail(const SEnvError& error);

    Env* m_pEnv;
    std::unique_ptr<CEnvReplacement> m_pFile;
    SEnvError m_error;
    bool m_bFailed = false;
};

// Replaces the file at path with bytes, as CAtomicFile does. False with error filled.
FRAMEWORK_EXPORT bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, SEnvError& error,
                                          Env* pEnv = Env::Default());
