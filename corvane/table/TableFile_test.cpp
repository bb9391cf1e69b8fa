// The table open and save procedures, through a small table of lines, real files in a temporary
// folder and the recording host UI.
#include "table/TableFile.h"

#include "testing/FakeHostUi.h"
#include "testing/TempDir.h"
#include "testing/FaultInjectionEnv.h"

#include <framework/Cp932.h>
#include <framework/FileSystem.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

const STableFileKind& Kind()
{
    static const STableFileKind s_kind{"tst", CP932("試験ﾃﾞｰﾀ (*.tst)|*.tst||"), CP932("試験ﾃﾞｰﾀの書込み")};
    return s_kind;
}

// A table whose content is its lines; WriteFile and ReadFile follow the shared procedures. It is
// saved through m_pEnv.
class CLineTable : public CTableBase {
public:
    bool WriteFile(bool bDialog, CDocument* pDocument, EHeaderType) override
    {
        return WriteTableFile(*this, bDialog, pDocument, Kind(), [this](CStdioFile& file) {
            for (const CString& str : m_lines)
                file.WriteString(str + "\n");
        }, m_pEnv);
    }

    bool ReadFile(const char* pszFileName)
    {
        return ReadTableFile(*this, pszFileName, Kind(), true, [this](CStdioFile& file) -> unsigned {
            m_lines.clear();
            CString str;
            while (file.ReadString(str))
                m_lines.push_back(str);
            return 0;
        });
    }

    std::vector<CString> m_lines;
    Env* m_pEnv = Env::Default();
};

CString CurrentDir()
{
    CString str;
    GetCurrentDir(str);
    return str;
}

CString Message(unsigned nID, const CString& strFile)
{
    CString str;
    LoadLibraryString(nID, str);
    str.Replace(CString("%1"), strFile);
    return str;
}

TEST(TableFileTest, SaveDialogRequest)
{
    CTempDir dir;
    ASSERT_TRUE(SetCurrentDir(dir.Name()));
    const CString strTemplate = CurrentDir() + "/" + CP932("ﾗｲﾌﾞﾗﾘ");

    const struct {
        const char* pszFileName;
        const char* pszTableName;
        bool bDialog;
        const char* pszOffered;
    } cases[] = {
        {"", "", false, ""},                        // no file name: the dialog is shown anyway
        {"", "近代の元号", false, "近代の元号"},
        {"old.tst", "近代の元号", true, "old.tst"},
    };
    for (const auto& c : cases) {
        CFakeHostUi ui;
        ui.CancelNext();
        CLineTable table;
        table.SetFileName(LiteralToCp932(c.pszFileName));
        table.SetTableName(LiteralToCp932(c.pszTableName));
        EXPECT_FALSE(table.WriteFile(c.bDialog, nullptr, HEADER_GENGOU));
        ASSERT_EQ(1u, ui.m_requests.size());
        const SFileRequest& request = ui.m_requests[0];
        EXPECT_FALSE(request.bOpen);
        EXPECT_EQ(Kind().strTitle, request.strTitle);
        EXPECT_EQ(Kind().strFilter, request.strFilter);
        EXPECT_EQ(CString("tst"), request.strDefExt);
        EXPECT_EQ(LiteralToCp932(c.pszOffered), request.strFileName);
        EXPECT_EQ(0x8000Eu, request.dwFlags);
        EXPECT_EQ(strTemplate, request.strInitialDir);
        EXPECT_TRUE(ui.m_messages.empty());
    }
}

TEST(TableFileTest, CancelledSaveChangesNothing)
{
    CTempDir dir;
    dir.Write("doc/x.tdoc", "");
    ASSERT_TRUE(SetCurrentDir(dir.Name()));
    CFakeHostUi ui;
    ui.CancelNext();
    CLineTable table;
    table.SetFileName("old.tst");
    table.SetModified(true);
    table.m_lines = {"a"};
    CDocument doc;
    doc.SetPathName(dir.Name("doc/x.tdoc"));
    EXPECT_FALSE(table.WriteFile(true, &doc, HEADER_GENGOU));
    EXPECT_EQ(CString("old.tst"), table.GetFileName());
    EXPECT_TRUE(table.GetModified());
    EXPECT_EQ(dir.Name(), CurrentDir());   // not moved to the document's folder
    EXPECT_TRUE(ui.m_messages.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "old.tst"));
}

TEST(TableFileTest, SaveMovesToTheDocumentFolderAndKeepsARelativeName)
{
    CTempDir dir;
    dir.Write("doc/x.tdoc", "");
    CFakeHostUi ui;
    ui.ChooseNext(dir.Name("doc/ﾗｲﾌﾞﾗﾘ/表.tst"));
    std::filesystem::create_directories(dir.Path() / "doc" / "ﾗｲﾌﾞﾗﾘ");
    CLineTable table;
    table.m_lines = {CP932("一行目"), ""};
    table.SetModified(true);
    CDocument doc;
    doc.SetPathName(dir.Name("doc/x.tdoc"));

    EXPECT_TRUE(table.WriteFile(false, &doc, HEADER_GENGOU));
    EXPECT_EQ(dir.Name("doc"), CurrentDir());   // and it stays there
    EXPECT_EQ(CP932("ﾗｲﾌﾞﾗﾘ/表.tst"), table.GetFileName());
    EXPECT_FALSE(table.GetModified());
    EXPECT_EQ(CP932("一行目").Str() + "\r\n\r\n", dir.Read("doc/ﾗｲﾌﾞﾗﾘ/表.tst"));

    // Saved again without the dialog: the relative name is used in the same folder.
    table.m_lines = {"b"};
    table.SetModified(true);
    EXPECT_TRUE(table.WriteFile(false, &doc, HEADER_GENGOU));
    EXPECT_EQ(CP932("ﾗｲﾌﾞﾗﾘ/表.tst"), table.GetFileName());
    EXPECT_EQ("b\r\n", dir.Read("doc/ﾗｲﾌﾞﾗﾘ/表.tst"));
    EXPECT_EQ(1u, ui.m_requests.size());
    EXPECT_TRUE(ui.m_messages.empty());
}

TEST(TableFileTest, SaveWithoutDocumentStaysInTheCurrentDirectory)
{
    CTempDir dir;
    std::filesystem::create_directories(dir.Path() / "sub");
    ASSERT_TRUE(SetCurrentDir(dir.Name()));
    CFakeHostUi ui;
    ui.ChooseNext(dir.Name("sub/a.tst"));
    CLineTable table;
    EXPECT_TRUE(table.WriteFile(true, nullptr, HEADER_GENGOU));
    EXPECT_EQ(dir.Name(), CurrentDir());
    EXPECT_EQ(CString("sub/a.tst"), table.GetFileName());
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "sub" / "a.tst"));
}

// A save that failed kept the previous file whole, showed 61448 with the new relative name and
// left the modified flag set.
void ExpectFailedSaveKeptOldFile(bool bWritten, const CTempDir& dir, const CFakeHostUi& ui, const CLineTable& table)
{
    EXPECT_FALSE(bWritten);
    EXPECT_EQ("old\r\n", dir.Read("lib/a.tst"));
    EXPECT_TRUE(table.GetModified());
    EXPECT_EQ(CString("lib/a.tst"), table.GetFileName());
    ASSERT_EQ(1u, ui.m_messages.size());
    EXPECT_EQ(Message(IDS_FILE_WRITE_FAILED, "lib/a.tst"), ui.m_messages[0].strText);
    EXPECT_EQ(MB_OK, ui.m_messages[0].nType);
    // No temporary file is left behind.
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.Path() / "lib"),
                               std::filesystem::directory_iterator()));
}

TEST(TableFileTest, FailedSaveKeepsTheOldFile)
{
    for (void (CFaultInjectionEnv::*inject)() : {&CFaultInjectionEnv::FailOpen, &CFaultInjectionEnv::FailCommit}) {
        CTempDir dir;
        dir.Write("lib/a.tst", "old\r\n");
        ASSERT_TRUE(SetCurrentDir(dir.Name()));
        CFakeHostUi ui;
        CFaultInjectionEnv env;
        (env.*inject)();
        CLineTable table;
        table.m_pEnv = &env;
        table.SetFileName(dir.Name("lib/a.tst"));
        table.m_lines = {"new"};
        table.SetModified(true);
        ExpectFailedSaveKeptOldFile(table.WriteFile(false, nullptr, HEADER_GENGOU), dir, ui, table);
    }
}

TEST(TableFileTest, OpenDialogRequestAndCancel)
{
    CTempDir dir;
    ASSERT_TRUE(SetCurrentDir(dir.Name()));
    CFakeHostUi ui;
    ui.CancelNext();
    CLineTable table;
    table.SetTableName("t");
    table.SetModified(true);
    table.m_lines = {"kept"};
    EXPECT_FALSE(table.ReadFile(nullptr));
    ASSERT_EQ(1u, ui.m_requests.size());
    const SFileRequest& request = ui.m_requests[0];
    EXPECT_TRUE(request.bOpen);
    EXPECT_EQ(0x8100Cu, request.dwFlags);
    EXPECT_TRUE(request.strFileName.IsEmpty());
    EXPECT_EQ(CString("tst"), request.strDefExt);
    EXPECT_EQ(Kind().strFilter, request.strFilter);
    EXPECT_EQ(Kind().strTitle, request.strTitle);
    EXPECT_EQ(dir.Name() + "/" + CP932("ﾗｲﾌﾞﾗﾘ"), request.strInitialDir);
    EXPECT_TRUE(ui.m_messages.empty());
    EXPECT_TRUE(table.GetFileName().IsEmpty());
    EXPECT_TRUE(table.GetModified());
    EXPECT_EQ(1u, table.m_lines.size());

    // The chosen path becomes the file name.
    dir.Write("b.tst", "x\ny\r\nz");
    ui.ChooseNext(dir.Name("b.tst"));
    EXPECT_TRUE(table.ReadFile(nullptr));
    EXPECT_EQ(dir.Name("b.tst"), table.GetFileName());
    EXPECT_EQ((std::vector<CString>{"x", "y", "z"}), table.m_lines);
    EXPECT_FALSE(table.GetModified());

    // With a stored name no dialog is shown.
    EXPECT_TRUE(table.ReadFile(nullptr));
    EXPECT_EQ(2u, ui.m_requests.size());

    // An empty name given replaces the stored one, so the dialog asks again.
    ui.CancelNext();
    EXPECT_FALSE(table.ReadFile(""));
    EXPECT_EQ(3u, ui.m_requests.size());
    EXPECT_TRUE(table.GetFileName().IsEmpty());
}

TEST(TableFileTest, OpenMakesRelativeNamesAbsoluteAndReportsMissingFiles)
{
    CTempDir dir;
    dir.Write("lib/c.tst", "c\n");
    ASSERT_TRUE(SetCurrentDir(dir.Name()));
    CFakeHostUi ui;
    CLineTable table;
    EXPECT_TRUE(table.ReadFile("lib/c.tst"));
    EXPECT_EQ(dir.Name("lib/c.tst"), table.GetFileName());

    EXPECT_FALSE(table.ReadFile("missing.tst"));
    EXPECT_EQ(dir.Name("missing.tst"), table.GetFileName());
    ASSERT_EQ(1u, ui.m_messages.size());
    EXPECT_EQ(Message(IDS_FILE_READ_FAILED, dir.Name("missing.tst")), ui.m_messages[0].strText);
    EXPECT_EQ(CString("c"), table.m_lines.at(0));   // nothing read, nothing lost
    EXPECT_TRUE(ui.m_requests.empty());

    // A folder is not a table file.
    EXPECT_FALSE(table.ReadFile("lib"));
    EXPECT_EQ(2u, ui.m_messages.size());
}

TEST(TableFileTest, MessagesOfTheLibrary)
{
    EXPECT_EQ(IDS_FILE_BAD_FORMAT, ReadFailureMessage(CFileException(CFileException::endOfFile)));
    EXPECT_EQ(IDS_FILE_READ_FAILED, ReadFailureMessage(CFileException(CFileException::fileNotFound)));
    EXPECT_EQ(IDS_FILE_READ_FAILED, ReadFailureMessage(CFileException(CFileException::invalidFile)));

    CFakeHostUi ui;
    CLineTable table;
    table.SetFileName(CP932("元号.lgn"));
    ShowTableMessage(table, IDS_FILE_BAD_FORMAT);
    ShowTableMessage(table, IDS_FILE_WRITE_FAILED);
    ShowTableMessage(table, IDS_FILE_READ_FAILED);
    ASSERT_EQ(3u, ui.m_messages.size());
    EXPECT_EQ(CP932("ファイル 元号.lgn のフォーマットが正しくありません"), ui.m_messages[0].strText);
    EXPECT_EQ(CP932("ファイル 元号.lgn への書き込みに失敗しました"), ui.m_messages[1].strText);
    EXPECT_EQ(CP932("ファイル 元号.lgn の読込みに失敗しました"), ui.m_messages[2].strText);

    // Outside a ReadFile or WriteFile the library's strings are not the current ones.
    CString str;
    EXPECT_FALSE(AfxLoadString(IDS_FILE_READ_FAILED, str));
}

} // namespace
