#include <corvane/corvane.h>

#include "testing/TempDir.h"

#include <framework/Cp932.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>

namespace {

// Each table writes the word ReadTableHeader knows it by, with the version it writes.
TEST(TableKindTest, EveryTableIsKnownByTheHeaderItWrites)
{
    CTempDir dir;
    CGengouEra eras;
    CYearEvent events;
    CBaseYear base;
    ASSERT_TRUE(eras.Save(dir.Name("a.lgn"), HEADER_GENGOU).Ok());
    ASSERT_TRUE(eras.Save(dir.Name("a.ler"), HEADER_JIDAI).Ok());
    ASSERT_TRUE(events.Save(dir.Name("a.lev")).Ok());
    ASSERT_TRUE(base.Save(dir.Name("a.lby")).Ok());
    const std::pair<const char*, ETableKind> files[] = {
        {"a.lgn", ETableKind::Era}, {"a.ler", ETableKind::Period}, {"a.lev", ETableKind::Event}, {"a.lby", ETableKind::BaseYear}};
    for (const auto& [pszName, eKind] : files) {
        STableHeader header;
        ASSERT_TRUE(ReadTableHeader(dir.Name(pszName), header).Ok()) << pszName;
        EXPECT_EQ(header.eKind, std::optional(eKind)) << pszName;
        EXPECT_EQ(header.strWord, TableKindWord(eKind)) << pszName;
    }
}

TEST(TableKindTest, ReadsTheFirstLineOnly)
{
    CTempDir dir;
    struct SCase {
        const char* pszBytes;
        std::optional<ETableKind> eKind;
        int nVersion;
        const char* pszWord;
    };
    const SCase cases[] = {
        {"[元号], 3\r\nrest", ETableKind::Era, 3, "[元号]"},
        {"  [時代] ,1\n", ETableKind::Period, 1, "[時代]"},
        {"[出来事]", ETableKind::Event, 0, "[出来事]"},            // no version, no line end
        {"[基点年], 5\r\n[元号], 1\r\n", ETableKind::BaseYear, 5, "[基点年]"},
        {"[元号]x, 1\r\n", std::nullopt, 1, "[元号]x"},
        {"\r\n[元号], 1\r\n", std::nullopt, 0, ""},               // the word must be on line 1
        {"", std::nullopt, 0, ""},
    };
    for (const SCase& c : cases) {
        STableHeader header;
        ASSERT_TRUE(ReadTableHeader(dir.Write("t", LiteralToCp932(c.pszBytes).Str()), header).Ok()) << c.pszBytes;
        EXPECT_EQ(header.eKind, c.eKind) << c.pszBytes;
        EXPECT_EQ(header.nVersion, c.nVersion) << c.pszBytes;
        EXPECT_EQ(header.strWord, LiteralToCp932(c.pszWord)) << c.pszBytes;
    }
}

TEST(TableKindTest, AFileThatCannotBeReadLeavesTheHeaderAlone)
{
    CTempDir dir;
    STableHeader header;
    header.nVersion = 7;
    const SFileStatus status = ReadTableHeader(dir.Name("missing.lev"), header);
    EXPECT_EQ(status.nMessage, IDS_FILE_READ_FAILED);
    EXPECT_EQ(status.nOsError, ENOENT);
    EXPECT_EQ(header.nVersion, 7);
    EXPECT_FALSE(header.eKind);
}

} // namespace
