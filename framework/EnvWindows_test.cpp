// What differs on Windows: the system's code page 932, UTF-16 file names, ReplaceFileW.
#include <framework/Cp932.h>
#include <framework/Env.h>
#include <framework/FileSystem.h>
#include <framework/StdioFile.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string FromHex(const std::string& str)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < str.size(); i += 2)
        bytes += static_cast<char>(std::stoi(str.substr(i, 2), nullptr, 16));
    return bytes;
}

// Every double-byte code, converted by iconv's CP932 on Linux (the table cp932-table writes, named
// by TAMBER_CP932_TABLE) and by the system here: both ways must agree.
TEST(EnvWindowsTest, Cp932AgreesWithIconvOnEveryDoubleByteCode)
{
    const char* pszTable = std::getenv("TAMBER_CP932_TABLE");
    if (!pszTable || !*pszTable)
        GTEST_SKIP() << "TAMBER_CP932_TABLE names no table";
    std::ifstream in(pszTable);
    ASSERT_TRUE(in) << pszTable;
    std::string strLine;
    int nCodes = 0;
    int nValid = 0;
    while (std::getline(in, strLine)) {
        std::istringstream fields(strLine);
        std::string strCode, strUtf8, strBack;
        fields >> strCode >> strUtf8 >> strBack;
        const std::string code = FromHex(strCode);
        std::string utf8;
        const bool bOk = Env::Cp932ToUtf8(code, utf8);
        ++nCodes;
        if (strUtf8 == "-") {
            EXPECT_FALSE(bOk) << strCode << " is not defined, yet converts";
            continue;
        }
        ++nValid;
        EXPECT_TRUE(bOk) << strCode;
        EXPECT_EQ(FromHex(strUtf8), utf8) << strCode;
        std::string back;
        EXPECT_TRUE(Env::Utf8ToCp932(FromHex(strUtf8), back)) << strCode;
        EXPECT_EQ(FromHex(strBack), back) << strCode << " back from " << strUtf8;
    }
    EXPECT_EQ(188 * 60, nCodes);
    EXPECT_GT(nValid, 7000);
}

TEST(EnvWindowsTest, RefusesWhatHasNoExactForm)
{
    std::string out = "unchanged";
    EXPECT_FALSE(Env::Utf8ToCp932("\xE3\x80\x9C", out));   // WAVE DASH: only a best fit in code page 932
    EXPECT_FALSE(Env::Utf8ToCp932("\xC3\xA9", out));       // é: best fit would be 'e'
    EXPECT_FALSE(Env::Cp932ToUtf8("\x85\x40", out));       // an unassigned code
    EXPECT_EQ("unchanged", out);
}

class EnvWindowsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("tamber-test-" + std::to_string(::GetCurrentProcessId()));
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(m_dir, ec))
            ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(m_dir, ec);
    }
    // The code page 932 name of a file in the test folder (name in UTF-8).
    CString Name(const std::string& strUtf8) const
    {
        const std::u8string str = (m_dir / fs::path(std::u8string(strUtf8.begin(), strUtf8.end()))).u8string();
        CString strName;
        EXPECT_TRUE(FromNativePath(std::string(str.begin(), str.end()), strName));
        return strName;
    }
    fs::path Path(const std::string& strUtf8) const { return m_dir / fs::path(std::u8string(strUtf8.begin(), strUtf8.end())); }
    std::string Read(const std::string& strUtf8) const
    {
        std::ifstream in(Path(strUtf8), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void Write(const std::string& strUtf8, const std::string& bytes) const
    {
        std::ofstream(Path(strUtf8), std::ios::binary) << bytes;
    }
    std::size_t Files() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
    }

    fs::path m_dir;
};

TEST_F(EnvWindowsFileTest, JapaneseNamesOpenAndSave)
{
    for (const char* pszName : {"元号.lgn", "ﾗｲﾌﾞﾗﾘ表.lev"}) {   // 表: second byte is '\'
        {
            CStdioFile file(Name(pszName), CStdioFile::modeCreate | CStdioFile::modeWrite);
            file.WriteString("one\ntwo");
            file.Close();
        }
        EXPECT_EQ("one\r\ntwo", Read(pszName)) << pszName;
        CStdioFile file(Name(pszName), CStdioFile::modeRead);
        CString str;
        ASSERT_TRUE(file.ReadString(str));
        EXPECT_EQ(CString("one"), str);
    }
    EXPECT_EQ(2u, Files());
}

TEST_F(EnvWindowsFileTest, FailedReplaceKeepsThePreviousFile)
{
    Write("t.txt", "keep");
    CStdioFile file(Name("t.txt"), CStdioFile::modeCreate | CStdioFile::modeWrite);
    file.WriteString("new");
    // Another program holds the file open without sharing: it cannot be replaced.
    const HANDLE h = ::CreateFileW(Path("t.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_THROW(file.Close(), CFileException);
    ::CloseHandle(h);
    EXPECT_EQ("keep", Read("t.txt"));
    // None of our temporary files is left (Wine's ReplaceFileW leaves one of its own, rf*.tmp).
    for (const auto& entry : fs::directory_iterator(m_dir))
        EXPECT_NE(0, entry.path().filename().wstring().rfind(L"tmb", 0)) << entry.path().filename();
}

TEST_F(EnvWindowsFileTest, ReadOnlyFileIsNotReplaced)
{
    Write("ro.txt", "keep");
    ASSERT_TRUE(::SetFileAttributesW(Path("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    CStdioFile file;
    CFileException e;
    EXPECT_FALSE(file.Open(Name("ro.txt"), CStdioFile::modeCreate | CStdioFile::modeWrite, &e));
    EXPECT_EQ(CFileException::accessDenied, e.m_cause);
    EXPECT_EQ("keep", Read("ro.txt"));
    EXPECT_EQ(1u, Files());
}

TEST_F(EnvWindowsFileTest, ReplaceKeepsAttributesAndCurrentDirectoryRoundTrips)
{
    Write("h.txt", "old");
    ASSERT_TRUE(::SetFileAttributesW(Path("h.txt").c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
    CStdioFile file(Name("h.txt"), CStdioFile::modeCreate | CStdioFile::modeWrite);
    file.WriteString("new");
    file.Close();
    EXPECT_EQ("new", Read("h.txt"));
    EXPECT_TRUE(::GetFileAttributesW(Path("h.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);

    fs::create_directory(Path("ﾗｲﾌﾞﾗﾘ"));
    CString strOld;
    ASSERT_TRUE(GetCurrentDir(strOld));
    ASSERT_TRUE(SetCurrentDir(Name("ﾗｲﾌﾞﾗﾘ")));
    CString strNow;
    EXPECT_TRUE(GetCurrentDir(strNow));
    EXPECT_EQ(Name("ﾗｲﾌﾞﾗﾘ"), strNow);
    EXPECT_TRUE(SetCurrentDir(strOld));
}

TEST(EnvWindowsTest, AbsoluteNamesInTheWindowsStyle)
{
    EXPECT_EQ('\\', kNativePathSeparator);
    for (const char* psz : {"C:\\x", "c:/x", "C:x", "\\x", "/x", "\\\\server\\share\\x"})
        EXPECT_TRUE(IsNativeAbsolutePath(psz)) << psz;
    for (const char* psz : {"x", "ﾗｲﾌﾞﾗﾘ\\x", ".\\x", "..\\x", ""})
        EXPECT_FALSE(IsNativeAbsolutePath(psz)) << psz;
    EXPECT_FALSE(Env::ProgramPath().empty());
    EXPECT_GE(Env::LocalYear(), 2024);
}

} // namespace
