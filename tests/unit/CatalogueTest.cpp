// SPDX-License-Identifier: MIT
#include "engines/EngineCatalogue.h"
#include "TestFixtures.h"

#include <gtest/gtest.h>

namespace {

CSearchEngine MakeEngine(const std::string& strName, int nType, const std::string& strNext = "")
{
    CSearchEngine engine;
    engine.m_strName = strName;
    engine.m_strStartToken = "<a href=\"http";
    engine.m_strEndToken = "</a>";
    engine.m_strUrl = "http://example.org/search";
    engine.m_nSearchType = nType;
    engine.m_strPrefix = "?q=";
    engine.m_strSuffix = "&n=%d";
    engine.m_strNextPage = strNext;
    return engine;
}

} // namespace

TEST(Catalogue, SavesEveryRecordWithCrLfAndTheNextPageLineOnlyForPagingTypes)
{
    const std::vector<CSearchEngine> engines = {MakeEngine("Alpha", MultiplePages, "/next?%d"),
                                                MakeEngine("Beta", ResultCount, "dropped")};
    const std::string strExpected =
        "Alpha\r\n<a href=\"http\r\n</a>\r\nhttp://example.org/search\r\n0\r\n?q=\r\n&n=%d\r\n/next?%d\r\n"
        "Beta\r\n<a href=\"http\r\n</a>\r\nhttp://example.org/search\r\n1\r\n?q=\r\n&n=%d\r\n";
    EXPECT_EQ(FormatEngines(engines), strExpected);

    std::vector<CSearchEngine> loaded = ParseEngines(strExpected);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0], engines[0]);
    EXPECT_EQ(loaded[1].m_strNextPage, ""); // a type 1 record keeps no next-page command
}

TEST(Catalogue, NumberedPageTypesKeepTheirNextPageLine)
{
    const std::vector<CSearchEngine> engines = {MakeEngine("Four", PagesFromOne, "?q=%s&page=%d"),
                                                MakeEngine("Five", PagesFromZero, "?q=%s&p=%d"),
                                                MakeEngine("One", ResultCount)};
    int nDropped = -1;
    const std::vector<CSearchEngine> loaded = ParseEngines(FormatEngines(engines), &nDropped);
    EXPECT_EQ(nDropped, 0);
    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_EQ(loaded[0], engines[1]);
    EXPECT_EQ(loaded[1], engines[0]);
    EXPECT_EQ(loaded[2].m_strName, "One");
}

TEST(Catalogue, ReadsLfOnlyFilesAndTrimsTrailingBlanksOnly)
{
    const std::string strFile =
        "  Spaced Name  \n<a href=\"http \n</a>\nhttp://x/\n3\n?q=\n\nnext\n";
    const std::vector<CSearchEngine> engines = ParseEngines(strFile);
    ASSERT_EQ(engines.size(), 1u);
    EXPECT_EQ(engines[0].m_strName, "  Spaced Name");
    EXPECT_EQ(engines[0].m_strStartToken, "<a href=\"http");
    EXPECT_EQ(engines[0].m_nSearchType, SinglePage);
    EXPECT_EQ(engines[0].m_strSuffix, "");
    EXPECT_EQ(engines[0].m_strNextPage, "next");
}

TEST(Catalogue, LongValuesComeBackWholeAndDoNotShiftLaterRecords)
{
    CSearchEngine longOne = MakeEngine("Long", ResultCount);
    longOne.m_strUrl = "http://example.org/" + std::string(600, 'u');
    longOne.m_strPrefix = std::string(300, 'p');
    const std::vector<CSearchEngine> engines = {longOne, MakeEngine("Next", StartNumber)};
    const std::vector<CSearchEngine> loaded = ParseEngines(FormatEngines(engines));
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0], engines[0]);
    EXPECT_EQ(loaded[1], engines[1]);
}

TEST(Catalogue, DamagedRecordsAreSkippedAndNothingAfterThemIsLost)
{
    const std::string strFirst = "First\ns\ne\nhttp://x/\n1\np\nsuffix\n";
    const std::string strSecond = "Second\ns\ne\nhttp://y/\n3\np\n\nnext\n";
    struct CCase
    {
        const char* m_pszName;
        std::string m_strFile;
        std::vector<std::string> m_names;
        int m_nDropped;
    };
    const std::vector<CCase> cases = {
        {"CR line ends", "First\rs\re\rhttp://x/\r1\rp\rsuffix\rSecond\rs\re\rhttp://y/\r3\rp\r\rnext\r",
         {"First", "Second"}, 0},
        {"a stray blank line between records", strFirst + "\n\n" + strSecond, {"First", "Second"}, 0},
        // A line break pasted into a value costs that value's tail (reported) only.
        {"a line break inside a value", "First\ns\ne\nhttp://x/\n1\np\nsuf\nfix\n" + strSecond,
         {"First", "Second"}, 1},
        {"a type line without a number", "Broken\ns\ne\nhttp://x/\nabc\np\nsuffix\n" + strSecond,
         {"Second"}, 1},
        {"a record missing its start token", "Broken\ne\nhttp://x/\n1\np\n\n" + strFirst + strSecond,
         {"First", "Second"}, 1},
        {"garbage between records", strFirst + "garbage\nmore garbage\n" + strSecond, {"First", "Second"}, 1},
        // A record whose type line is a number is read whole, valid or not:
        // what follows it is never taken for a record of its own.
        {"an empty start token, as older editors wrote",
         "NoStart\n\ne\nhttp://a.example/s\n1\np\nsuffix\n411 Search\ns\ne\nhttp://411.example/\n1\np\n\n"
         "Zeta\ns\ne\nhttp://z/\n3\np\n\nnext\n",
         {"411 Search", "Zeta"}, 1},
        // A record without its URL line: its lines never make a record with
        // the next one's name for a type ("2GIS" is no type 2).
        {"a record missing its URL line before a name that starts with a digit",
         "Bad\nstart\nend\n1\n?q=\n\n2GIS\n<a href=\"\n</a>\nhttps://2gis.example/s\n1\n?q=\n\n" + strSecond,
         {"2GIS", "Second"}, 1},
        {"a type line beyond the paging types", "Broken\ns\ne\nhttp://x/\n9\np\nsuffix\n" + strSecond, {"Second"}, 1},
        {"an invalid record of a paging type keeps its next-page line",
         "NoEnd\ns\n\nhttp://x/\n0\np\n\n7 Seas\n" + strFirst, {"First"}, 1},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.m_pszName);
        int nDropped = -1;
        std::vector<std::string> names;
        for (const CSearchEngine& engine : ParseEngines(c.m_strFile, &nDropped))
            names.push_back(engine.m_strName);
        EXPECT_EQ(names, c.m_names);
        EXPECT_EQ(nDropped, c.m_nDropped);
    }
}

TEST(Catalogue, LineBreaksNeverReachTheFileAndTheOldFileIsKept)
{
    CSearchEngine pasted = MakeEngine("Pasted", ResultCount);
    pasted.m_strPrefix = "?q=\r\n";
    pasted.m_strStartToken = "<a\nhref=\"";
    const std::vector<CSearchEngine> engines = {pasted, MakeEngine("Unrelated", StartNumber)};
    const std::vector<CSearchEngine> loaded = ParseEngines(FormatEngines(engines));
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].m_strPrefix, "?q=");
    EXPECT_EQ(loaded[0].m_strStartToken, "<ahref=\"");
    EXPECT_EQ(loaded[1], engines[1]);

    qtest::CTempDir dir;
    const std::string strPath = dir.File("engines.dat");
    ASSERT_TRUE(SaveEngines(strPath, {MakeEngine("Old", ResultCount)}));
    ASSERT_TRUE(SaveEngines(strPath, {MakeEngine("New", ResultCount)}));
    std::vector<CSearchEngine> backup;
    ASSERT_TRUE(LoadEngines(strPath + ".bak", backup));
    ASSERT_EQ(backup.size(), 1u);
    EXPECT_EQ(backup[0].m_strName, "Old");
}

TEST(Catalogue, InvalidRecordsAreDroppedAndEmptyOptionalFieldsKept)
{
    const std::string strFile = "NoPrefix\ns\ne\nhttp://x/\n1\n\nsuffix\n"
                                "NoUrl\ns\ne\n\n1\np\n\n"
                                "\ns\ne\nhttp://x/\n1\np\n\n";
    const std::vector<CSearchEngine> engines = ParseEngines(strFile);
    ASSERT_EQ(engines.size(), 1u);
    EXPECT_EQ(engines[0].m_strName, "NoUrl");
    EXPECT_TRUE(engines[0].m_bValid);
}

TEST(Catalogue, AFileOfLineEndsIsReadQuicklyAndFindsNothing)
{
    // Only one record's lines are held at a time, whatever the file's shape.
    for (const char* pszEnd : {"\n", "\r\n", "\r"}) {
        std::string bytes;
        for (int i = 0; i < 1 << 20; ++i)
            bytes += pszEnd;
        int nDropped = -1;
        EXPECT_TRUE(ParseEngines(bytes + FormatEngines({MakeEngine("Last", ResultCount)}) + bytes, &nDropped).size() == 1);
        EXPECT_EQ(nDropped, 0);
    }
}

TEST(Catalogue, NameOnTheLastLineWithoutLineFeedIsDropped)
{
    const std::string strRecord = "Kept\ns\ne\nhttp://x/\n1\np\n\n";
    EXPECT_EQ(ParseEngines(strRecord + "Dangling").size(), 1u);
    EXPECT_EQ(ParseEngines(strRecord).size(), 1u);
    EXPECT_TRUE(ParseEngines("").empty());
}

TEST(Catalogue, LoadedListIsInNameOrderAndKeepsSameNamedRecords)
{
    const std::string strFile = FormatEngines({MakeEngine("zeta", 1), MakeEngine("Alpha", 1),
                                               MakeEngine("beta", 1), MakeEngine("Alpha", 2)});
    const std::vector<CSearchEngine> engines = ParseEngines(strFile);
    ASSERT_EQ(engines.size(), 4u);
    EXPECT_EQ(engines[0].m_strName, "Alpha");
    EXPECT_EQ(engines[0].m_nSearchType, 1);
    EXPECT_EQ(engines[1].m_strName, "Alpha");
    EXPECT_EQ(engines[1].m_nSearchType, 2);
    EXPECT_EQ(engines[2].m_strName, "beta");
    EXPECT_EQ(engines[3].m_strName, "zeta");
    EXPECT_EQ(FindInsertPosition(engines, "Gamma"), 3u);
    EXPECT_EQ(FindInsertPosition(engines, ""), 0u);
}

TEST(Catalogue, FileRoundTripAndDeletingTheLastEngineLasts)
{
    qtest::CTempDir dir;
    const std::string strPath = dir.File("engines.dat");
    std::vector<CSearchEngine> engines;
    EXPECT_FALSE(LoadEngines(strPath, engines)); // missing file: empty catalogue
    EXPECT_TRUE(engines.empty());

    ASSERT_TRUE(SaveEngines(strPath, {MakeEngine("One", MultiplePages, "/n%d")}));
    ASSERT_TRUE(LoadEngines(strPath, engines));
    ASSERT_EQ(engines.size(), 1u);
    EXPECT_EQ(engines[0].m_strNextPage, "/n%d");

    EXPECT_TRUE(SaveEngines(strPath, {}));
    EXPECT_EQ(qtest::ReadFile(strPath), "");
    EXPECT_TRUE(LoadEngines(strPath, engines));
    EXPECT_TRUE(engines.empty());
    EXPECT_FALSE(SaveEngines(dir.File("engines.dat/cannot"), {MakeEngine("One", 1)}));
}

TEST(Catalogue, ValidityNeedsNameTokensAndPrefix)
{
    CSearchEngine engine = MakeEngine("x", 1);
    EXPECT_TRUE(engine.IsValid());
    engine.m_strUrl.clear();
    engine.m_strSuffix.clear();
    EXPECT_TRUE(engine.IsValid());
    for (std::string CSearchEngine::*pField :
         {&CSearchEngine::m_strName, &CSearchEngine::m_strStartToken, &CSearchEngine::m_strEndToken,
          &CSearchEngine::m_strPrefix}) {
        CSearchEngine broken = MakeEngine("x", 1);
        broken.*pField = "";
        EXPECT_FALSE(broken.IsValid());
        EXPECT_FALSE(broken.m_bValid);
    }
}

TEST(Catalogue, ProgramDirectoryEndsWithSeparator)
{
    const std::string strDir = GetProgramDirectory();
    ASSERT_FALSE(strDir.empty());
    EXPECT_EQ(strDir.back(), '/');
}
