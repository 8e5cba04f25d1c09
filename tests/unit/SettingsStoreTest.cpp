// SPDX-License-Identifier: MIT
#include "gui/ProfileSettings.h"
#include "gui/SettingsStore.h"
#include "TestFixtures.h"

#include <cstdlib>
#include <filesystem>
#include "platform/FileUtil.h"

#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/fileconf.h>
#include <wx/init.h>

namespace {

struct CSettingsFixture : ::testing::Test
{
    wxInitializer wxInit;
    qtest::CTempDir dir;
    std::string strPath = dir.File("questrel/questrel.ini");
};

ino_t Inode(const std::string& strPath)
{
    struct stat st {};
    ::stat(strPath.c_str(), &st);
    return st.st_ino;
}

} // namespace

TEST(SettingsPath, FollowsXdgConfigHome)
{
    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg-config-test", 1);
    EXPECT_EQ(CSettingsStore::GetDefaultPath(), "/tmp/xdg-config-test/questrel/questrel.ini");
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(CSettingsFixture, MissingFileGivesEveryDefault)
{
    const CSettingsStore store(strPath);
    EXPECT_EQ(store.ReadInt(SettingsKey::kMaxHits, 20), 20);
    EXPECT_EQ(store.ReadInt(SettingsKey::kShowHints, SettingsDefault::kShowHints), 1);
    EXPECT_EQ(store.ReadText(SettingsKey::kCriteria), "");
    EXPECT_FALSE(std::filesystem::exists(strPath)); // reading writes nothing
}

TEST_F(CSettingsFixture, ValuesAsTheFileHoldsThem)
{
    std::filesystem::create_directories(dir.File("questrel"));
    qtest::WriteFile(strPath, "[Recent File List]\nFile1=/home/u/a.qrl\n"
                              "[Settings]\nMax Hits=35\nSearch Option=-1\nAll Hits=12abc\n"
                              "Show Hints=yes\nCriteria=red apple\nSample Engine=1\n");
    CSettingsStore store(strPath);
    EXPECT_EQ(store.ReadInt("Max Hits", 20), 35);
    EXPECT_EQ(store.ReadInt("Search Option", 0), -1);
    EXPECT_EQ(store.ReadInt("All Hits", 0), 12);  // the leading number
    EXPECT_EQ(store.ReadInt("Show Hints", 1), 0); // no number: 0
    EXPECT_EQ(store.ReadText("Criteria"), "red apple");
    EXPECT_EQ(store.ReadInt("Sample Engine", 0), 1);

    // A write keeps what the program does not know.
    ASSERT_TRUE(store.WriteInt("Verify Links", 1));
    CSettingsStore again(strPath);
    wxString strRecent;
    EXPECT_TRUE(again.GetConfig().Read("/Recent File List/File1", &strRecent));
    EXPECT_EQ(strRecent, "/home/u/a.qrl");
    EXPECT_EQ(again.ReadInt("Max Hits", 20), 35);
    EXPECT_EQ(again.ReadInt("Verify Links", 0), 1);
}

TEST_F(CSettingsFixture, WritesReachTheFileAtOnceAndReplaceItWhole)
{
    CSettingsStore store(strPath);
    ASSERT_TRUE(store.WriteInt(SettingsKey::kSearchOption, -1));
    const ino_t nFirst = Inode(strPath);
    ASSERT_TRUE(store.WriteText(SettingsKey::kCriteria, "  caf\xc3\xa9 \"x\" \\ ; y  "));
    EXPECT_NE(Inode(strPath), nFirst); // a new file renamed over the old one

    const CSettingsStore reader(strPath);
    EXPECT_EQ(reader.ReadInt(SettingsKey::kSearchOption, 0), -1);
    EXPECT_EQ(reader.ReadText(SettingsKey::kCriteria), "  caf\xc3\xa9 \"x\" \\ ; y  ");
    const std::string strFile = qtest::ReadFile(strPath);
    EXPECT_NE(strFile.find("[Settings]"), std::string::npos);
    // The profile and the writers' lock file, no temporary file.
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.File("questrel")))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"questrel.ini", "questrel.ini.lock"}));
}

// A copy that holds the profile's lock (hung): writes fail instead of waiting
// on (the window says so in its status bar), the values stay in the session,
// and writes work again once the lock is free.
TEST_F(CSettingsFixture, AWriteNeverWaitsLongForALockHeldElsewhere)
{
    CSettingsStore store(strPath);
    ASSERT_TRUE(store.WriteInt("Max Hits", 10));
    {
        const CFileLock hung(strPath + ".lock");
        ASSERT_TRUE(hung.IsHeld());
        EXPECT_FALSE(store.WriteInt("Max Hits", 30));
        EXPECT_FALSE(store.WriteInt("Verify Links", 1)); // taken at once: the lock is still busy
        EXPECT_EQ(store.ReadInt("Max Hits", 0), 30);
        EXPECT_EQ(CSettingsStore(strPath).ReadInt("Max Hits", 0), 10);
    }
    ASSERT_TRUE(store.WriteInt("Show Hints", 0));
    EXPECT_EQ(CSettingsStore(strPath).ReadInt("Show Hints", 1), 0);
}

TEST_F(CSettingsFixture, EngineNamesOfAnyShapeAreKeys)
{
    CSettingsStore store(strPath);
    const std::vector<std::string> names = {"A/B Search", "100% Engine", " Lead", "x=y", "[Group]",
                                            "Caf\xc3\xa9", "Latin \xe9"};
    for (size_t i = 0; i < names.size(); ++i)
        ASSERT_TRUE(store.WriteInt(names[i], static_cast<int>(i) + 1));
    const CSettingsStore reader(strPath);
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(reader.ReadInt(names[i], 0), static_cast<int>(i) + 1) << names[i];
    // An engine named like a fixed key shares that key, as it always has.
    ASSERT_TRUE(store.WriteInt("Max Hits", 1));
    EXPECT_EQ(CSettingsStore(strPath).ReadInt(SettingsKey::kMaxHits, 20), 1);
}

TEST_F(CSettingsFixture, UnwritableProfileIsReportedAsFalse)
{
    qtest::WriteFile(dir.File("file"), "x");
    CSettingsStore store(dir.File("file/questrel.ini"));
    EXPECT_FALSE(store.WriteInt("Max Hits", 5));
}

TEST_F(CSettingsFixture, TwoCopiesOnOneProfileKeepEachOthersSettings)
{
    std::filesystem::create_directories(dir.File("questrel"));
    qtest::WriteFile(strPath, "[Settings]\nMax Hits=35\nProxy=old\n");
    CSettingsStore first(strPath);
    CSettingsStore second(strPath);

    ASSERT_TRUE(first.WriteInt(SettingsKey::kVerifyLinks, 1));
    ASSERT_TRUE(second.WriteTexts({{SettingsKey::kProxy, "proxy.lan"}, {SettingsKey::kPort, "3128"}}));
    ASSERT_TRUE(first.Update([](wxFileConfig& config) { config.Write("/Recent File List/File1", "/a.qrl"); }));
    ASSERT_TRUE(second.Update([](wxFileConfig& config) { config.Write("/Recent File List/File2", "/b.qrl"); }));

    const CSettingsStore reader(strPath);
    EXPECT_EQ(reader.ReadInt(SettingsKey::kVerifyLinks, 0), 1);
    EXPECT_EQ(reader.ReadText(SettingsKey::kProxy), "proxy.lan");
    EXPECT_EQ(reader.ReadText(SettingsKey::kPort), "3128");
    EXPECT_EQ(reader.ReadInt(SettingsKey::kMaxHits, 20), 35);
    wxString strRecent;
    EXPECT_TRUE(reader.GetConfig().Read("/Recent File List/File1", &strRecent));
    EXPECT_EQ(strRecent, "/a.qrl");

    // Each copy reads what it wrote itself; what the other wrote after the
    // start is seen at the next start.
    EXPECT_EQ(first.ReadText(SettingsKey::kProxy), "old");
    EXPECT_EQ(second.ReadText(SettingsKey::kProxy), "proxy.lan");
}

TEST_F(CSettingsFixture, ALinkIsFollowedAndAProfileThatMayNotBeWrittenIsKept)
{
    std::filesystem::create_directories(dir.File("questrel"));
    std::filesystem::create_directories(dir.File("dotfiles"));
    qtest::WriteFile(dir.File("dotfiles/questrel.ini"), "[Settings]\nMax Hits=35\n");
    std::filesystem::create_symlink("../dotfiles/questrel.ini", strPath);
    CSettingsStore store(strPath);
    EXPECT_EQ(store.ReadInt(SettingsKey::kMaxHits, 20), 35);
    ASSERT_TRUE(store.WriteInt(SettingsKey::kAllHits, 1));
    EXPECT_TRUE(std::filesystem::is_symlink(strPath));
    EXPECT_EQ(CSettingsStore(dir.File("dotfiles/questrel.ini")).ReadInt(SettingsKey::kAllHits, 0), 1);

    // Read-only: refused, the file as it was.
    ::chmod(dir.File("dotfiles/questrel.ini").c_str(), 0444);
    const std::string strBefore = qtest::ReadFile(strPath);
    EXPECT_FALSE(store.WriteInt(SettingsKey::kMaxHits, 5));
    EXPECT_EQ(qtest::ReadFile(strPath), strBefore);

    // A profile that is there but cannot be read (a folder here) is not replaced.
    const std::string strFolder = dir.File("folder.ini");
    std::filesystem::create_directories(strFolder + "/keep");
    CSettingsStore onFolder(strFolder);
    EXPECT_FALSE(onFolder.WriteInt(SettingsKey::kMaxHits, 5));
    EXPECT_TRUE(std::filesystem::is_directory(strFolder + "/keep"));
}

TEST_F(CSettingsFixture, CopiesWritingAtTheSameMomentLoseNothing)
{
    // Four copies of the program write twenty settings each, all at once.
    std::filesystem::create_directories(dir.File("questrel"));
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> children;
    for (int c = 0; c < 4; ++c) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(start[1]);
            CSettingsStore store(strPath);
            char go = 0;
            [[maybe_unused]] const ssize_t n = ::read(start[0], &go, 1); // returns when the parent lets go
            bool bAll = true;
            for (int i = 0; i < 20; ++i)
                bAll = store.WriteInt("Copy " + std::to_string(c) + " key " + std::to_string(i), i) && bAll;
            ::_exit(bAll ? 0 : 1);
        }
        children.push_back(pid);
    }
    ::close(start[0]);
    ::close(start[1]); // every copy starts now
    for (const pid_t pid : children) {
        int nStatus = -1;
        ::waitpid(pid, &nStatus, 0);
        EXPECT_TRUE(WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0) << "a write said false";
    }
    const CSettingsStore reader(strPath);
    int nLost = 0;
    for (int c = 0; c < 4; ++c)
        for (int i = 0; i < 20; ++i)
            nLost += reader.ReadInt("Copy " + std::to_string(c) + " key " + std::to_string(i), -1) != i;
    EXPECT_EQ(nLost, 0);
    // No temporary file is left behind.
    for (const auto& entry : std::filesystem::directory_iterator(dir.File("questrel")))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
}

TEST_F(CSettingsFixture, WhatIsWrittenCanBeReadBack)
{
    // A query of 5 MB saved at exit: the value is kept to its limit, and the
    // profile stays one the program reads.
    CSettingsStore store(strPath);
    const std::string strHuge(5u << 20, 'q');
    ASSERT_TRUE(store.WriteText(SettingsKey::kCriteria, strHuge));
    ASSERT_TRUE(store.WriteInt(SettingsKey::kMaxHits, 35));
    const CSettingsStore reader(strPath);
    EXPECT_FALSE(reader.IsUnreadable());
    EXPECT_EQ(reader.ReadText(SettingsKey::kCriteria), strHuge.substr(0, kMaxProfileValueBytes));
    EXPECT_EQ(reader.ReadInt(SettingsKey::kMaxHits, 20), 35);

    // A write that would make the file larger than the reader takes is refused,
    // and the file stays as it was.
    std::vector<std::pair<std::string, std::string>> values;
    for (size_t i = 0; i <= kMaxProfileBytes / kMaxProfileValueBytes; ++i)
        values.emplace_back("Long " + std::to_string(i), strHuge);
    const std::string strBefore = qtest::ReadFile(strPath);
    EXPECT_FALSE(store.WriteTexts(values));
    EXPECT_EQ(qtest::ReadFile(strPath), strBefore);
    EXPECT_FALSE(CSettingsStore(strPath).IsUnreadable());

    // A profile that cannot be read is told as such.
    const std::string strFolder = dir.File("folder.ini");
    std::filesystem::create_directories(strFolder);
    EXPECT_TRUE(CSettingsStore(strFolder).IsUnreadable());
    EXPECT_FALSE(CSettingsStore(dir.File("missing.ini")).IsUnreadable());
}

// The profile's mapping of the search settings: every field goes out and comes
// back, groups write only their own keys, and what the file says is made sound.
TEST_F(CSettingsFixture, SearchSettingsRoundTripThroughTheProfileByGroup)
{
    CSearchSettings settings;
    settings.m_strQuery = "red apple";
    settings.m_nSearchOption = 2;
    settings.m_nHitLimit = 35;
    settings.m_bAllHits = true;
    settings.m_bRemoveDups = false;
    settings.m_bVerifyLinks = true;
    settings.m_bShowResultsPage = true;
    settings.m_bOneAtATime = true;
    settings.m_bOrderByRank = true;
    settings.m_nConnectMethod = kConnectProxy;
    settings.m_strProxy = "proxy.example";
    settings.m_strPort = "3128";
    settings.m_strUserAgent = "Agent/1";
    settings.m_nTimeoutSeconds = 45;
    {
        CSettingsStore store(strPath);
        // The defaults of a profile that has none of the keys, the User-Agent shown as sent.
        CSearchSettings defaults;
        defaults.m_strUserAgent = kDefaultUserAgent;
        EXPECT_EQ(ReadProfileSettings(store), defaults);
        ASSERT_TRUE(store.WriteTexts(GetProfileValues(settings, ProfileGroup::Options)));
    }
    {
        // One group written: the others read as their defaults.
        CSettingsStore store(strPath);
        CSearchSettings read = ReadProfileSettings(store);
        EXPECT_FALSE(read.m_bRemoveDups);
        EXPECT_TRUE(read.m_bVerifyLinks && read.m_bShowResultsPage && read.m_bOneAtATime && read.m_bOrderByRank);
        EXPECT_EQ(read.m_strQuery, "");
        EXPECT_EQ(read.m_nConnectMethod, kConnectPreconfigured);
        for (const ProfileGroup group : {ProfileGroup::Form, ProfileGroup::Connection})
            ASSERT_TRUE(store.WriteTexts(GetProfileValues(settings, group)));
    }
    CSettingsStore store(strPath);
    EXPECT_EQ(ReadProfileSettings(store), settings);
    EXPECT_EQ(store.ReadText(SettingsKey::kShowHtml), "1"); // the keys the first release wrote
    EXPECT_EQ(store.ReadText(SettingsKey::kCriteria), "red apple");

    // A group read leaves the other fields alone.
    CSearchSettings form;
    form.m_bRemoveDups = true;
    ReadProfileGroup(store, ProfileGroup::Form, form);
    EXPECT_EQ(form.m_strQuery, "red apple");
    EXPECT_EQ(form.m_nHitLimit, 35);
    EXPECT_TRUE(form.m_bRemoveDups);

    std::string strValue;
    EXPECT_TRUE(GetProfileValue(settings, SettingsKey::kOneAtATime, strValue));
    EXPECT_EQ(strValue, "1");
    EXPECT_FALSE(GetProfileValue(settings, SettingsKey::kShowHints, strValue)); // the window's, not the search's

    // Time-outs out of bounds and a blank agent, as another program may leave them.
    ASSERT_TRUE(store.WriteTexts({{SettingsKey::kTimeout, "0"}, {SettingsKey::kUserAgent, "  "}}));
    EXPECT_EQ(ReadProfileSettings(store).m_nTimeoutSeconds, kDefaultTimeoutSeconds);
    EXPECT_EQ(ReadProfileSettings(store).m_strUserAgent, kDefaultUserAgent);
    ASSERT_TRUE(store.WriteText(SettingsKey::kTimeout, "100000"));
    EXPECT_EQ(ReadProfileSettings(store).m_nTimeoutSeconds, kMaxTimeoutSeconds);
}
