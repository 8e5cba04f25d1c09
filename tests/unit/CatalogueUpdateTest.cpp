// SPDX-License-Identifier: MIT
// Mended definitions reach users who already ran an older version: an upgrade
// from the catalogue the first release shipped, with one engine changed by
// hand and one deleted.

#include "TestFixtures.h"
#include "engines/CatalogueUpdate.h"
#include "engines/EngineCatalogue.h"

#include <algorithm>
#include <filesystem>
#include "search/QueryComposer.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

const CSearchEngine* Find(const std::vector<CSearchEngine>& engines, const std::string& strName)
{
    const auto it = std::find_if(engines.begin(), engines.end(),
                                 [&strName](const CSearchEngine& e) { return e.m_strName == strName; });
    return it == engines.end() ? nullptr : &*it;
}

// A share folder with today's shipped catalogue and the definitions shipped before.
struct CUpgradeFixture : ::testing::Test
{
    qtest::CTempDir dir;
    std::string strShare = dir.File("share/questrel/");
    std::string strUser = dir.File("data/questrel/engines.dat");
    std::vector<CSearchEngine> oldShipped, shipped;

    CUpgradeFixture()
    {
        std::filesystem::create_directories(strShare);
        EXPECT_TRUE(LoadEngines(QUESTREL_SOURCE_DIR "/tests/data/engines-2.0-first.dat", oldShipped));
        EXPECT_TRUE(LoadEngines(QUESTREL_SOURCE_DIR "/res/engines.dat", shipped));
        std::filesystem::copy_file(QUESTREL_SOURCE_DIR "/res/engines.dat", strShare + "engines.dat");
        std::filesystem::copy_file(QUESTREL_SOURCE_DIR "/res/engines-shipped-before.dat",
                                   strShare + kShippedHistoryFileName);
    }
};

} // namespace

TEST_F(CUpgradeFixture, AnUnchangedCopyTakesTodaysDefinitionsAndTheUsersOwnStay)
{
    // The user's copy from the first release: Bing edited by hand, Yahoo
    // deleted, an engine of the user's own added.
    ASSERT_FALSE(oldShipped.empty());
    std::vector<CSearchEngine> user = oldShipped;
    CSearchEngine* pBing = const_cast<CSearchEngine*>(Find(user, "Bing"));
    ASSERT_NE(pBing, nullptr);
    pBing->m_strEndToken = "</li>";
    user.erase(std::remove_if(user.begin(), user.end(), [](const CSearchEngine& e) { return e.m_strName == "Yahoo"; }),
               user.end());
    CSearchEngine mine = oldShipped[0];
    mine.m_strName = "My Engine";
    user.insert(user.begin() + static_cast<long>(FindInsertPosition(user, mine.m_strName)), mine);
    ASSERT_TRUE(SaveEngines(strUser, user));
    const std::string strBefore = qtest::ReadFile(strUser);

    CCatalogueUpdate update;
    ASSERT_TRUE(PrepareUserCatalogue(strUser, strShare, &update));
    std::vector<CSearchEngine> after;
    ASSERT_TRUE(LoadEngines(strUser, after));
    for (const CSearchEngine& definition : shipped) {
        SCOPED_TRACE(definition.m_strName);
        const CSearchEngine* pEngine = Find(after, definition.m_strName);
        if (definition.m_strName == "Yahoo") {
            EXPECT_EQ(pEngine, nullptr); // deleted by the user: not brought back
        } else if (definition.m_strName == "Bing") {
            ASSERT_NE(pEngine, nullptr);
            EXPECT_EQ(pEngine->m_strEndToken, "</li>"); // the user's
        } else {
            ASSERT_NE(pEngine, nullptr);
            EXPECT_TRUE(SameDefinition(*pEngine, definition));
        }
    }
    ASSERT_NE(Find(after, "My Engine"), nullptr);
    EXPECT_TRUE(SameDefinition(*Find(after, "My Engine"), mine));
    EXPECT_GT(update.m_nUpdated, 0);
    EXPECT_EQ(update.m_newerShipped, std::vector<std::string>{"Bing"});
    // The file as it was stays beside it; the record of what was merged too.
    EXPECT_EQ(qtest::ReadFile(strUser + ".bak"), strBefore);
    CShippedRecord record;
    ASSERT_TRUE(ReadShippedRecord(strUser, record));
    EXPECT_EQ(record.m_names.size(), shipped.size());

    // The next start changes nothing.
    CCatalogueUpdate again;
    ASSERT_TRUE(PrepareUserCatalogue(strUser, strShare, &again));
    EXPECT_EQ(again.m_nUpdated, 0);
    EXPECT_FALSE(again.m_bChanged);
}

TEST_F(CUpgradeFixture, ANewShippedEngineIsAddedAndADeletedOneStaysAway)
{
    // A copy made since the record exists: it knows today's names.
    ASSERT_TRUE(PrepareUserCatalogue(strUser, strShare, nullptr)); // the first start copies
    std::vector<CSearchEngine> user;
    ASSERT_TRUE(LoadEngines(strUser, user));
    EXPECT_EQ(user.size(), shipped.size());
    user.erase(user.begin()); // deleted by the user
    ASSERT_TRUE(SaveEngines(strUser, user));
    // The next version ships an engine more.
    CSearchEngine added = shipped[0];
    added.m_strName = "Newcomer";
    std::vector<CSearchEngine> next = shipped;
    next.push_back(added);
    ASSERT_TRUE(SaveEngines(strShare + "engines.dat", next));

    CCatalogueUpdate update;
    ASSERT_TRUE(PrepareUserCatalogue(strUser, strShare, &update));
    std::vector<CSearchEngine> after;
    ASSERT_TRUE(LoadEngines(strUser, after));
    EXPECT_NE(Find(after, "Newcomer"), nullptr);
    EXPECT_EQ(Find(after, shipped[0].m_strName), nullptr);
    EXPECT_EQ(update.m_nUpdated, 1);

    // A catalogue that cannot be read is never written over.
    std::filesystem::remove(strUser);
    std::filesystem::create_directories(strUser);
    EXPECT_FALSE(PrepareUserCatalogue(strUser, strShare, nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(strUser));
}

// Ecosia and Wiby now page by number: a copy that holds the definitions the
// last release shipped for them, unchanged, takes the new ones.
TEST_F(CUpgradeFixture, EnginesThatNowPageByNumberAreUpdated)
{
    CSearchEngine ecosia = *Find(shipped, "Ecosia");
    CSearchEngine wiby = *Find(shipped, "Wiby");
    EXPECT_EQ(ecosia.m_nSearchType, PagesFromZero);
    EXPECT_EQ(wiby.m_nSearchType, PagesFromOne);
    for (CSearchEngine* pEngine : {&ecosia, &wiby}) {
        pEngine->m_nSearchType = ResultCount;
        pEngine->m_strNextPage.clear();
    }
    ASSERT_TRUE(SaveEngines(strUser, {ecosia, wiby}));
    CCatalogueUpdate update;
    ASSERT_TRUE(PrepareUserCatalogue(strUser, strShare, &update));
    std::vector<CSearchEngine> after;
    ASSERT_TRUE(LoadEngines(strUser, after));
    ASSERT_NE(Find(after, "Ecosia"), nullptr);
    EXPECT_EQ(*Find(after, "Ecosia"), *Find(shipped, "Ecosia"));
    EXPECT_EQ(*Find(after, "Wiby"), *Find(shipped, "Wiby"));
    EXPECT_EQ(BuildNextPageAddress(*Find(after, "Ecosia"), "red+apple", 10, "www.ecosia.org"),
              "https://www.ecosia.org/search?q=red+apple&p=1");
    EXPECT_EQ(BuildNextPageAddress(*Find(after, "Wiby"), "red+apple", 12, "wiby.me"), "https://wiby.me/?q=red+apple&p=2");
}

// Eight copies of the program started at once after an upgrade: each takes
// the catalogue's lock, so the newly shipped engine is in it after all of
// them, and in the record; never taken for one the user deleted.
TEST_F(CUpgradeFixture, CopiesStartedTogetherAllKeepANewlyShippedEngine)
{
    // The first release's copy: its definitions are all updated, and the
    // engines shipped since are new to it.
    for (int nRound = 0; nRound < 5; ++nRound) {
        const std::vector<CSearchEngine>& user = oldShipped;
        ASSERT_TRUE(SaveEngines(strUser, user));
        CShippedRecord before;
        before.m_bPresent = true;
        for (const CSearchEngine& engine : user)
            before.m_names.push_back(engine.m_strName);
        ASSERT_TRUE(WriteShippedRecord(strUser, before));
        std::vector<std::thread> starts;
        for (int i = 0; i < 8; ++i)
            starts.emplace_back([this] { PrepareUserCatalogue(strUser, strShare, nullptr); });
        for (std::thread& start : starts)
            start.join();
        std::vector<CSearchEngine> after;
        ASSERT_TRUE(LoadEngines(strUser, after));
        for (const CSearchEngine& engine : shipped)
            EXPECT_NE(Find(after, engine.m_strName), nullptr) << engine.m_strName << ", round " << nRound;
    }
}

// A record of shipped engines that is empty or damaged says nothing: an
// engine the user deleted stays deleted (the definitions shipped before tell).
TEST_F(CUpgradeFixture, AnEmptyRecordNeverBringsBackADeletedEngine)
{
    std::vector<CSearchEngine> user = oldShipped;
    user.erase(std::remove_if(user.begin(), user.end(), [](const CSearchEngine& e) { return e.m_strName == "Yahoo"; }),
               user.end());
    for (const char* pszRecord : {"", "# nothing\n", "garbage without lines"}) {
        SCOPED_TRACE(pszRecord);
        ASSERT_TRUE(SaveEngines(strUser, user));
        qtest::WriteFile(strUser + kShippedRecordSuffix, pszRecord);
        ASSERT_TRUE(PrepareUserCatalogue(strUser, strShare, nullptr));
        std::vector<CSearchEngine> after;
        ASSERT_TRUE(LoadEngines(strUser, after));
        EXPECT_EQ(Find(after, "Yahoo"), nullptr);
    }
}

TEST(Catalogue, RecordsOfTheFirstReleaseReadAndSaveExactlyAsBefore)
{
    // The catalogue the first release shipped, written under the old rules:
    // every record reads, and writing it again gives its bytes back.
    const std::string strOld = qtest::ReadFile(QUESTREL_SOURCE_DIR "/tests/data/engines-2.0-first.dat");
    int nDropped = -1;
    const std::vector<CSearchEngine> engines = ParseEngines(strOld, &nDropped);
    EXPECT_EQ(nDropped, 0);
    ASSERT_GE(engines.size(), 9u);
    for (const CSearchEngine& engine : engines) {
        SCOPED_TRACE(engine.m_strName);
        EXPECT_TRUE(engine.m_bValid);
        const std::string strRecord = FormatEngines({engine});
        EXPECT_NE(strOld.find(strRecord), std::string::npos);
    }
}
