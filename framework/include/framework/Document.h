// CDocument: the host program's document, of which the tables need only the full path name (the
// folder that relative table file names are kept against).
#pragma once

#include <framework/String.h>
#include <framework/framework_export.h>

class FRAMEWORK_EXPORT CDocument {
public:
    virtual ~CDocument();   // out of line: the library holds the class's virtual table
    const CString& GetPathName() const { return m_strPathName; }
    virtual void SetPathName(const char* pszPathName) { m_strPathName = pszPathName; }

private:
    CString m_strPathName;
};
