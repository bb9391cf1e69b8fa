// The base-year file reader on whole files. Each input is written to a scratch file and read into
// a new table and into one whose every value is set, and compared with a plain reading of the
// same bytes (lines split by hand, one value a line as the file's version says). The reader
// always shows its messages: every failure must show exactly one, with the right text.
#include <corvane/BaseYear.h>

#include <framework/Numbers.h>

#include "FuzzCheck.h"
#include "FuzzFile.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

namespace {

struct SModel {
    CString strTableName;
    std::int32_t lBase = 0;
    std::int32_t lEnd = 0;
    bool bFlags[7] = {};   // in the order of the file's lines 5 to 11
    CString strSupplement;
    bool bModified = false;
};

SModel ModelOf(const CBaseYear& table)
{
    SModel model;
    model.strTableName = table.GetTableName();
    model.lBase = table.GetBaseWesternYear();
    model.lEnd = table.GetEndWesternYear();
    const bool bFlags[7] = {table.GetKazoe(),         table.GetDisplayMinus(),    table.GetMinus1(),
                            table.GetEndYearPlus(),   table.GetEndYearKaiki(),    table.GetBeginYearQuest(),
                            table.GetEndYearQuest()};
    std::copy(std::begin(bFlags), std::end(bFlags), model.bFlags);
    table.GetSupplement(model.strSupplement);
    model.bModified = table.GetModified();
    return model;
}

bool operator==(const SModel& a, const SModel& b)
{
    return a.strTableName == b.strTableName && a.lBase == b.lBase && a.lEnd == b.lEnd &&
           std::equal(std::begin(a.bFlags), std::end(a.bFlags), std::begin(b.bFlags)) &&
           a.strSupplement == b.strSupplement && a.bModified == b.bModified;
}

// The plain reading: 0 when the whole file was read, else the message it fails with. Values read
// before a failure stay; reading itself never marks the table modified.
unsigned PlainRead(const std::vector<CString>& lines, SModel& model)
{
    CString strKind;
    int nVersion = 0;
    if (!SplitFileHeader(lines, strKind, nVersion) || strKind != CP932("[基点年]"))
        return 61447;
    std::size_t nLine = 1;
    if (nLine >= lines.size())
        return 61447;
    model.strTableName = lines[nLine++];
    // Base year, end year, 数え, then one flag line for each version up to 5 (two for version 5).
    const int nValues = 3 + std::clamp(nVersion, 0, 5) + (nVersion >= 5 ? 1 : 0);
    for (int i = 0; i < nValues; ++i) {
        if (nLine >= lines.size())
            return 61447;
        const std::int32_t l = Atoi32(lines[nLine++]);
        if (i == 0)
            model.lBase = l;
        else if (i == 1)
            model.lEnd = l;
        else
            model.bFlags[i - 2] = l != 0;
    }
    model.strSupplement.Empty();
    if (nLine < lines.size()) {
        model.strSupplement = lines[nLine];
        model.strSupplement.Replace(CString("\\r\\n"), CString("\r\n"));
    }
    model.bModified = false;
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CRecordingHostUi& ui = FuzzHostUi();
    const CString& strFile = CFuzzFile::Get().Write(data, size);
    const std::vector<CString> lines = SplitFileLines(data, size);

    CBaseYear fresh;
    CBaseYear set;
    set.SetTableName("t");
    set.SetBaseWesternYear(-7);
    set.SetEndWesternYear(8);
    set.SetKazoe(true);
    set.SetDisplayMinus(true);
    set.SetMinus1(true);
    set.SetEndYearPlus(true);
    set.SetEndYearKaiki(true);
    set.SetBeginYearQuest(true);
    set.SetEndYearQuest(true);
    set.SetSupplement("s");
    for (CBaseYear* pTable : {&fresh, &set}) {
        SModel model = ModelOf(*pTable);
        const unsigned nMessage = PlainRead(lines, model);
        ui.Clear();
        const bool bRead = pTable->ReadFile(strFile);
        FuzzCheck(bRead == (nMessage == 0));
        FuzzCheck(ModelOf(*pTable) == model);
        FuzzCheck(pTable->GetFileName() == strFile);
        FuzzCheck(ui.m_nDialogs == 0);
        if (bRead) {
            FuzzCheck(ui.m_messages.empty());
        } else {
            FuzzCheck(ui.m_messages.size() == 1);
            FuzzCheck(ui.m_messages[0] == FuzzExpectedMessage(nMessage, strFile));
        }
    }
    return 0;
}
