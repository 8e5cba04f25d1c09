// SPDX-License-Identifier: MIT
#include "platform/CancelSignal.h"
#include "results/ResultRows.h"

#include <atomic>
#include <set>
#include <gtest/gtest.h>
#include <thread>

TEST(ResultRows, ColumnsAreFoundByHeading)
{
    EXPECT_EQ(CResultRows::FindColumn("Description"), 0);
    EXPECT_EQ(CResultRows::FindColumn("URL"), 1);
    EXPECT_EQ(CResultRows::FindColumn("Engine"), 2);
    EXPECT_EQ(CResultRows::FindColumn("url"), -1);
}

TEST(ResultRows, RowOperationsKeepTheUrlIndexTrue)
{
    CResultRows rows;
    rows.AppendHit({"d1", "http://a/1", "E"});
    rows.AppendHit({"d2", "http://a/2", "E"});
    rows.AppendHit({"d3", "http://a/1", "F"});
    EXPECT_EQ(rows.GetRowCount(), 3);
    EXPECT_EQ(rows.FindRow(1, "http://a/1"), 0);
    EXPECT_EQ(rows.FindRow(2, "F"), 2);
    EXPECT_EQ(rows.FindRow(1, "http://a/3"), -1);
    EXPECT_EQ(rows.GetCell(1, 0), "d2");
    EXPECT_EQ(rows.GetCell(7, 0), "");
    EXPECT_EQ(rows.GetCell(0, 3), "");

    EXPECT_TRUE(rows.DeleteRow(0));
    EXPECT_TRUE(rows.ContainsUrl("http://a/1")); // still in the row that was third
    EXPECT_EQ(rows.FindRow(1, "http://a/1"), 1);
    EXPECT_TRUE(rows.DeleteRow(1));
    EXPECT_FALSE(rows.ContainsUrl("http://a/1"));
    EXPECT_FALSE(rows.DeleteRow(5));

    EXPECT_TRUE(rows.SetRow(0, {"new", "http://b/", "G"}));
    EXPECT_FALSE(rows.ContainsUrl("http://a/2"));
    EXPECT_TRUE(rows.ContainsUrl("http://b/"));

    rows.InsertRow(0, {"first", "http://c/", "G"});
    rows.InsertRow(99, {"last", "http://d/", "G"});
    EXPECT_EQ(rows.GetCell(0, 0), "first");
    EXPECT_EQ(rows.GetCell(2, 0), "last");

    rows.DeleteAllRows();
    EXPECT_EQ(rows.GetRowCount(), 0);
    EXPECT_FALSE(rows.ContainsUrl("http://b/"));
}

TEST(ResultRows, AppendSkipsDuplicatesAndRefusesAfterCancel)
{
    CResultRows rows;
    EXPECT_EQ(rows.AppendHit({"a", "u", "E"}, true), CResultRows::AppendResult::Added);
    EXPECT_EQ(rows.AppendHit({"b", "u", "E"}, true), CResultRows::AppendResult::Duplicate);
    EXPECT_EQ(rows.AppendHit({"b", "u", "E"}, false), CResultRows::AppendResult::Added);
    CCancelSignal cancel;
    cancel.Signal();
    EXPECT_EQ(rows.AppendHit({"c", "v", "E"}, false, &cancel), CResultRows::AppendResult::Cancelled);
    EXPECT_EQ(rows.GetRowCount(), 2);
}

TEST(ResultRows, ListenerHearsEveryChange)
{
    CResultRows rows;
    int nCalls = 0;
    rows.SetChangeListener([&nCalls] { ++nCalls; });
    const uint64_t nVersion = rows.GetVersion();
    rows.AppendHit({"a", "u", "E"});
    rows.DeleteRow(0);
    rows.DeleteAllRows();
    EXPECT_EQ(nCalls, 3);
    EXPECT_EQ(rows.GetVersion(), nVersion + 3);
}

TEST(ResultRows, ConcurrentAppendAndClearStayConsistent)
{
    CResultRows rows;
    std::atomic<bool> bDone{false};
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i)
            rows.AppendHit({"d", "http://a/" + std::to_string(i % 500), "E"}, true);
        bDone = true;
    });
    while (!bDone) {
        rows.DeleteAllRows();
        rows.GetRows();
    }
    writer.join();
    // Whatever survived the clears, no URL is listed twice and the index agrees.
    const std::vector<CSearchHit> hits = rows.GetRows();
    std::set<std::string> urls;
    for (const CSearchHit& hit : hits) {
        EXPECT_TRUE(urls.insert(hit.m_strUrl).second);
        EXPECT_TRUE(rows.ContainsUrl(hit.m_strUrl));
    }
}

TEST(ResultRows, AViewLearnsWhichRowsWereDeletedOneByOne)
{
    CResultRows rows;
    for (int i = 0; i < 5; ++i)
        rows.AppendHit({"d", "http://a/" + std::to_string(i), "E"});
    uint64_t nNow = 0;
    std::vector<int> deleted;
    EXPECT_EQ(rows.GetChangesSince(0, &nNow, &deleted), 5); // appends only
    const uint64_t nSeen = nNow;
    rows.DeleteRow(3);
    rows.DeleteRow(0);
    rows.AppendHit({"d", "http://a/5", "E"});
    EXPECT_EQ(rows.GetChangesSince(nSeen, &nNow, &deleted), 4);
    EXPECT_EQ(deleted, (std::vector<int>{3, 0}));
    // Anything else makes the view start again.
    const uint64_t nSeenAgain = nNow;
    rows.InsertRow(1, {"d", "http://a/6", "E"});
    EXPECT_EQ(rows.GetChangesSince(nSeenAgain, &nNow, &deleted), -1 - 5);
    EXPECT_TRUE(deleted.empty());
    rows.DeleteAllRows();
    EXPECT_EQ(rows.GetChangesSince(nNow, &nNow, &deleted), -1);
}
