// SPDX-License-Identifier: MIT
#include "search/PageCharset.h"

#include "platform/TextUtil.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <utility>

namespace {

// The value of "charset=" in a Content-Type text, lower case, unquoted.
std::string CharsetParameter(std::string_view text)
{
    const std::string lower = ToLowerAscii(text);
    const size_t nAt = lower.find("charset=");
    if (nAt == std::string::npos)
        return {};
    size_t i = nAt + 8;
    while (i < lower.size() && (lower[i] == '"' || lower[i] == '\'' || lower[i] == ' ' || lower[i] == '\t'))
        ++i;
    size_t nEnd = i;
    while (nEnd < lower.size() && (IsAsciiAlnum(lower[nEnd]) || lower[nEnd] == '-' || lower[nEnd] == '_' ||
                                   lower[nEnd] == '.' || lower[nEnd] == ':'))
        ++nEnd;
    return lower.substr(i, nEnd - i);
}

// How many well-formed UTF-8 sequences of two bytes or more the text holds,
// and how many runs of bytes of 0x80 or above that stand in none.
std::pair<size_t, size_t> CountUtf8(std::string_view text)
{
    size_t nSequences = 0, nStray = 0;
    bool bInStray = false;
    for (size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            bInStray = false;
            ++i;
            continue;
        }
        const size_t n = Utf8SequenceLength(text, i);
        if (n == 0) {
            nStray += bInStray ? 0 : 1;
            bInStray = true;
            ++i;
        } else {
            bInStray = false;
            ++nSequences;
            i += n;
        }
    }
    return {nSequences, nStray};
}

// The text read in the character set, as UTF-8; false when the system has no
// converter for it.
bool ConvertWith(const std::string& strCharset, std::string& text)
{
    iconv_t cd = iconv_open("UTF-8", strCharset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    char* pIn = text.data();
    size_t nIn = text.size();
    char buffer[16384];
    while (nIn > 0) {
        char* pOut = buffer;
        size_t nOut = sizeof buffer;
        const size_t nDone = iconv(cd, &pIn, &nIn, &pOut, &nOut);
        out.append(buffer, sizeof buffer - nOut);
        if (nDone == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // A byte that is no character in that set (or a sequence cut off at the end): dropped.
            ++pIn;
            --nIn;
        }
    }
    iconv_close(cd);
    text = std::move(out);
    return true;
}

} // namespace

std::string DeclaredCharset(std::string_view contentType, std::string_view page)
{
    std::string strCharset = CharsetParameter(contentType);
    if (!strCharset.empty())
        return strCharset;
    // The head: <meta charset="..."> or <meta http-equiv="Content-Type" content="...; charset=...">.
    const std::string head = ToLowerAscii(page.substr(0, 4096));
    for (size_t i = head.find("<meta"); i != std::string::npos; i = head.find("<meta", i + 5)) {
        const size_t nEnd = head.find('>', i);
        const std::string_view tag = std::string_view(head).substr(i, nEnd == std::string::npos ? std::string::npos : nEnd - i);
        strCharset = CharsetParameter(tag);
        if (!strCharset.empty())
            return strCharset;
    }
    return {};
}

void MakePageUtf8(std::string& page, std::string_view contentType)
{
    const auto [nSequences, nStray] = CountUtf8(page);
    if (nStray == 0)
        return;
    if (nSequences > nStray) {
        page = ToValidUtf8(page); // UTF-8 with a few stray bytes (a cut page, a bad byte)
        return;
    }
    // A page that names a Unicode form it is not written in (its declaration
    // is ASCII, so it is no UTF-16 either) is read as browsers read it.
    std::string strCharset = DeclaredCharset(contentType, page);
    if (strCharset.empty() || strCharset.rfind("utf", 0) == 0 || strCharset.rfind("ucs", 0) == 0 ||
        strCharset == "iso-8859-1" || strCharset == "latin1" || strCharset == "us-ascii" || strCharset == "ascii")
        strCharset = "windows-1252";
    if (!ConvertWith(strCharset, page))
        ConvertWith("windows-1252", page);
    page.erase(std::remove(page.begin(), page.end(), '\0'), page.end()); // no converter makes one of text, but a page holds none
}
