// SPDX-License-Identifier: MIT
#include "search/PageRefusal.h"

#include "platform/TextUtil.h"
#include "search/extract/HtmlText.h"

#include <algorithm>
#include <iterator>

namespace {

bool ContainsAny(std::string_view text, std::initializer_list<std::string_view> words)
{
    return std::any_of(words.begin(), words.end(),
                       [text](std::string_view word) { return text.find(word) != std::string_view::npos; });
}

// The lower-case text of every element of a kind ("noscript"), joined.
std::string ElementsText(std::string_view lower, std::string_view name)
{
    std::string out;
    const std::string open = "<" + std::string(name);
    const std::string close = "</" + std::string(name);
    size_t i = 0;
    while ((i = lower.find(open, i)) != std::string_view::npos) {
        const size_t nEnd = lower.find(close, i);
        out += HtmlToText(lower.substr(i, nEnd == std::string_view::npos ? nEnd : nEnd - i));
        out += ' ';
        if (nEnd == std::string_view::npos)
            break;
        i = nEnd;
    }
    return out;
}

// A meta refresh (its attributes in any order) to an "enable JavaScript" address.
bool RefreshesToJavaScriptNotice(std::string_view lower)
{
    size_t i = 0;
    while ((i = lower.find("<meta", i)) != std::string_view::npos) {
        const size_t nEnd = lower.find('>', i);
        const std::string_view tag = lower.substr(i, nEnd == std::string_view::npos ? 400 : nEnd - i);
        if (tag.find("http-equiv") != std::string_view::npos && tag.find("refresh") != std::string_view::npos &&
            ContainsAny(tag, {"javascript", "enablejs", "enable-js", "enable_js", "nojs", "no-js", "jsdisabled",
                              "js_disabled", "js-disabled"}))
            return true;
        i += 5;
    }
    return false;
}

// "0 results" and the like, not inside "10 results".
bool HasCountOfNone(std::string_view text)
{
    for (const std::string_view phrase : {std::string_view("0 results"), std::string_view("0 matches"),
                                          std::string_view("0 hits"), std::string_view("0 items found")}) {
        for (size_t i = text.find(phrase); i != std::string_view::npos; i = text.find(phrase, i + 1))
            if (i == 0 || !IsAsciiDigit(text[i - 1]))
                return true;
    }
    return false;
}

} // namespace

namespace {

constexpr std::string_view kNothingMatched[] = {
    "no results", "did not match any", "didn't match any", "did not return any", "no matches", "nothing found",
    "no items match", "no documents match", "returned no results", "no result found", "found no results",
    "found nothing", "keine ergebnisse", "aucun r\xc3\xa9sultat", "ning\xc3\xban resultado"};

} // namespace

bool SaysNothingMatched(std::string_view page)
{
    const std::string text = HtmlToText(ToLowerAscii(page));
    return HasCountOfNone(text) || std::any_of(std::begin(kNothingMatched), std::end(kNothingMatched),
                                               [&text](std::string_view w) { return text.find(w) != std::string::npos; });
}

size_t NothingMatchedAt(std::string_view page)
{
    const std::string lower = ToLowerAscii(page);
    size_t nFirst = std::string::npos;
    for (const std::string_view phrase : kNothingMatched)
        nFirst = std::min(nFirst, lower.find(phrase));
    for (size_t i = lower.find("0 results"); i != std::string::npos && i < nFirst; i = lower.find("0 results", i + 1))
        if (i == 0 || !IsAsciiDigit(lower[i - 1]))
            nFirst = i;
    return nFirst;
}

std::string RefusalReason(std::string_view page)
{
    const std::string lower = ToLowerAscii(page);
    const std::string text = HtmlToText(lower);
    // A challenge to pass, by the words of its text.
    if (ContainsAny(text, {"confirm you are human", "confirm you are a human", "confirm you're human",
                           "confirm that you are human", "confirm that you are a human", "made by a human",
                           "verify you are human", "verify you are a human", "verify that you are human",
                           "are you a robot", "not a robot", "unusual traffic", "automated queries",
                           "automated requests", "complete the following challenge", "complete the security check",
                           "prove you are human"}))
        return kRefusalBotCheck;
    // A page that says it found nothing is an answer, whatever it loads
    // besides (a login form's captcha script).
    if (SaysNothingMatched(page))
        return {};
    // A challenge by the names of its form or script.
    if (ContainsAny(lower, {"captcha", "challenge-form", "challenge_form", "cf-challenge", "challenge-platform",
                            "id=\"challenge", "id='challenge"}))
        return kRefusalBotCheck;
    const std::string noscript = ElementsText(lower, "noscript");
    auto asksForScript = [](std::string_view words) {
        return ContainsAny(words, {"enable javascript", "javascript is disabled", "javascript is required",
                                   "requires javascript", "turn on javascript", "javascript must be enabled",
                                   "enable js", "activate javascript", "allow javascript"});
    };
    if (asksForScript(text) || asksForScript(noscript) || RefreshesToJavaScriptNotice(lower))
        return kRefusalJavaScript;
    return {};
}
