#include <framework/Env.h>

CEnvReadFile::~CEnvReadFile() = default;
CEnvReplacement::~CEnvReplacement() = default;
Env::~Env() = default;
EnvWrapper::~EnvWrapper() = default;
