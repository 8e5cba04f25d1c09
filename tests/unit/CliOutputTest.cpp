// SPDX-License-Identifier: MIT
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"

#include <gtest/gtest.h>

TEST(CliOutput, TsvEscapesFieldSeparatorsAndBackslash)
{
    EXPECT_EQ(EscapeTsvField("a\tb\rc\nd\\e"), "a\\tb\\rc\\nd\\\\e");
    EXPECT_EQ(FormatHitsTsv({{"desc", "http://u/", "Eng"}, {"", "", ""}}), "desc\thttp://u/\tEng\n\t\t\n");
}

TEST(CliOutput, TerminalControlsAreNeverPrintedRaw)
{
    // ESC sequences, BEL, DEL and the C1 controls (raw, or encoded as UTF-8) are
    // written as \xNN; UTF-8 text and TAB stay.
    EXPECT_EQ(EscapeTsvField("a\x1b[2Jb\x07" "c\x7f\x9b\xc2\x9b caf\xc3\xa9"),
              "a\\x1b[2Jb\\x07c\\x7f\\x9b\\xc2\\x9b caf\xc3\xa9");
    EXPECT_EQ(EscapeControls("Verifying http://x/\x1b]0;title\x07\tok\\"),
              "Verifying http://x/\\x1b]0;title\\x07\tok\\");
    EXPECT_EQ(FormatDocumentText({1, 0, "q\x1b", {"E\x08"}, {{"d\x1b", "u", "E\x08"}}}),
              "Max Hits\t1\nSearch Option\t0\nCriteria\tq\\x1b\nEngines\tE\\x08\nd\\x1b\tu\tE\\x08\n");
}

TEST(CliOutput, JsonIsValidUtf8WithLatin1Fallback)
{
    EXPECT_EQ(JsonString("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
    EXPECT_EQ(JsonString("caf\xc3\xa9"), "\"caf\xc3\xa9\"");   // UTF-8 kept
    EXPECT_EQ(JsonString("caf\xe9"), "\"caf\xc3\xa9\"");       // Latin-1 converted
    EXPECT_EQ(FormatHitsJson({}), "[]\n");
    EXPECT_EQ(FormatHitsJson({{"d", "u", "e"}}),
              "[\n {\"description\":\"d\",\"url\":\"u\",\"engine\":\"e\"}\n]\n");
}

namespace {

bool Parse(std::vector<std::string> args, CCliOptions& options, std::string& strError)
{
    args.insert(args.begin(), "questrel-cli");
    std::vector<char*> argv;
    for (std::string& s : args)
        argv.push_back(s.data());
    return ParseCliOptions(static_cast<int>(argv.size()), argv.data(), options, strError);
}

} // namespace

TEST(CliOptions, SearchOptionsAndUsageErrors)
{
    CCliOptions options;
    std::string strError;
    ASSERT_TRUE(Parse({"--engines", "e.dat", "search", "--option", "phrase", "--max-hits", "7",
                       "--keep-dups", "--proxy", "p:8080", "--json", "-q", "red apple", "One", "Two"},
                      options, strError));
    EXPECT_EQ(options.m_command, CCliOptions::Command::Search);
    EXPECT_EQ(options.m_strEnginesFile, "e.dat");
    EXPECT_EQ(options.m_search.m_nSearchOption, 2);
    EXPECT_EQ(options.m_search.m_nHitLimit, 7);
    EXPECT_FALSE(options.m_search.m_bRemoveDups);
    EXPECT_EQ(options.m_search.m_nConnectMethod, 3);
    EXPECT_EQ(options.m_search.m_strProxy, "p:8080");
    EXPECT_TRUE(options.m_bJson && options.m_bQuiet);
    EXPECT_EQ(options.m_search.m_strQuery, "red apple");
    EXPECT_EQ(options.m_engineNames, (std::vector<std::string>{"One", "Two"}));

    CCliOptions allHits;
    ASSERT_TRUE(Parse({"search", "--all-hits", "--direct", "--", "-dash query"}, allHits, strError));
    EXPECT_EQ(allHits.m_search.m_nHitLimit, 2048);
    EXPECT_EQ(allHits.m_search.m_nConnectMethod, 1);
    EXPECT_EQ(allHits.m_search.m_strQuery, "-dash query");

    // The GNU way: values after '=', short options together, options anywhere.
    CCliOptions gnu;
    ASSERT_TRUE(Parse({"search", "--max-hits=5", "red", "-qj", "One", "--option=any", "--timeout=9"}, gnu, strError));
    EXPECT_EQ(gnu.m_search.m_nHitLimit, 5);
    EXPECT_TRUE(gnu.m_bQuiet && gnu.m_bJson);
    EXPECT_EQ(gnu.m_search.m_nSearchOption, 1);
    EXPECT_EQ(gnu.m_search.m_nTimeoutSeconds, 9);
    EXPECT_EQ(gnu.m_search.m_strQuery, "red");
    EXPECT_EQ(gnu.m_engineNames, std::vector<std::string>{"One"});
    CCliOptions help, version;
    ASSERT_TRUE(Parse({"search", "--help"}, help, strError));
    EXPECT_TRUE(help.m_bHelp);
    ASSERT_TRUE(Parse({"--version"}, version, strError));
    EXPECT_TRUE(version.m_bVersion);

    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"search", "--proxy", "host", "q"},
                                               {"search", "--proxy", ":8080", "q"},
                                               {"search", "--proxy=host:99999", "q"},
                                               {"search", "--max-hits"},
                                               {"search", "-x", "q"},
                                               {"search", "--max-hits", "0", "q"},
                                               {"search", "--max-hits", "2049", "q"},
                                               {"search", "--max-hits", "12x", "q"},
                                               {"search", "--option", "most", "q"},
                                               {"search"},
                                               {"frobnicate"},
                                               {},
                                               {"engines", "extra"},
                                               {"search", "--bogus", "q"}}) {
        CCliOptions ignored;
        EXPECT_FALSE(Parse(bad, ignored, strError));
        EXPECT_FALSE(strError.empty());
    }
}

TEST(CliOptions, EngineNamesExactlyOrUniqueWhateverTheCase)
{
    const std::vector<std::string> catalogue = {"Bing", "DuckDuckGo", "DuckDuckGo Lite", "Mojeek", "mojeek", "Yahoo"};
    std::string strResolved, strError;
    EXPECT_TRUE(ResolveEngineName(catalogue, "DuckDuckGo", strResolved, strError));
    EXPECT_EQ(strResolved, "DuckDuckGo");
    EXPECT_TRUE(ResolveEngineName(catalogue, "bing", strResolved, strError));
    EXPECT_EQ(strResolved, "Bing");
    EXPECT_TRUE(ResolveEngineName(catalogue, "mojeek", strResolved, strError)); // the exact one of two
    EXPECT_EQ(strResolved, "mojeek");
    EXPECT_FALSE(ResolveEngineName(catalogue, "MOJEEK", strResolved, strError));
    EXPECT_EQ(strError, "ambiguous engine 'MOJEEK': Mojeek, mojeek");
    EXPECT_FALSE(ResolveEngineName(catalogue, "duckduck", strResolved, strError));
    EXPECT_EQ(strError, "unknown engine 'duckduck'; did you mean DuckDuckGo, DuckDuckGo Lite?");
    EXPECT_FALSE(ResolveEngineName(catalogue, "Yahooo", strResolved, strError));
    EXPECT_EQ(strError, "unknown engine 'Yahooo'; did you mean Yahoo?");
    EXPECT_FALSE(ResolveEngineName(catalogue, "Altavista", strResolved, strError));
    EXPECT_EQ(strError, "unknown engine 'Altavista'");
}
