#include "DamagedLine.h"

#include <framework/Cp932.h>
#include <framework/FileException.h>
#include <framework/StdioFile.h>

CString CDamagedLine::Describe(const std::filesystem::path& path, int nLine)
{
    CStdioFile file;
    if (nLine < 1 || !file.Open(path, CStdioFile::modeRead | CStdioFile::typeText))
        return CP932("この行を読めません");
    CString strLine;
    try {
        for (int n = 1; n <= nLine; ++n) {
            if (!file.ReadString(strLine))
                return CP932("ファイルがこの行の前で終わっています(途中で切れています)");
        }
    } catch (const CFileException& e) {
        if (e.m_cause == CFileException::invalidFile && e.m_lOsError <= 0)
            return CP932("行が長すぎます");
        return CP932("この行を読めません");
    }
    std::string strUtf8;
    if (!Cp932ToUtf8(strLine.View(), strUtf8))
        return CP932("コードページ932の文字でないバイトがあります");
    if (nLine == 1)
        return CP932("先頭の行が表の種類を示していません");
    if (strLine.Find(',') < 0)
        return CP932("項目を区切るカンマがありません");
    return CP932("この行を読めません");
}
