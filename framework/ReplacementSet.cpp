#include <framework/ReplacementSet.h>

#include <utility>

// A replacement whose rename waits for the set's Commit: its own Rename hands the file to the set.
class CReplacementSet::CStaged final : public CEnvReplacement {
public:
    CStaged(CReplacementSet& set, std::unique_ptr<CEnvReplacement> pTarget) : m_set(set), m_pTarget(std::move(pTarget)) {}

    bool Write(std::string_view bytes, SEnvError& error) override { return m_pTarget->Write(bytes, error); }
    bool Sync(SEnvError& error) override { return m_pTarget->Sync(error); }
    bool Rename(SEnvError&) override
    {
        m_set.m_vPending.push_back(std::move(m_pTarget));
        return true;
    }
    bool SyncFolder(SEnvError&) override { return true; }

private:
    CReplacementSet& m_set;
    std::unique_ptr<CEnvReplacement> m_pTarget;
};

CReplacementSet::~CReplacementSet() = default;

std::unique_ptr<CEnvReplacement> CReplacementSet::OpenForReplacing(const std::string& strName, SEnvError& error)
{
    std::unique_ptr<CEnvReplacement> pFile = EnvWrapper::OpenForReplacing(strName, error);
    if (!pFile)
        return nullptr;
    return std::make_unique<CStaged>(*this, std::move(pFile));
}

bool CReplacementSet::Commit(SEnvError& error)
{
    std::vector<std::unique_ptr<CEnvReplacement>> vPending = std::move(m_vPending);
    m_vPending.clear();
    for (const auto& pFile : vPending) {
        if (!pFile->Rename(error) || !pFile->SyncFolder(error))
            return false;
    }
    return true;
}
