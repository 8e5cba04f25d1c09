// SPDX-License-Identifier: MIT
#pragma once

// The query words a result list highlights. Words are maximal runs of
// characters other than the blank; a word is highlighted when its upper-cased
// form equals an upper-cased query word (punctuation belongs to the word, so
// "JAVA," does not match "JAVA").

#include <string>
#include <string_view>
#include <vector>

std::vector<std::string_view> SplitWords(std::string_view text);

class CHighlightWords
{
public:
    void SetText(std::string_view query);
    const std::string& GetText() const { return m_strText; }
    bool IsHighlightWord(std::string_view word) const;
    bool IsEmpty() const { return m_words.empty(); }

private:
    std::string m_strText;
    std::vector<std::string> m_words; // upper-cased
};
