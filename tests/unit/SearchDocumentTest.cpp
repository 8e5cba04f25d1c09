// SPDX-License-Identifier: MIT
#include "document/SearchDocument.h"
#include "TestFixtures.h"

#include <filesystem>
#include "platform/TextUtil.h"

#include <gtest/gtest.h>

namespace {

std::string Le(int32_t n)
{
    std::string s;
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((static_cast<uint32_t>(n) >> (8 * i)) & 0xFF);
    return s;
}

std::string Str(const std::string& s)
{
    return Le(static_cast<int32_t>(s.size())) + s;
}

CSearchDocumentData Sample()
{
    CSearchDocumentData data;
    data.m_nMaxHits = 2048;
    data.m_nSearchOption = -1;
    data.m_strCriteria = "red apple";
    data.m_engines = {"Alpha", "Beta"};
    data.m_hits = {{std::string(300, 'd'), "http://a.example/" + std::string(400, 'u'), "Alpha"},
                   {"", "", ""}};
    return data;
}

} // namespace

TEST(SearchDocument, EmptySearchIsTwentyBytes)
{
    const std::string bytes = EncodeSearchDocument(CSearchDocumentData{});
    EXPECT_EQ(bytes, std::string("\x14\0\0\0", 4) + std::string(16, '\0'));
}

TEST(SearchDocument, ByteLayoutAndRoundTripKeepLongHitsWhole)
{
    const CSearchDocumentData data = Sample();
    const std::string bytes = EncodeSearchDocument(data);
    std::string expected = Le(2048) + Le(-1) + Str("red apple") + Le(2) + Str("Alpha") + Str("Beta") + Le(2);
    for (const CSearchHit& hit : data.m_hits)
        expected += Str(hit.m_strDescription) + Str(hit.m_strUrl) + Str(hit.m_strEngine);
    EXPECT_EQ(bytes, expected);

    CSearchDocumentData read;
    ASSERT_TRUE(DecodeSearchDocument(bytes, read));
    EXPECT_EQ(read, data);
}

TEST(SearchDocument, StringsEndAtTheirFirstNul)
{
    const std::string bytes = Le(5) + Le(1) + Str(std::string("ab\0cd", 5)) + Le(0) + Le(0);
    CSearchDocumentData read;
    ASSERT_TRUE(DecodeSearchDocument(bytes, read));
    EXPECT_EQ(read.m_strCriteria, "ab");
}

TEST(SearchDocument, DamagedFilesAreRefusedWholeAndChangeNothing)
{
    const std::string good = EncodeSearchDocument(Sample());
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty file", ""},
        {"cut in the first integer", good.substr(0, 3)},
        {"cut in the query", good.substr(0, 12)},
        {"cut in the last hit", good.substr(0, good.size() - 1)},
        {"query length past the end", Le(20) + Le(0) + Le(1000) + "abc"},
        {"negative query length", Le(20) + Le(0) + Le(-1) + Le(0) + Le(0)},
        {"engine count past the end", Le(20) + Le(0) + Str("") + Le(100000) + Le(0)},
        {"negative engine count", Le(20) + Le(0) + Str("") + Le(-5) + Le(0)},
        {"hit count above the limit", Le(20) + Le(0) + Str("") + Le(0) + Le(0x7FFFFFFF)},
        {"hit count past the end", Le(20) + Le(0) + Str("") + Le(0) + Le(3) + Str("a") + Str("b") + Str("c")},
    };
    for (const auto& [pszName, bytes] : cases) {
        SCOPED_TRACE(pszName);
        CSearchDocumentData data = Sample();
        EXPECT_FALSE(DecodeSearchDocument(bytes, data));
        EXPECT_EQ(data, Sample());
    }
}

TEST(SearchDocument, FilesAreReplacedWholeOrNotAtAll)
{
    qtest::CTempDir dir;
    const std::string strPath = dir.File("search.qrl");
    ASSERT_TRUE(SaveSearchDocument(strPath, Sample()));
    CSearchDocumentData read;
    ASSERT_TRUE(LoadSearchDocument(strPath, read));
    EXPECT_EQ(read, Sample());

    // A document the reader would refuse is not written, and the old file stays.
    CSearchDocumentData tooBig;
    tooBig.m_strCriteria.assign(kMaxDocumentValue + 1, 'x');
    EXPECT_FALSE(SaveSearchDocument(strPath, tooBig));
    ASSERT_TRUE(LoadSearchDocument(strPath, read));
    EXPECT_EQ(read, Sample());
    std::string strMessage;
    EXPECT_FALSE(SaveSearchDocument(dir.File("missing/dir/x.qrl/"), Sample(), &strMessage));
    EXPECT_EQ(strMessage, kMsgFailedToSaveDocument);
    EXPECT_FALSE(LoadSearchDocument(dir.File("none.qrl"), read));
}

TEST(SearchDocument, WhatIsSavedOpensAgain)
{
    // Every value within its limit, the whole past the reader's 64 MiB: the
    // save is refused with its reason, instead of saving a file that will not open.
    qtest::CTempDir dir;
    const std::string strPath = dir.File("big.qrl");
    CSearchDocumentData big = Sample();
    for (int i = 0; i < 1200; ++i) // 72 MB
        big.m_hits.push_back({std::string(60000, 'd'), "http://a.example/" + std::to_string(i), "E"});
    std::string strMessage;
    EXPECT_FALSE(SaveSearchDocument(strPath, big, &strMessage));
    EXPECT_EQ(strMessage, kMsgDocumentTooLarge);
    EXPECT_FALSE(std::filesystem::exists(strPath));

    // Within the limit: saved, and it opens.
    big.m_hits.resize(1000); // 60 MB
    ASSERT_TRUE(SaveSearchDocument(strPath, big));
    CSearchDocumentData read;
    ASSERT_TRUE(LoadSearchDocument(strPath, read));
    EXPECT_EQ(read.m_hits.size(), big.m_hits.size());
}

// A document made elsewhere with a description of megabytes reads with at
// most what extraction keeps (350 bytes, whole characters); the URL stays whole.
TEST(SearchDocument, ADescriptionIsCutWhenReadAsExtractionCutsIt)
{
    CSearchDocumentData data = Sample();
    std::string strHuge;
    while (strHuge.size() < 1000000)
        strHuge += "apple xx \xc3\xa9 ";
    data.m_hits = {{strHuge, "http://a.example/" + std::string(400, 'u'), "Alpha"}};
    CSearchDocumentData read;
    ASSERT_TRUE(DecodeSearchDocument(EncodeSearchDocument(data), read));
    ASSERT_EQ(read.m_hits.size(), 1u);
    EXPECT_LE(read.m_hits[0].m_strDescription.size(), 350u);
    EXPECT_EQ(strHuge.rfind(read.m_hits[0].m_strDescription, 0), 0u);
    EXPECT_EQ(ToValidUtf8(read.m_hits[0].m_strDescription), read.m_hits[0].m_strDescription);
    EXPECT_EQ(read.m_hits[0].m_strUrl, data.m_hits[0].m_strUrl);
}

TEST(SearchDocument, OpeningTicksEnginesByNameIgnoringCase)
{
    std::vector<CSearchEngine> catalogue(4);
    catalogue[0].m_strName = "Alpha";
    catalogue[1].m_strName = "beta";
    catalogue[2].m_strName = "Beta";
    catalogue[3].m_strName = "Gamma";
    EXPECT_EQ(MatchTickedEngines({"BETA", "gamma", "Deleted since"}, catalogue),
              (std::vector<bool>{false, true, false, true}));
    EXPECT_EQ(MatchTickedEngines({}, catalogue), std::vector<bool>(4, false));
}
