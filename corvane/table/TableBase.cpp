#include <corvane/TableBase.h>

#include <framework/FileSystem.h>
#include <framework/Numbers.h>

CTableBase::~CTableBase() = default;

void CTableBase::SetTableName(const char* pszTableName)
{
    const CString str(pszTableName);
    if (str != m_strTableName) {
        m_strTableName = str;
        m_bModified = true;
    }
}

void CTableBase::SetExplanation(const char* pszExplanation)
{
    const CString str(pszExplanation);
    if (str != m_strExplanation) {
        m_strExplanation = str;
        m_bModified = true;
    }
}

void CTableBase::SetTodayDate(bool bTodayDate)
{
    if (bTodayDate != m_bTodayDate) {
        m_bTodayDate = bTodayDate;
        m_bModified = true;
    }
}

void CTableBase::Initialize()
{
    m_strFileName.Empty();
    m_strTableName.Empty();
    m_bModified = false;
    m_strExplanation.Empty();
    m_bTodayDate = false;
}

void CTableBase::Serialize(CArchive&) {}

bool CTableBase::WriteFile(bool, CDocument*, EHeaderType)
{
    return true;
}

int CTableBase::GetElementFromCSV(const CString& strLine, int nStart, CString& strField)
{
    const int nLength = strLine.GetLength();
    if (nStart < 0)
        nStart = 0;
    if (nStart >= nLength)
        return -1;
    const char* p = strLine.GetString() + nStart;
    const int nRest = nLength - nStart;
    if (nRest == 1 && p[0] == '\r')
        return -1;

    int i = 0;
    while (i < nRest && (p[i] == ' ' || p[i] == '\t'))
        ++i;
    std::string field;
    bool bQuoted = false;
    if (i < nRest && p[i] == '"') {
        bQuoted = true;
        ++i;
    }
    const std::string_view rest(p, static_cast<std::size_t>(nRest));
    const char* const pszDelimiters = bQuoted ? "\"" : "\",";
    int nEnd = nRest;   // the line's end unless a delimiter ends the field first
    while (i < nRest) {
        // Plain bytes go over in one piece, so that a long field costs one copy.
        const std::size_t nNext = rest.find_first_of(pszDelimiters, static_cast<std::size_t>(i));
        const int nPlain = (nNext == std::string_view::npos ? nRest : static_cast<int>(nNext)) - i;
        field.append(p + i, static_cast<std::size_t>(nPlain));
        i += nPlain;
        if (i >= nRest)
            break;
        const char ch = p[i];
        if (ch == '"' && i + 1 < nRest && p[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
        }
        if (bQuoted && ch == '"') {
            nEnd = i;
            // Whatever stands between the closing quote and the next comma is dropped.
            for (int j = i + 1; j < nRest; ++j) {
                if (p[j] == ',') {
                    nEnd = j;
                    break;
                }
            }
            break;
        }
        if (!bQuoted && ch == ',') {
            nEnd = i;
            break;
        }
        field += ch;   // a lone quote inside an unquoted field
        ++i;
    }
    strField = CString(std::string_view(field));
    strField.Trim();
    return nStart + nEnd;
}

bool CTableBase::GetTableKindNameAndFileVer(CString strLine, CString& strKind, int& nVersion)
{
    const int nEnd = GetElementFromCSV(strLine, 0, strKind);
    if (nEnd >= 0)
        strKind.Trim();
    CString strVersion;
    const int nVersionEnd = GetElementFromCSV(strLine, nEnd + 1, strVersion);
    nVersion = nVersionEnd < 0 ? 0 : Atoi32(strVersion);
    return true;
}

bool CTableBase::GetBasePath(CString& strPath, CDocument* pDocument)
{
    if (!pDocument)
        return false;
    strPath = pDocument->GetPathName();
    const int n = strPath.ReverseFind(kNativePathSeparator);
    if (n == 0)
        strPath = CString(kNativePathSeparator, 1);
    else if (n > 0)
        strPath = strPath.Left(n);
    return true;
}
