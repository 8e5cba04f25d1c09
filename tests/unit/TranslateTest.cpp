// SPDX-License-Identifier: MIT
// The program's texts outside a translation: the source texts, with English
// plural forms by the count, and where the catalogues are looked for.

#include "platform/Translate.h"
#include "search/EngineOutcome.h"

#include <gtest/gtest.h>

TEST(Translate, SourceTextsAndEnglishPluralsWithoutACatalogue)
{
    EXPECT_STREQ(Tr("a text no catalogue has"), "a text no catalogue has");
    EXPECT_STREQ(Tr(""), "");
    const CPluralText hits = NN_("%d hit", "%d hits");
    const struct
    {
        long long nCount;
        const char* pszForm;
    } counts[] = {{0, "%d hits"}, {1, "%d hit"}, {2, "%d hits"}, {-1, "%d hits"}};
    for (const auto& c : counts)
        EXPECT_STREQ(TrN(hits, c.nCount), c.pszForm) << c.nCount;

    // An engine's outcome says its count in the form that fits it.
    CEngineOutcome outcome;
    outcome.m_nKind = CEngineOutcome::Kind::Hits;
    outcome.m_nHits = 1;
    EXPECT_EQ(outcome.Describe(), "1 hit");
    outcome.m_nHits = 12;
    EXPECT_EQ(outcome.Describe(), "12 hits");
    outcome.m_nKind = CEngineOutcome::Kind::Cancelled;
    outcome.m_nHits = 1;
    EXPECT_EQ(outcome.Describe(), "cancelled after 1 hit");
}

TEST(Translate, CataloguesLieBesideTheSharedFiles)
{
    EXPECT_EQ(LocaleDirectoryFor("/usr/share/questrel/"), "/usr/share/locale/");
    EXPECT_EQ(LocaleDirectoryFor("/opt/q/build/share/questrel"), "/opt/q/build/share/locale/");
    EXPECT_EQ(LocaleDirectoryFor(""), ""); // the system's
}
