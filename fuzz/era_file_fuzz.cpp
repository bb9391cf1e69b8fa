// The era and period file reader on whole files. Each input is written to a scratch file and read
// with every kind of header (era names, periods, and a type that accepts any header word), twice
// into the same table, the second time into records put out of order so that the reader's path
// for an unsorted table runs too. The result is compared with a plain reading of the same bytes:
// lines split by hand, records added by SetData one at a time, each with the days of its line.
#include <corvane/GengouEra.h>

#include <framework/Numbers.h>

#include "FuzzCheck.h"
#include "FuzzFile.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// What a read leaves in a table, kept by the plain reading.
struct SModel {
    CGengouEra records;   // the records, added one at a time by SetData
    CString strTableName;
    CString strExplanation;
    bool bModified = false;
};

// The plain reading: true when the whole file was read. Texts go in as SetData, SetTableName and
// SetExplanation take them, as C strings (up to a NUL byte).
bool PlainRead(const std::vector<CString>& lines, EHeaderType eType, SModel& model)
{
    CString strKind;
    int nVersion = 0;
    if (!SplitFileHeader(lines, strKind, nVersion))
        return false;
    if (eType == HEADER_GENGOU && strKind != CP932("[元号]"))
        return false;
    if (eType == HEADER_JIDAI && strKind != CP932("[時代]"))
        return false;
    if (lines.size() < 2)
        return false;
    const CString strName(lines[1].GetString());
    model.bModified |= strName != model.strTableName;
    model.strTableName = strName;
    std::size_t nLine = 2;
    if (nVersion >= 1) {
        if (lines.size() < 3)
            return false;
        CString strExplanation(lines[2].GetString());
        strExplanation.Replace(CString("\\r\\n"), CString("\r\n"));
        model.bModified |= strExplanation != model.strExplanation;
        model.strExplanation = strExplanation;
        nLine = 3;
    }
    for (; nLine < lines.size(); ++nLine) {
        const CString& strLine = lines[nLine];
        SGengouEraTable rec;
        const int nNameEnd = CTableBase::GetElementFromCSV(strLine, 0, rec.strGengou);
        if (nNameEnd < 0)
            return false;
        const int nComma1 = strLine.Find(',', nNameEnd + 1);
        const int nComma2 = nComma1 < 0 ? -1 : strLine.Find(',', nComma1 + 1);
        if (nComma2 < 0)
            return false;
        rec.strGengou = CString(rec.strGengou.GetString());
        rec.lBeginYear = Atoi32(strLine.Mid(nNameEnd + 1, nComma1 - nNameEnd - 1));
        rec.lEndYear = Atoi32(strLine.Mid(nComma1 + 1, nComma2 - nComma1 - 1));
        int nNext = CTableBase::GetElementFromCSV(strLine, nComma2 + 1, rec.strNote);
        rec.strNote = CString(rec.strNote.GetString());
        rec.strNote.Replace(CString("\\r\\n"), CString("\r\n"));
        // Six fields after the note: month, day and leap flag of the first and the last day.
        std::int32_t days[6] = {-1, -1, -1, -1, -1, -1};
        for (std::int32_t& nField : days) {
            CString strField;
            nNext = nNext < 0 ? -1 : CTableBase::GetElementFromCSV(strLine, nNext + 1, strField);
            if (nNext >= 0)
                nField = Atoi32(strField);
        }
        for (const int i : {0, 3}) {
            if (days[i] < 1 || days[i] > 12 || days[i + 1] < 0 || days[i + 1] > 31 || days[i + 2] < 0 || days[i + 2] > 1)
                days[i] = days[i + 1] = days[i + 2] = 0;
        }
        std::size_t nAt = 0;   // where SetData inserts
        const CGengouEraArray& arr = model.records.GetGengouEraTable();
        while (nAt < arr.size() && arr[nAt].lBeginYear <= rec.lBeginYear)
            ++nAt;
        const int nBefore = model.records.GetSize();
        model.records.SetData(rec.strGengou, rec.lBeginYear, rec.lEndYear, rec.strNote);
        model.bModified |= model.records.GetSize() != nBefore;
        if (model.records.GetSize() != nBefore) {
            SGengouEraTable& added = model.records.GetGengoEraTable()[nAt];
            added.nBeginMonth = days[0], added.nBeginDay = days[1], added.bBeginLeap = days[2] == 1;
            added.nEndMonth = days[3], added.nEndDay = days[4], added.bEndLeap = days[5] == 1;
        }
    }
    model.bModified = false;
    return true;
}

void CheckSame(const CGengouEra& table, const SModel& model)
{
    FuzzCheck(table.GetGengouEraTable() == model.records.GetGengouEraTable());
    FuzzCheck(table.GetTableName() == model.strTableName);
    FuzzCheck(table.GetExplanation() == model.strExplanation);
    FuzzCheck(table.GetModified() == model.bModified);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CRecordingHostUi& ui = FuzzHostUi();
    const CString& strFile = CFuzzFile::Get().Write(data, size);
    const std::vector<CString> lines = SplitFileLines(data, size);

    for (const EHeaderType eType : {HEADER_GENGOU, HEADER_JIDAI, static_cast<EHeaderType>(0)}) {
        // Messages on only for the last kind, where every failure must show exactly one, 61451
        // (a file exception of cause end of file cannot come from reading lines).
        const bool bMessage = eType == 0;
        CGengouEra table;
        SModel model;
        for (int nRound = 0; nRound < 2; ++nRound) {
            if (nRound == 1) {
                std::reverse(table.GetGengoEraTable().begin(), table.GetGengoEraTable().end());
                std::reverse(model.records.GetGengoEraTable().begin(), model.records.GetGengoEraTable().end());
            }
            ui.Clear();
            const bool bRead = table.ReadFile(strFile, eType, bMessage);
            FuzzCheck(bRead == PlainRead(lines, eType, model));
            CheckSame(table, model);
            FuzzCheck(table.GetFileName() == strFile);
            FuzzCheck(ui.m_nDialogs == 0);
            if (bMessage && !bRead) {
                FuzzCheck(ui.m_messages.size() == 1);
                FuzzCheck(ui.m_messages[0] == FuzzExpectedMessage(61451, strFile));
            } else {
                FuzzCheck(ui.m_messages.empty());
            }
        }
    }
    return 0;
}
