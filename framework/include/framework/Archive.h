// CArchive: the framework's serialisation stream. The tables' Serialize operations take one and
// do nothing with it.
#pragma once

#include <framework/framework_export.h>

class FRAMEWORK_EXPORT CArchive {
public:
    virtual ~CArchive() = default;
};
