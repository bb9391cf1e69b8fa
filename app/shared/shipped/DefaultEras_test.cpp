// The default era table: the remembered file when it reads whole, else the shipped one as the
// caller's rule says; a file that fails halfway leaves nothing behind. The candidates lie in a
// folder whose name code page 932 cannot hold.
#include <shared/shipped/DefaultEras.h>

#include <framework/Cp932.h>

#include <gtest/gtest.h>

#include "testing/TempDir.h"

namespace {

// An era file of one era named strEra (1980-1990); bBroken adds an empty record line after it.
std::string EraFile(const std::string& strEra, bool bBroken = false)
{
    CString str;
    Utf8ToCp932("[元号], 1\r\n表\r\n\r\n\"" + strEra + "\", 1980, 1990, \"\"\r\n" + (bBroken ? "\r\n" : ""), str);
    return str.Str();
}

std::string FirstEra(const CGengouEra& eras)
{
    return eras.GetSize() == 0 ? std::string() : Cp932ToUtf8Lossy(eras.GetAt(0).strGengou.View());
}

class DefaultErasTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir.Write("résumé/José/年表〜/mine.lgn", EraFile("私"));
        m_dir.Write("résumé/José/年表〜/broken.lgn", EraFile("壊", true));
        m_dir.Write("résumé/José/年表〜/shipped.lgn", EraFile("同梱"));
        ASSERT_TRUE(m_dir.Name("résumé").IsEmpty());   // no code page 932 form
    }
    std::filesystem::path File(const char* pszName) const
    {
        return m_dir.Path("résumé/José/年表〜/") / std::filesystem::path(std::u8string(
                                                        reinterpret_cast<const char8_t*>(pszName)));
    }

    CTempDir m_dir;
};

TEST_F(DefaultErasTest, TheRememberedFileWhenItReadsWholeElseTheShippedOneAsTheRuleSays)
{
    const std::filesystem::path none;
    const struct {
        const char* pszRemembered;   // nullptr: none remembered
        const char* pszShipped;      // nullptr: none shipped
        EShippedEras eShipped;
        const char* pszRead;         // the file read; nullptr: none
        const char* pszEra;
    } kCases[] = {
        {"mine.lgn", "shipped.lgn", EShippedEras::WhenRememberedFails, "mine.lgn", "私"},
        {"gone.lgn", "shipped.lgn", EShippedEras::WhenRememberedFails, "shipped.lgn", "同梱"},
        {"broken.lgn", "shipped.lgn", EShippedEras::WhenRememberedFails, "shipped.lgn", "同梱"},
        {nullptr, "shipped.lgn", EShippedEras::WhenRememberedFails, "shipped.lgn", "同梱"},
        {"gone.lgn", "broken.lgn", EShippedEras::WhenRememberedFails, nullptr, ""},
        {nullptr, nullptr, EShippedEras::WhenRememberedFails, nullptr, ""},
        {"mine.lgn", "shipped.lgn", EShippedEras::BeforeAnyChoice, "mine.lgn", "私"},
        {nullptr, "shipped.lgn", EShippedEras::BeforeAnyChoice, "shipped.lgn", "同梱"},
        {"gone.lgn", "shipped.lgn", EShippedEras::BeforeAnyChoice, nullptr, ""},
        {"broken.lgn", "shipped.lgn", EShippedEras::BeforeAnyChoice, nullptr, ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.pszRemembered ? c.pszRemembered : "-") + " " + (c.pszShipped ? c.pszShipped : "-") +
                     (c.eShipped == EShippedEras::BeforeAnyChoice ? " before any choice" : ""));
        const SEraFileCandidates candidates{c.pszRemembered ? File(c.pszRemembered) : none,
                                            c.pszShipped ? File(c.pszShipped) : none};
        const std::filesystem::path expected = c.pszRead ? File(c.pszRead) : none;
        EXPECT_EQ(expected, DefaultEraFile(candidates, c.eShipped));

        CGengouEra eras;
        eras.SetData(CString("before"), 1, 2, CString());
        std::filesystem::path file = "unchanged";
        EXPECT_EQ(c.pszRead != nullptr, LoadDefaultEras(candidates, eras, &file, c.eShipped));
        EXPECT_EQ(c.pszRead ? expected : std::filesystem::path("unchanged"), file);
        // Nothing of a file that failed halfway: the table read, or the one before.
        EXPECT_EQ(1, eras.GetSize());
        EXPECT_EQ(c.pszRead ? c.pszEra : "before", FirstEra(eras));
    }
}

TEST_F(DefaultErasTest, AWholeFileOrNothing)
{
    CGengouEra eras;
    SFileStatus status;
    ASSERT_TRUE(LoadWholeEraFile(File("mine.lgn"), eras, &status));
    EXPECT_TRUE(status.Ok());
    EXPECT_FALSE(LoadWholeEraFile(File("broken.lgn"), eras, &status));
    EXPECT_FALSE(status.Ok());
    EXPECT_EQ(5, status.nLine);   // the empty record line
    EXPECT_FALSE(LoadWholeEraFile(File("gone.lgn"), eras, &status));
    EXPECT_EQ(IDS_FILE_READ_FAILED, status.nMessage);
    EXPECT_EQ("私", FirstEra(eras));
    EXPECT_EQ(1, eras.GetSize());
}

// A file the user names: any name; the message names it as given.
TEST_F(DefaultErasTest, ANamedFileUnderAnyName)
{
    CGengouEra eras;
    std::string strMessage;
    ASSERT_TRUE(LoadNamedEraFile(m_dir.Native("résumé/José/年表〜/mine.lgn"), eras, strMessage));
    EXPECT_EQ("私", FirstEra(eras));
    const std::string strBroken = m_dir.Native("résumé/José/年表〜/broken.lgn");
    EXPECT_FALSE(LoadNamedEraFile(strBroken, eras, strMessage));
    EXPECT_EQ("ファイル " + strBroken + " の読込みに失敗しました (5行目)", strMessage);
    EXPECT_EQ("私", FirstEra(eras));
}

// This program's shipped candidate is the era file of the source tree it was built from.
TEST(DefaultEras, TheProgramsShippedCandidate)
{
#ifdef _WIN32
    GTEST_SKIP() << "the source tree's data files are found through TAMBER_SOURCE_DIR on Linux only";
#endif
    const std::filesystem::path shipped = DefaultEraFileCandidates(RunningProgramDir()).shipped;
    EXPECT_TRUE(shipped.filename() == std::filesystem::path(u8"元号.lgn")) << shipped;
    CGengouEra eras;
    EXPECT_TRUE(LoadWholeEraFile(shipped, eras));
    EXPECT_GT(eras.GetSize(), 240);
    EXPECT_FALSE(RunningProgramDir().empty());
}

} // namespace
