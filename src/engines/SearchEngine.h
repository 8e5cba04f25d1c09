// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// How an engine pages its results. The codes are stored in the catalogue and
// are the positions of the engine dialog's Search Type list.
enum SearchType : int
{
    MultiplePages = 0,
    ResultCount = 1,
    StartNumber = 2,
    SinglePage = 3,
    PagesFromOne = 4,  // the page's number: 1 for the first page, then 2, 3, ...
    PagesFromZero = 5, // the page's number: 0 for the first page, then 1, 2, ...
};
inline constexpr int kSearchTypeCount = 6;

// The Search Type texts, in code order.
extern const char* const kSearchTypeTexts[kSearchTypeCount];

// One engine definition of the catalogue.
class CSearchEngine
{
public:
    bool m_bValid = true;
    std::string m_strName;
    std::string m_strUrl;
    std::string m_strPrefix;
    std::string m_strSuffix;
    std::string m_strStartToken;
    std::string m_strEndToken;
    int m_nSearchType = MultiplePages;
    std::string m_strNextPage;

    // Valid when name, start token, end token and prefix are all non-empty.
    // Stores the result in m_bValid.
    bool IsValid();

    // Whether the catalogue keeps a next-page command for this type.
    bool HasNextPageLine() const
    {
        return m_nSearchType == MultiplePages || m_nSearchType == SinglePage || m_nSearchType == PagesFromOne ||
               m_nSearchType == PagesFromZero;
    }

    bool operator==(const CSearchEngine&) const = default;
};
