// CReplacementSet: several files replaced together. An Env that passes every file operation on
// to another, except that the files replaced through it are written and synced but put in place
// only by Commit, one after the other in the order they were written.
//
// A save of several files through it finds every failure to open, write or sync any of them
// before any file is replaced: the previous files then all stay as they were. Only a failure of
// a rename itself (after every file is written and synced) leaves the files before it replaced
// and the rest as they were, each file whole.
#pragma once

#include <memory>
#include <vector>

#include <framework/Env.h>
#include <framework/framework_export.h>

class FRAMEWORK_EXPORT CReplacementSet : public EnvWrapper {
public:
    explicit CReplacementSet(Env* pTarget = Env::Default()) : EnvWrapper(pTarget) {}
    ~CReplacementSet() override;

    std::unique_ptr<CEnvReplacement> OpenForReplacing(const std::string& strName, SEnvError& error) override;

    // Renames each file written and synced through this Env over its target and syncs its folder,
    // in the order they were committed. False with error filled at the first failure; the files
    // not yet renamed are discarded. Nothing is pending afterwards.
    bool Commit(SEnvError& error);
    // Discards every file not yet put in place.
    void Discard() { m_vPending.clear(); }

private:
    class CStaged;
    std::vector<std::unique_ptr<CEnvReplacement>> m_vPending;   // synced, waiting for the rename
};
