// SPDX-License-Identifier: MIT
#pragma once

// The query words a result list highlights. Words are maximal runs of
// characters other than the blank. A query word is highlighted, ignoring ASCII
// case, wherever the text has it at word boundaries: letters and digits on one
// side, anything else on the other. So "sleep:" and "JavaScript.info" show
// "sleep" and "JavaScript", while "javascript" shows no "java".

#include <string>
#include <string_view>
#include <utility>
#include <vector>

std::vector<std::string_view> SplitWords(std::string_view text);

class CHighlightWords
{
public:
    void SetText(std::string_view query);
    const std::string& GetText() const { return m_strText; }
    // The places (start, length) of the query's words in a word of the text, in order.
    std::vector<std::pair<size_t, size_t>> FindSpans(std::string_view word) const;
    // The word cut at those places: its pieces in order, each with whether it
    // is a query word (no empty piece).
    std::vector<std::pair<std::string_view, bool>> SplitAtSpans(std::string_view word) const;
    bool IsEmpty() const { return m_words.empty(); }

private:
    std::string m_strText;
    std::vector<std::string> m_words; // upper-cased
};
