// Which links open at once, which after asking, and which never: a program or a launcher in a
// chronology from someone else must not run at a click.
#include "LinkRule.h"

#include <gtest/gtest.h>

#include "testing/TempDir.h"

TEST(LinkRule, WebOpensFilesAskAndProgramsNever)
{
    CTempDir dir;
    dir.Write("note.txt", "text");
    dir.Write("run.sh.txt", "text");
    dir.Write("tool", "#!/bin/sh\n");
    std::filesystem::permissions(dir.Path() / "tool", std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    dir.Write("only-others", "x");
    std::filesystem::permissions(dir.Path() / "only-others", std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::add);
    dir.Write("app.desktop", "[Desktop Entry]\n");
    dir.Write("APP.DESKTOP", "[Desktop Entry]\n");
    dir.Write("setup.exe", "MZ");
    std::filesystem::create_symlink(dir.Path() / "tool", dir.Path() / "link-to-tool");

    using EAction = CLinkRule::EAction;
    const struct {
        const char* pszScheme;
        const char* pszFile;
        EAction eAction;
    } aCases[] = {
        {"https", "", EAction::Open},          {"HTTP", "", EAction::Open},
        {"ftp", "", EAction::Open},            {"mailto", "", EAction::Open},
        {"file", "note.txt", EAction::AskFirst}, {"FILE", "note.txt", EAction::AskFirst},
        {"file", "run.sh.txt", EAction::AskFirst},
        {"file", "missing.txt", EAction::AskFirst},   // the desktop says it is not there
        {"file", "tool", EAction::Refuse},      {"file", "only-others", EAction::Refuse},
        {"file", "link-to-tool", EAction::Refuse},
        {"file", "app.desktop", EAction::Refuse}, {"file", "APP.DESKTOP", EAction::Refuse},
        {"file", "setup.exe", EAction::Refuse},
        {"javascript", "", EAction::Refuse},    {"smb", "", EAction::Refuse},
        {"", "", EAction::Refuse},
    };
    for (const auto& test : aCases) {
        const std::filesystem::path file = *test.pszFile ? dir.Path() / test.pszFile : std::filesystem::path();
        EXPECT_EQ(test.eAction, CLinkRule::Decide(test.pszScheme, file)) << test.pszScheme << ":" << test.pszFile;
    }
    // A file: link without a file is nothing to open.
    EXPECT_EQ(EAction::Refuse, CLinkRule::Decide("file", std::filesystem::path()));
}
