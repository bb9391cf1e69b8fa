// The decisions about a chronology's files: the default tables, the sample opened read-only,
// which way a save goes, what a save as proposes and what it would replace, the names shown.
#include "NenpyoSession.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <framework/Cp932.h>

#include "EventTestData_test.h"
#include "testing/Cp932Literal.h"
#include "testing/TempDir.h"

namespace {

// Writes the bytes as they are into a file of the test's folder and gives its native path.
std::filesystem::path Put(const CTempDir& dir, const std::string& strUtf8Name, const std::string& bytes)
{
    dir.Write(strUtf8Name, bytes);
    return dir.Path(strUtf8Name);
}

CNenpyoSession::SPlaces Places(const CTempDir& dir, const std::filesystem::path& remembered = {})
{
    return {dir.Path("data/ﾗｲﾌﾞﾗﾘ"), dir.Path("data/年表/日本史.nenpyo"), remembered};
}

const char* const kEra = "[元号], 1\r\nera\r\n\r\n明治,1868,1912,\r\n";
const char* const kPeriod = "[時代], 1\r\nperiod\r\n\r\n近代,1868,1945,\r\n";

} // namespace

TEST(NenpyoSession, DefaultTablesTakeTheRememberedEraFileOnlyWhenItIsThere)
{
    CTempDir dir;
    const CNenpyoSession::SPlaces places = Places(dir);
    EXPECT_EQ(dir.Path("data/ﾗｲﾌﾞﾗﾘ/元号.lgn"), CNenpyoSession(places).DefaultTables().eraFile);
    EXPECT_EQ(dir.Path("data/ﾗｲﾌﾞﾗﾘ/時代.ler"), CNenpyoSession(places).DefaultTables().periodFile);
    // Remembered but gone, or a folder: the shipped one.
    EXPECT_EQ(dir.Path("data/ﾗｲﾌﾞﾗﾘ/元号.lgn"),
              CNenpyoSession(Places(dir, dir.Path("gone.lgn"))).DefaultTables().eraFile);
    std::filesystem::create_directories(dir.Path() / "folder.lgn");
    EXPECT_EQ(dir.Path("data/ﾗｲﾌﾞﾗﾘ/元号.lgn"),
              CNenpyoSession(Places(dir, dir.Path("folder.lgn"))).DefaultTables().eraFile);
    // Remembered but damaged: the shipped one, as every program takes it.
    Put(dir, "data/ﾗｲﾌﾞﾗﾘ/元号.lgn", Cp932(kEra));
    EXPECT_EQ(dir.Path("data/ﾗｲﾌﾞﾗﾘ/元号.lgn"),
              CNenpyoSession(Places(dir, Put(dir, "damaged.lgn", Cp932("[元号], 1\r\nera\r\n\r\n明治,18")))).DefaultTables().eraFile);
    const std::filesystem::path strMine = Put(dir, "mine.lgn", Cp932(kEra));
    EXPECT_EQ(strMine, CNenpyoSession(Places(dir, strMine)).DefaultTables().eraFile);
    EXPECT_EQ(dir.Path("data/ﾗｲﾌﾞﾗﾘ/時代.ler"), CNenpyoSession(Places(dir, strMine)).DefaultTables().periodFile);
}

TEST(NenpyoSession, TheSampleIsKnownUnderAnySpellingAndSavesUnderANewName)
{
    CTempDir dir;
    dir.Write("data/年表/日本史.nenpyo", "[年表], 1\r\n出来事=日本史.lev\r\n");
    dir.Write("data/年表/copy.nenpyo", "[年表], 1\r\n出来事=日本史.lev\r\n");
    dir.Write("data/ﾗｲﾌﾞﾗﾘ/元号.lgn", kEra);
    const CNenpyoSession session(Places(dir));
    EXPECT_TRUE(session.IsSample(dir.Path("data/年表/日本史.nenpyo")));
    EXPECT_TRUE(session.IsSample(dir.Path("data/ﾗｲﾌﾞﾗﾘ/../年表/日本史.nenpyo")));
    EXPECT_FALSE(session.IsSample(dir.Path("data/年表/copy.nenpyo")));
    EXPECT_FALSE(session.IsSample(dir.Path("data/年表/gone.nenpyo")));

    dir.Write("data/年表/日本史.lev", Cp932("[出来事], 5\r\nname\r\n\r\n0\r\n"));
    CNenpyoDoc doc;
    std::filesystem::path failed;
    ASSERT_TRUE(doc.Open(dir.Path("data/年表/日本史.nenpyo"), session.DefaultTables(), failed).Ok());
    EXPECT_EQ(CNenpyoSession::ESave::Document, session.SaveRoute(doc, false));
    EXPECT_EQ(CNenpyoSession::ESave::AskName, session.SaveRoute(doc, true));
    EXPECT_EQ(std::string("日本史.nenpyo (読み取り専用)"), CNenpyoSession::TitleName(doc, true));
}

TEST(NenpyoSession, SaveRouteAndNames)
{
    CTempDir dir;
    dir.Write("data/ﾗｲﾌﾞﾗﾘ/元号.lgn", kEra);
    dir.Write("data/ﾗｲﾌﾞﾗﾘ/時代.ler", kPeriod);
    const CNenpyoSession session(Places(dir));

    CNenpyoDoc fresh;
    fresh.New(session.DefaultTables());
    EXPECT_EQ(CNenpyoSession::ESave::AskName, session.SaveRoute(fresh, false));
    EXPECT_EQ(std::filesystem::path("年表"), CNenpyoSession::ProposedName(fresh));
    EXPECT_EQ(std::string("年表"), CNenpyoSession::DocumentName(fresh));
    EXPECT_EQ(std::string("無題"), CNenpyoSession::TitleName(fresh, false));

    // A bare event file saves in place, until something only a document keeps comes in.
    CYearEvent events;
    events.SetData(Event(1868, "明治改元"), true, -1, PRIORITY_ALL);
    std::filesystem::create_directories(dir.Path() / "work");
    ASSERT_TRUE(events.Save(dir.Path("work/近代.lev")).Ok());
    CNenpyoDoc bare;
    std::filesystem::path failed;
    ASSERT_TRUE(bare.Open(dir.Path("work/近代.lev"), session.DefaultTables(), failed).Ok());
    EXPECT_EQ(CNenpyoSession::ESave::TablesInPlace, session.SaveRoute(bare, false));
    EXPECT_EQ(CNenpyoSession::ESave::AskName, session.SaveRoute(bare, true));
    EXPECT_EQ(std::filesystem::path("近代"), CNenpyoSession::ProposedName(bare));
    EXPECT_EQ(std::string("近代"), CNenpyoSession::DocumentName(bare));
    EXPECT_EQ(std::string("近代.lev"), CNenpyoSession::TitleName(bare, false));
    bare.SetHasBaseYear(true);
    EXPECT_EQ(CNenpyoSession::ESave::AskName, session.SaveRoute(bare, false));

    // Saved as a document: its own path from then on.
    ASSERT_TRUE(bare.Save(dir.Path("work/近代.nenpyo"), failed).Ok());
    EXPECT_EQ(CNenpyoSession::ESave::Document, session.SaveRoute(bare, false));
    EXPECT_EQ(std::filesystem::path("近代.nenpyo"), CNenpyoSession::ProposedName(bare));
    EXPECT_EQ(std::string("近代.nenpyo"), CNenpyoSession::TitleName(bare, false));
}

TEST(NenpyoSession, SaveAsNamesTheTablesItWouldReplace)
{
    CTempDir dir;
    CNenpyoDoc doc;
    doc.New({});
    doc.Events().SetData(Event(1868, "明治改元"), true, -1, PRIORITY_ALL);
    std::filesystem::path failed;
    std::filesystem::create_directories(dir.Path() / "mine");
    ASSERT_TRUE(doc.Save(dir.Path("mine/a.nenpyo"), failed).Ok());
    // Its own path: its own tables, nothing to ask.
    EXPECT_TRUE(CNenpyoSession::TablesReplaced(doc, dir.Path("mine/a.nenpyo")).empty());
    EXPECT_TRUE(CNenpyoSession::TablesReplaced(doc, dir.Path("mine/../mine/a.nenpyo")).empty());
    // Another name whose tables are there already; the base-year file counts only with a table.
    dir.Write("other/b.lev", "x");
    dir.Write("other/b.lby", "x");
    EXPECT_EQ(std::vector<std::string>{"b.lev"}, CNenpyoSession::TablesReplaced(doc, dir.Path("other/b.nenpyo")));
    doc.SetHasBaseYear(true);
    EXPECT_EQ((std::vector<std::string>{"b.lev", "b.lby"}),
              CNenpyoSession::TablesReplaced(doc, dir.Path("other/b.nenpyo")));
    EXPECT_TRUE(CNenpyoSession::TablesReplaced(doc, dir.Path("other/c.nenpyo")).empty());
}

TEST(NenpyoSession, ARecoveredChronologyProposesARecoveredNameAndAsksEvenForItsOwnPath)
{
    CTempDir dir;
    dir.Write("年表/日本史.lev", Cp932("[出来事], 5\r\nname\r\n\r\n0\r\n1868, -1, -1, \"明治改元\", \"\", 0, 0\r\nbroken line\r\n"));
    dir.Write("年表/日本史.nenpyo", "[年表], 1\r\n出来事=日本史.lev\r\n");
    CNenpyoDoc doc;
    std::filesystem::path failed;
    ASSERT_FALSE(doc.Open(dir.Path("年表/日本史.nenpyo"), {}, failed).Ok());
    ASSERT_TRUE(doc.IsRecovered());
    const CNenpyoSession session(Places(dir));
    EXPECT_EQ(CNenpyoSession::ESave::AskName, session.SaveRoute(doc, false));
    EXPECT_EQ(std::filesystem::path("日本史(復元).nenpyo"), CNenpyoSession::ProposedName(doc));
    EXPECT_EQ(std::string("日本史.nenpyo (復元)"), CNenpyoSession::TitleName(doc, false));
    EXPECT_EQ(std::vector<std::string>{"日本史.lev"},
              CNenpyoSession::TablesReplaced(doc, dir.Path("年表/日本史.nenpyo")));
}
