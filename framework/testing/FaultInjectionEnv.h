// CFaultInjectionEnv: an Env that makes chosen file operations fail as a full disk, a failed
// rename or a failed folder sync would, on every platform and for every user. Everything else is
// done by the target Env (the platform's unless given).
//
// Writes are counted over every file replaced through this Env, from 1; a test finds the writes of
// a save by running it once without faults (Writes()), then fails each of them in turn. Every step
// of a replacement is noted in Steps() ("open", "write", "sync", "rename", "folder sync"), so a
// test sees the order in which a writer takes them.
#pragma once

#include <framework/Env.h>
#include <framework/FileException.h>

#include <cerrno>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CFaultInjectionEnv : public EnvWrapper {
public:
    explicit CFaultInjectionEnv(Env* pTarget = Env::Default()) : EnvWrapper(pTarget) {}

    // Opening for reading or replacing fails (EACCES).
    void FailOpen() { m_bFailOpen = true; }
    // The nWrite-th write fails (ENOSPC); the replacement is spoilt, as after a real failure.
    void FailWrite(int nWrite) { m_nFailWrite = nWrite; }
    // Commit fails before the file is replaced (EIO, at the sync): the target keeps its previous
    // content.
    void FailCommit() { m_bFailCommit = true; }
    // The rename fails (EIO): the target keeps its previous content.
    void FailRename() { m_bFailRename = true; }
    // Commit replaces the file and then reports a failed folder sync (EIO): the new content is in
    // place, but the rename may not survive a crash.
    void FailFolderSync() { m_bFailFolderSync = true; }
    // No fault, no write counted.
    void Reset()
    {
        m_bFailOpen = m_bFailCommit = m_bFailRename = m_bFailFolderSync = false;
        m_nFailWrite = m_nWrites = 0;
        m_vSteps.clear();
    }

    int Writes() const { return m_nWrites; }
    const std::vector<std::string>& Steps() const { return m_vSteps; }

    std::unique_ptr<CEnvReadFile> OpenForReading(const std::string& strName, SEnvError& error) override
    {
        if (m_bFailOpen) {
            Fail(EACCES, error);
            return nullptr;
        }
        return EnvWrapper::OpenForReading(strName, error);
    }

    std::unique_ptr<CEnvReplacement> OpenForReplacing(const std::string& strName, SEnvError& error) override
    {
        if (m_bFailOpen) {
            Fail(EACCES, error);
            return nullptr;
        }
        m_vSteps.push_back("open");
        std::unique_ptr<CEnvReplacement> pFile = EnvWrapper::OpenForReplacing(strName, error);
        if (!pFile)
            return nullptr;
        return std::make_unique<CReplacement>(*this, std::move(pFile));
    }

private:
    static bool Fail(int nErrno, SEnvError& error)
    {
        error = SEnvError{CFileException::OsErrorToCause(nErrno), nErrno};
        return false;
    }

    class CReplacement final : public CEnvReplacement {
    public:
        CReplacement(CFaultInjectionEnv& env, std::unique_ptr<CEnvReplacement> pTarget)
            : m_env(env), m_pTarget(std::move(pTarget)) {}

        bool Write(std::string_view bytes, SEnvError& error) override
        {
            m_env.m_vSteps.push_back("write");
            if (++m_env.m_nWrites == m_env.m_nFailWrite)
                return Fail(ENOSPC, error);
            return m_pTarget->Write(bytes, error);
        }

        bool Sync(SEnvError& error) override
        {
            m_env.m_vSteps.push_back("sync");
            return !m_env.m_bFailCommit ? m_pTarget->Sync(error) : Fail(EIO, error);
        }

        bool Rename(SEnvError& error) override
        {
            m_env.m_vSteps.push_back("rename");
            return !m_env.m_bFailRename ? m_pTarget->Rename(error) : Fail(EIO, error);
        }

        bool SyncFolder(SEnvError& error) override
        {
            m_env.m_vSteps.push_back("folder sync");
            if (!m_pTarget->SyncFolder(error))
                return false;
            return !m_env.m_bFailFolderSync || Fail(EIO, error);
        }

    private:
        CFaultInjectionEnv& m_env;
        std::unique_ptr<CEnvReplacement> m_pTarget;
    };

    bool m_bFailOpen = false;
    int m_nFailWrite = 0;
    bool m_bFailCommit = false;
    bool m_bFailRename = false;
    bool m_bFailFolderSync = false;
    int m_nWrites = 0;
    std::vector<std::string> m_vSteps;
};
