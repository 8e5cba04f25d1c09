// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Translate.h"

// Pages that answer with status 200 but hold no results because the engine
// refused the request: a bot check, or a page that asks for JavaScript. They
// are told by generic signs, never by engine or host, so a refusal reads as
// one instead of "no results on its page".

#include <string>
#include <string_view>

inline constexpr const char* kRefusalBotCheck = N_("the page is a bot check");
inline constexpr const char* kRefusalJavaScript = N_("the page asks for JavaScript");

// kRefusalBotCheck when the page shows a challenge or captcha form or asks
// the reader to confirm a human (or speaks of unusual traffic or automated
// queries); kRefusalJavaScript when it asks to turn on JavaScript (in its
// text, its noscript part, or a refresh to an "enable JavaScript" address);
// empty otherwise. Meant for pages where no result was found: a page of
// results may well mention these words somewhere.
// A page that says it found nothing ("no results", "0 results", "did not
// match any") is an answer, never a refusal.
std::string RefusalReason(std::string_view page);

// Whether the page says that nothing matched the query.
bool SaysNothingMatched(std::string_view page);
// Where in the page it first says so (npos: nowhere), for telling the message
// at the top of an empty answer from the same words in a result's snippet.
size_t NothingMatchedAt(std::string_view page);
