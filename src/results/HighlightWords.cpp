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

std::vector<std::pair<size_t, size_t>> CHighlightWords::FindSpans(std::string_view word) const
{
    std::vector<std::pair<size_t, size_t>> spans;
    if (m_words.empty() || word.empty())
        return spans;
    const std::string strUpper = ToUpperAscii(word);
    // A boundary lies between a letter or digit and anything else (or the word's end).
    auto isBoundary = [&strUpper](size_t i) {
        return i == 0 || i == strUpper.size() || IsAsciiAlnum(strUpper[i - 1]) != IsAsciiAlnum(strUpper[i]);
    };
    for (size_t i = 0; i < strUpper.size();) {
        size_t nLongest = 0;
        for (const std::string& strWord : m_words)
            if (strWord.size() > nLongest && strUpper.compare(i, strWord.size(), strWord) == 0 && isBoundary(i) &&
                isBoundary(i + strWord.size()))
                nLongest = strWord.size();
        if (nLongest > 0) {
            spans.emplace_back(i, nLongest);
            i += nLongest;
        } else {
            ++i;
        }
    }
    return spans;
}

std::vector<std::pair<std::string_view, bool>> CHighlightWords::SplitAtSpans(std::string_view word) const
{
    std::vector<std::pair<std::string_view, bool>> pieces;
    size_t nDone = 0;
    for (const auto& [nStart, nLength] : FindSpans(word)) {
        if (nStart > nDone)
            pieces.emplace_back(word.substr(nDone, nStart - nDone), false);
        pieces.emplace_back(word.substr(nStart, nLength), true);
        nDone = nStart + nLength;
    }
    if (nDone < word.size())
        pieces.emplace_back(word.substr(nDone), false);
    return pieces;
}
