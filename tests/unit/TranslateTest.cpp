// SPDX-License-Identifier: MIT
// The program's texts outside a translation: the source texts, in the English
// form that fits the count, and where the catalogues are looked for.

#include "platform/Translate.h"
#include "search/EngineOutcome.h"

#include <gtest/gtest.h>

TEST(Translate, SourceTextsInTheFormThatFitsTheCount)
{
    EXPECT_STREQ(Tr("a text no catalogue has"), "a text no catalogue has");
    CEngineOutcome outcome;
    outcome.m_nKind = CEngineOutcome::Kind::Hits;
    for (const auto& [nHits, pszText] : {std::pair{0, "0 hits"}, {1, "1 hit"}, {12, "12 hits"}}) {
        outcome.m_nHits = nHits;
        EXPECT_EQ(outcome.Describe(), pszText);
    }
    EXPECT_EQ(LocaleDirectoryFor("/usr/share/questrel/"), "/usr/share/locale/");
    EXPECT_EQ(LocaleDirectoryFor(""), ""); // the system's
}
