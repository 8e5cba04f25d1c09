// SPDX-License-Identifier: MIT
#include "results/HighlightWords.h"

#include "platform/TextUtil.h"

std::vector<std::string_view> SplitWords(std::string_view text)
{
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        const size_t nStart = i;
        while (i < text.size() && text[i] != ' ')
            ++i;
        if (i > nStart)
            words.push_back(text.substr(nStart, i - nStart));
    }
    return words;
}

void CHighlightWords::SetText(std::string_view query)
{
    m_strText = std::string(query);
    m_words.clear();
    for (const std::string_view word : SplitWords(query))
        m_words.push_back(ToUpperAscii(word));
}

bool CHighlightWords::IsHighlightWord(std::string_view word) const
{
    if (m_words.empty())
        return false;
    const std::string strUpper = ToUpperAscii(word);
    for (const std::string& strWord : m_words)
        if (strWord == strUpper)
            return true;
    return false;
}
