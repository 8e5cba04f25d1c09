// SPDX-License-Identifier: MIT
// The one learning sequence: address, page, groups of links, tokens, verdict, paging.
#include "workbench/EngineLearner.h"

#include "platform/TextUtil.h"
#include "platform/Url.h"
#include "search/BrowserPages.h"
#include "search/PageRefusal.h"
#include "search/QueryComposer.h"
#include "search/extract/HitLink.h"
#include "workbench/LinkGroups.h"
#include "workbench/TokenLearner.h"
#include "platform/Translate.h"
#include "search/TemplateFormat.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

// A page with more links than a result page holds is not learned from.
constexpr size_t kMaxLearnLinks = 20000;

// The page's link tags ("<a" and a blank or ">"), counted without reading them.
size_t CountLinkTags(std::string_view page)
{
    size_t n = 0;
    for (size_t i = page.find('<'); i != std::string_view::npos && i + 2 < page.size(); i = page.find('<', i + 1))
        n += (page[i + 1] == 'a' || page[i + 1] == 'A') &&
             (page[i + 2] == ' ' || page[i + 2] == '\t' || page[i + 2] == '\n' || page[i + 2] == '\r' || page[i + 2] == '>');
    return n;
}

// An address as the user compares it: no scheme, host in lower case, no
// trailing slash, no fragment.
std::string Comparable(std::string_view url)
{
    std::string out(TrimWhiteSpace(url));
    const size_t nScheme = out.find("://");
    if (nScheme != std::string::npos)
        out.erase(0, nScheme + 3);
    else if (out.compare(0, 2, "//") == 0)
        out.erase(0, 2);
    const size_t nFragment = out.find('#');
    if (nFragment != std::string::npos)
        out.erase(nFragment);
    const size_t nSlash = out.find('/');
    std::transform(out.begin(), nSlash == std::string::npos ? out.end() : out.begin() + static_cast<long>(nSlash),
                   out.begin(), [](char c) { return ToLowerAscii(c); });
    if (out.compare(0, 4, "www.") == 0)
        out.erase(0, 4);
    while (!out.empty() && out.back() == '/')
        out.pop_back();
    return out;
}

CLearnGroup DescribeGroup(const CLinkGroup& group, const std::vector<CAnchor>& anchors,
                          const std::vector<CLinkFacts>& facts)
{
    CLearnGroup out;
    out.m_nHits = group.m_results.size();
    for (const size_t m : group.m_results) {
        if (out.m_titles.size() < 3)
            out.m_titles.push_back(anchors[m].m_strText.substr(0, 80));
        const std::string strHost = HostOfUrl(facts[m].m_strUrl);
        if (out.m_hosts.size() < 3 && std::find(out.m_hosts.begin(), out.m_hosts.end(), strHost) == out.m_hosts.end())
            out.m_hosts.push_back(strHost);
    }
    return out;
}

// How exactly the tokens find the group: the share of their hits that are
// its results, times the share of its results they find.
double TokenFit(const CLinkGroup& group, const std::vector<CLinkFacts>& facts, const std::vector<CSearchHit>& hits)
{
    if (hits.empty() || group.m_results.empty())
        return 0;
    std::set<std::string> wanted;
    for (const size_t m : group.m_results)
        wanted.insert(facts[m].m_strUrl);
    std::set<std::string> found;
    size_t nRight = 0;
    for (const CSearchHit& hit : hits)
        if (wanted.count(hit.m_strUrl)) {
            ++nRight;
            found.insert(hit.m_strUrl);
        }
    return static_cast<double>(nRight) / static_cast<double>(hits.size()) * static_cast<double>(found.size()) /
           static_cast<double>(wanted.size());
}

// The verdict on a page without a list of results.
void JudgeEmptyPage(const CPageAnswer& answer, const char* strWhy, CLearnResult& result)
{
    const std::string strRefusal = RefusalReason(answer.m_strText);
    if (!strRefusal.empty()) {
        result.m_nVerdict = LearnVerdict::Refused;
        result.m_strReason = Tr(strRefusal.c_str());
        if (!answer.m_strBrowserError.empty())
            result.m_strReason += "; " + std::string(Tr(answer.m_strBrowserError.c_str()));
    } else if (SaysNothingMatched(answer.m_strText)) {
        result.m_nVerdict = LearnVerdict::NothingMatched;
    } else {
        result.m_nVerdict = LearnVerdict::NoList;
        result.m_strReason = Tr(strWhy);
    }
}

// Asks for the next page the record would ask for, once: paging that brings
// the same hits again is wrong and dropped; one that cannot be checked stays,
// and the result says so.
void CheckPaging(const CLearnRequest& request, const LearnFetch* pFetch, const CLinkCleaner& cleaner,
                 const CSearchEngine& unpaged, CLearnResult& result)
{
    CSearchEngine& engine = result.m_engine;
    if (engine.m_nSearchType == ResultCount)
        return;
    if (!pFetch) {
        result.m_strPagingNote = Tr("paging not checked");
        return;
    }
    const std::string strTerm = ComposeQueryTerm(request.m_strQuery, kOptionAllWords);
    const std::string strNext = BuildNextPageAddress(engine, strTerm, static_cast<int>(result.m_hits.size()),
                                                     HostOfUrl(result.m_answer.m_strUrl));
    // A definition learned from what scripts wrote finds its hits there only.
    CPageRequest next{strNext};
    if (result.m_answer.m_bByBrowser)
        next.m_nBrowserRule = BrowserRule::Always;
    const std::optional<CPageAnswer> pNext = (*pFetch)(next);
    if (!pNext || pNext->m_nStatus != 200 || !pNext->m_strError.empty()) {
        result.m_strPagingNote = Tr("paging not checked: the next page did not answer");
        return;
    }
    const std::vector<CSearchHit> hits =
        ExtractWithTokens(pNext->m_strText, engine.m_strStartToken, engine.m_strEndToken, cleaner);
    std::set<std::string> first;
    for (const CSearchHit& hit : result.m_hits)
        first.insert(hit.m_strUrl);
    const bool bOther = std::any_of(hits.begin(), hits.end(), [&first](const CSearchHit& h) {
        return first.count(h.m_strUrl) == 0;
    });
    if (bOther) {
        result.m_bPagingChecked = true;
    } else if (!hits.empty()) {
        // The "next page" shows this page again: one page only.
        engine = unpaged;
        LearnPaging("", request.m_strQuery, 0, engine);
        result.m_strPagingNote = Tr("paging dropped: the next page gave the same hits");
    } else {
        result.m_strPagingNote = Tr("paging not checked: the next page gave no hits");
    }
}

} // namespace

CLearnResult LearnEngine(const CLearnRequest& request, const LearnFetch& fetch, bool bCheckPaging)
{
    CLearnResult result;
    result.m_engine.m_strName = request.m_strName;
    if (!SplitAddressAroundQuery(request.m_strAddress, request.m_strQuery, result.m_engine)) {
        result.m_nVerdict = LearnVerdict::BadAddress;
        result.m_strReason = FormatTemplate(Tr("the query \"%s\" is not in the address %s"),
                                            {CTemplateArg::Text(request.m_strQuery), CTemplateArg::Text(request.m_strAddress)});
        return result;
    }
    // The page as the server sends it first: what its scripts write is learned
    // only where that gives no list.
    const std::optional<CPageAnswer> answer = fetch(CPageRequest{request.m_strAddress, nullptr, BrowserRule::Never});
    if (!answer) {
        result.m_nVerdict = LearnVerdict::Failed;
        result.m_strReason = Tr("cancelled");
        return result;
    }
    const LearnFetch* pPagingFetch = bCheckPaging ? &fetch : nullptr;
    result = LearnFromPage(request, *answer, pPagingFetch);
    const bool bWall = result.m_nVerdict == LearnVerdict::Refused && RefusalReason(answer->m_strText) == kRefusalJavaScript;
    if (!bWall && (result.m_nVerdict != LearnVerdict::NoList || !HasScripts(answer->m_strText)))
        return result;
    const std::optional<CPageAnswer> scripted =
        fetch(CPageRequest{request.m_strAddress, nullptr, BrowserRule::Always});
    if (!scripted) {
        result.m_nVerdict = LearnVerdict::Failed;
        result.m_strReason = Tr("cancelled");
        return result;
    }
    if (scripted->m_bByBrowser) {
        CLearnResult fromScripts = LearnFromPage(request, *scripted, pPagingFetch);
        if (fromScripts.m_nVerdict == LearnVerdict::Learned || fromScripts.m_nVerdict == LearnVerdict::NothingMatched)
            return fromScripts;
    } else if (!scripted->m_strBrowserError.empty()) {
        result.m_strReason += "; " + (bWall ? std::string(Tr(scripted->m_strBrowserError.c_str()))
                                            : FormatTemplate(Tr("its scripts may write one, but %s"),
                                                             {CTemplateArg::Text(Tr(scripted->m_strBrowserError.c_str()))}));
    }
    return result; // what the page says without its scripts
}

namespace {

// The verdicts that need no page: the address, the status, the transfer.
bool JudgeAnswer(const CLearnRequest& request, const CPageAnswer& answer, CLearnResult& result)
{
    if (!SplitAddressAroundQuery(request.m_strAddress, request.m_strQuery, result.m_engine)) {
        result.m_nVerdict = LearnVerdict::BadAddress;
        result.m_strReason = FormatTemplate(Tr("the query \"%s\" is not in the address %s"),
                                            {CTemplateArg::Text(request.m_strQuery), CTemplateArg::Text(request.m_strAddress)});
        return false;
    }
    if (answer.m_nStatus >= 400) {
        result.m_nVerdict = LearnVerdict::Refused;
        result.m_strReason = answer.DescribeStatus();
        return false;
    }
    if (answer.m_nStatus == 0 || !answer.m_strError.empty()) {
        result.m_nVerdict = LearnVerdict::Failed;
        result.m_strReason = answer.m_strError.empty() ? std::string(Tr("no answer")) : answer.m_strError;
        return false;
    }
    return true;
}

// Where each link leads and whether it is navigation. The address most of
// the page's redirect links go through is undone, as the search undoes a
// list of hits that all go through it.
std::vector<CLinkFacts> ReadLinkFacts(const std::string& strPage, const std::string& strPageUrl,
                                      const std::vector<CAnchor>& anchors, const CLinkCleaner& cleaner,
                                      const std::string& strQuery)
{
    std::map<std::string, size_t> redirectors;
    for (const CAnchor& anchor : anchors) {
        std::string strRedirector = CLinkCleaner::RedirectorOf(cleaner.Resolve(anchor.HrefValue(strPage)));
        if (!strRedirector.empty())
            ++redirectors[strRedirector];
    }
    std::string strRedirector;
    size_t nMost = 2;
    for (const auto& [name, count] : redirectors)
        if (count > nMost) {
            nMost = count;
            strRedirector = name;
        }
    std::vector<CLinkFacts> facts(anchors.size());
    for (size_t i = 0; i < anchors.size(); ++i) {
        facts[i].m_strUrl = cleaner.Clean(anchors[i].HrefValue(strPage), strRedirector);
        facts[i].m_bNavigation = IsNavigationLink(facts[i].m_strUrl, strPageUrl);
        facts[i].m_bCarriesQuery = CarriesQuery(facts[i].m_strUrl, strQuery);
    }
    return facts;
}

// Which groups to learn: the one asked for, those that hold the user's
// example (all, when none does: the example may stand apart, as a first
// result often does), or the best few.
std::vector<size_t> GroupsToTry(const CLearnRequest& request, const std::vector<CLinkGroup>& groups,
                                const std::vector<CLinkFacts>& facts, CLearnResult& result)
{
    std::vector<size_t> tries;
    if (request.m_nGroup >= 0 && request.m_nGroup < static_cast<int>(result.m_groups.size()))
        tries.push_back(static_cast<size_t>(request.m_nGroup));
    const bool bExample = !TrimWhiteSpace(request.m_strExample).empty();
    if (bExample) {
        const std::string strWanted = Comparable(request.m_strExample);
        for (size_t g = 0; g < groups.size() && tries.size() < 4; ++g)
            if (std::any_of(groups[g].m_results.begin(), groups[g].m_results.end(),
                            [&](size_t m) { return Comparable(facts[m].m_strUrl) == strWanted; }))
                tries.push_back(g);
        if (tries.empty())
            result.m_strExampleNote = Tr("the example is in no list of the page; the list most like results was taken");
    }
    if (tries.empty())
        for (size_t g = 0; g < std::min<size_t>(groups.size(), 4); ++g)
            tries.push_back(g);
    return tries;
}

// Whether the page says why it has no results, louder than its best list: a
// weak list on a bot check or an empty answer is its furniture, and an answer
// that says first that nothing matched, then lists other pages (popular ones,
// suggestions), has no results either.
bool HasNoList(const CLearnRequest& request, const std::string& strPage, const std::vector<CAnchor>& anchors,
               const CLinkGroup* pBest)
{
    if (!pBest)
        return true;
    if (!TrimWhiteSpace(request.m_strExample).empty() || request.m_nGroup >= 0)
        return false; // the user pointed at a list
    const bool bSaysNothing = SaysNothingMatched(strPage);
    if (bSaysNothing && NothingMatchedAt(strPage) < anchors[pBest->m_results[0]].m_nTagStart)
        return true;
    return pBest->m_results.size() < 3 && (bSaysNothing || !RefusalReason(strPage).empty());
}

} // namespace

CLearnResult LearnFromPage(const CLearnRequest& request, const CPageAnswer& answer, const LearnFetch* pFetch)
{
    CLearnResult result;
    result.m_answer = answer;
    if (result.m_answer.m_strUrl.empty())
        result.m_answer.m_strUrl = request.m_strAddress;
    CSearchEngine& engine = result.m_engine;
    engine.m_strName = request.m_strName;
    if (!JudgeAnswer(request, answer, result))
        return result;
    const std::string& strPage = answer.m_strText;
    const std::vector<CAnchor> anchors = FindAnchors(strPage, kMaxLearnLinks + 1);
    if (anchors.size() > kMaxLearnLinks) {
        result.m_nVerdict = LearnVerdict::NoList;
        result.m_strReason = FormatTemplate(Tr("the page is too large to learn from: %d links"),
                                            {CTemplateArg::Int(static_cast<long long>(CountLinkTags(strPage)))});
        return result;
    }
    const CLinkCleaner cleaner(result.m_answer.m_strUrl, engine.m_strUrl);
    const std::vector<CLinkFacts> facts =
        ReadLinkFacts(strPage, result.m_answer.m_strUrl, anchors, cleaner, request.m_strQuery);
    const bool bExample = !TrimWhiteSpace(request.m_strExample).empty();
    const std::vector<CLinkGroup> groups =
        FindLinkGroups(strPage, anchors, facts, QueryWords(request.m_strQuery), bExample ? 64 : 8);
    for (size_t g = 0; g < groups.size() && g < 8; ++g)
        result.m_groups.push_back(DescribeGroup(groups[g], anchors, facts));
    const std::vector<size_t> tries = GroupsToTry(request, groups, facts, result);
    if (HasNoList(request, strPage, anchors, tries.empty() ? nullptr : &groups[tries[0]])) {
        JudgeEmptyPage(answer, N_("no links of the page repeat like a list of results"), result);
        return result;
    }
    // The tokens of each group tried: the group whose tokens find it most
    // exactly, for its worth as a list, wins.
    CTokenProposal proposal;
    double fBest = 0;
    size_t nChosen = 0;
    for (const size_t g : tries) {
        CTokenProposal candidate;
        const bool bHeading = anchors[groups[g].m_results[0]].m_bHeading;
        auto isResultLike = [&](size_t m) {
            return anchors[m].m_bHeading == bHeading && IsResultLike(anchors[m], facts[m]);
        };
        if (!LearnGroupTokens(strPage, anchors, groups[g].m_results, cleaner, candidate, isResultLike))
            continue;
        const double fValue = groups[g].m_fScore * TokenFit(groups[g], facts, candidate.m_hits);
        if (fValue > fBest) {
            fBest = fValue;
            proposal = std::move(candidate);
            nChosen = g;
        }
    }
    if (fBest <= 0) {
        JudgeEmptyPage(answer, N_("no markup before the links of the list finds them"), result);
        return result;
    }
    if (nChosen >= result.m_groups.size())
        result.m_groups.push_back(DescribeGroup(groups[nChosen], anchors, facts));
    result.m_nGroup = static_cast<int>(std::min(nChosen, result.m_groups.size() - 1));
    engine.m_strStartToken = proposal.m_strStartToken;
    engine.m_strEndToken = proposal.m_strEndToken;
    result.m_hits = std::move(proposal.m_hits);
    const CSearchEngine unpaged = engine;
    LearnPaging(strPage, request.m_strQuery, static_cast<int>(result.m_hits.size()), engine);
    CheckPaging(request, pFetch, cleaner, unpaged, result);
    engine.IsValid();
    result.m_nVerdict = LearnVerdict::Learned;
    return result;
}

std::string DescribeLearnFailure(const CLearnResult& result, const std::string& strQuery)
{
    if (result.m_nVerdict == LearnVerdict::NothingMatched)
        return FormatTemplate(Tr("the page says nothing matched %s; learn from a query with results"),
                              {CTemplateArg::Text(strQuery)});
    return result.m_nVerdict == LearnVerdict::Learned ? std::string() : result.m_strReason;
}
