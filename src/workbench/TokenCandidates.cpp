// SPDX-License-Identifier: MIT
// Start tokens for a list of links: the markup its links share before their
// address, aligned row by row from the link's own tag back.
#include "workbench/TokenCandidates.h"

#include "platform/TextUtil.h"
#include "search/extract/TokenPattern.h"

#include <algorithm>

namespace {

struct CSpan
{
    size_t m_nBegin = 0;
    size_t m_nEnd = 0; // one past
};

std::string_view Text(std::string_view page, const CSpan& span)
{
    return page.substr(span.m_nBegin, span.m_nEnd - span.m_nBegin);
}

template <typename Get>
std::string CommonPrefix(size_t n, Get get)
{
    std::string_view prefix = get(0);
    for (size_t i = 1; i < n; ++i) {
        const std::string_view s = get(i);
        size_t k = 0;
        while (k < prefix.size() && k < s.size() && prefix[k] == s[k])
            ++k;
        prefix = prefix.substr(0, k);
    }
    return std::string(prefix);
}

template <typename Get>
std::string CommonSuffix(size_t n, Get get)
{
    std::string_view suffix = get(0);
    for (size_t i = 1; i < n; ++i) {
        const std::string_view s = get(i);
        size_t k = 0;
        while (k < suffix.size() && k < s.size() && suffix[suffix.size() - 1 - k] == s[s.size() - 1 - k])
            ++k;
        suffix = suffix.substr(suffix.size() - k);
    }
    return std::string(suffix);
}

// The same tag of every row as one pattern: as it stands where the rows
// agree, a wildcard for the attribute values (or attributes) that differ.
// spans[i] holds row i's tag (for a link: up to where its address starts).
bool MergeTags(std::string_view page, const std::vector<CSpan>& spans, std::string& out)
{
    const size_t n = spans.size();
    const std::string_view first = Text(page, spans[0]);
    if (std::all_of(spans.begin(), spans.end(), [&](const CSpan& s) { return Text(page, s) == first; })) {
        out = first;
        return true;
    }
    std::vector<CTag> tags;
    for (const CSpan& span : spans)
        tags.push_back(ReadTag(page, span.m_nBegin));
    auto insideSpan = [&](size_t row) {
        std::vector<CAttribute> attributes;
        for (const CAttribute& a : tags[row].m_attributes)
            if (a.m_nName < spans[row].m_nEnd)
                attributes.push_back(a);
        return attributes;
    };
    std::vector<std::vector<CAttribute>> rows;
    for (size_t i = 0; i < n; ++i) {
        if (tags[i].m_strName != tags[0].m_strName || tags[i].m_bClosing != tags[0].m_bClosing)
            return false;
        rows.push_back(insideSpan(i));
    }
    const bool bSameNames = std::all_of(rows.begin(), rows.end(), [&](const std::vector<CAttribute>& r) {
        return r.size() == rows[0].size() &&
               std::equal(r.begin(), r.end(), rows[0].begin(),
                          [](const CAttribute& a, const CAttribute& b) { return a.m_name == b.m_name; });
    });
    const size_t nNameEnd = spans[0].m_nBegin + 1 + (tags[0].m_bClosing ? 1 : 0) + tags[0].m_strName.size();
    const bool bLink = spans[0].m_nEnd < tags[0].m_nEnd; // cut where the link's address starts
    if (bLink && rows[0].empty())
        return false; // (a '>' inside a quoted value ended the tag early: no pattern)
    if (!bSameNames) {
        out = std::string(page.substr(spans[0].m_nBegin, nNameEnd - spans[0].m_nBegin));
        if (!bLink) {
            out += std::string(kTokenWildcard) + ">";
            return true;
        }
        // "<a class=\"result\" {*}href=\"": the attributes every row begins
        // with as they stand, then anything up to the link's own.
        const CAttribute& last = rows[0].back();
        size_t nShared = 0;
        auto same = [&](size_t a) {
            return std::all_of(rows.begin(), rows.end(), [&](const std::vector<CAttribute>& r) {
                return r.size() > a + 1 && r[a].m_name == rows[0][a].m_name &&
                       page.substr(r[a].m_nValue, r[a].m_nValueEnd - r[a].m_nValue) ==
                           page.substr(rows[0][a].m_nValue, rows[0][a].m_nValueEnd - rows[0][a].m_nValue);
            });
        };
        while (nShared + 1 < rows[0].size() && same(nShared))
            ++nShared;
        if (nShared > 0) {
            const CAttribute& kept = rows[0][nShared - 1];
            const size_t nKeptEnd = kept.m_nValueEnd + (kept.m_chQuote ? 1 : 0);
            out = std::string(page.substr(spans[0].m_nBegin, nKeptEnd - spans[0].m_nBegin));
        }
        out += " " + std::string(kTokenWildcard) +
               std::string(page.substr(last.m_nName, spans[0].m_nEnd - last.m_nName));
        return true;
    }
    // Row 0's text, each differing value replaced by what every row's value
    // begins and ends with around a wildcard.
    out.clear();
    size_t nAt = spans[0].m_nBegin;
    for (size_t a = 0; a < rows[0].size(); ++a) {
        const CAttribute& attribute = rows[0][a];
        if (attribute.m_nValueEnd > spans[0].m_nEnd)
            break; // the link's own address: the token ends at its start
        auto value = [&](size_t row) {
            const CAttribute& v = rows[row][a];
            return page.substr(v.m_nValue, v.m_nValueEnd - v.m_nValue);
        };
        bool bSame = true;
        for (size_t i = 1; i < n && bSame; ++i)
            bSame = value(i) == value(0);
        if (bSame)
            continue;
        out += page.substr(nAt, attribute.m_nValue - nAt);
        // Whole words the rows share ("film " of "film c0" and "film c3"), never a
        // part of one that the rows of this page happen to share (".com").
        std::string strPrefix = CommonPrefix(n, value);
        std::string strSuffix = CommonSuffix(n, value);
        strPrefix.erase(strPrefix.rfind(' ') == std::string::npos ? 0 : strPrefix.rfind(' ') + 1);
        strSuffix.erase(0, strSuffix.find(' ') == std::string::npos ? strSuffix.size() : strSuffix.find(' '));
        out += strPrefix;
        out += kTokenWildcard;
        out += strSuffix.size() + strPrefix.size() <= value(0).size() ? strSuffix : std::string();
        nAt = attribute.m_nValueEnd;
    }
    out += page.substr(nAt, spans[0].m_nEnd - nAt);
    return true;
}

// The tag that ends just before position nBefore (text may lie between).
bool PreviousTag(std::string_view page, size_t nBefore, CSpan& tag)
{
    if (nBefore == 0)
        return false;
    const size_t nLt = page.rfind('<', nBefore - 1);
    if (nLt == std::string_view::npos)
        return false;
    const size_t nGt = page.find('>', nLt);
    if (nGt == std::string_view::npos || nGt >= nBefore)
        return false;
    tag = {nLt, nGt + 1};
    return true;
}


} // namespace

std::vector<std::string> StartCandidates(std::string_view page, const std::vector<CAnchor>& anchors,
                                         const std::vector<size_t>& links)
{
    std::vector<std::string> candidates;
    std::vector<CSpan> own;
    for (const size_t i : links)
        own.push_back({anchors[i].m_nTagStart, anchors[i].Href().m_nValue});
    std::string strToken;
    if (!MergeTags(page, own, strToken))
        return candidates;
    candidates.push_back(strToken);
    // The first characters of the address, when every link's address begins alike.
    const std::string strPrefix = CommonPrefix(links.size(), [&](size_t k) { return anchors[links[k]].HrefValue(page); });
    const char chQuote = anchors[links[0]].Href().m_chQuote;
    if (strPrefix.size() >= 4 && chQuote != 0)
        candidates.push_back(strToken + strPrefix.substr(0, 4));

    std::vector<size_t> before(links.size());
    for (size_t k = 0; k < links.size(); ++k)
        before[k] = anchors[links[k]].m_nTagStart;
    for (int nDepth = 0; nDepth < 3; ++nDepth) {
        std::vector<CSpan> tags, gaps;
        for (size_t k = 0; k < links.size(); ++k) {
            CSpan tag;
            if (!PreviousTag(page, before[k], tag))
                return candidates;
            tags.push_back(tag);
            gaps.push_back({tag.m_nEnd, before[k]});
            before[k] = tag.m_nBegin;
        }
        const std::string_view gap = Text(page, gaps[0]);
        const bool bSameGap = std::all_of(gaps.begin(), gaps.end(), [&](const CSpan& g) { return Text(page, g) == gap; });
        std::string strTag;
        if (!MergeTags(page, tags, strTag))
            return candidates;
        strToken = strTag + (bSameGap ? std::string(gap) : std::string(kTokenWildcard)) + strToken;
        if (strToken.size() > 400)
            return candidates;
        candidates.push_back(strToken);
        if (strPrefix.size() >= 4 && chQuote != 0)
            candidates.push_back(strToken + strPrefix.substr(0, 4));
    }
    return candidates;
}

// The token as the catalogue can hold it: a run of blanks that breaks the
// line becomes a wildcard (the catalogue keeps a token on one line); empty
// when the token holds other control bytes (no engine needs them).
std::string CatalogueSafe(const std::string& strToken)
{
    std::string out;
    size_t i = 0;
    while (i < strToken.size()) {
        const char c = strToken[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            size_t nEnd = i;
            bool bBreak = false;
            while (nEnd < strToken.size() && (strToken[nEnd] == ' ' || strToken[nEnd] == '\t' ||
                                              strToken[nEnd] == '\r' || strToken[nEnd] == '\n'))
                bBreak = bBreak || strToken[nEnd] == '\r' || strToken[nEnd] == '\n', ++nEnd;
            if (!bBreak)
                out.append(strToken, i, nEnd - i);
            else if (out.size() < kTokenWildcard.size() || out.compare(out.size() - kTokenWildcard.size(), kTokenWildcard.size(), kTokenWildcard) != 0)
                out += kTokenWildcard;
            i = nEnd;
            continue;
        }
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return {};
        out += c;
        ++i;
    }
    return out;
}

size_t CountWildcards(const std::string& strToken)
{
    size_t n = 0;
    for (size_t i = strToken.find(kTokenWildcard); i != std::string::npos; i = strToken.find(kTokenWildcard, i + 1))
        ++n;
    return n;
}
