// SPDX-License-Identifier: MIT
#include "search/extract/HtmlText.h"

#include "platform/TextUtil.h"

#include <algorithm>
#include <iterator>

namespace {

struct CNamedReference
{
    std::string_view m_name;
    unsigned long m_nCodePoint;
};

// HTML's named references that pages use (those of HTML 4 and &apos;), in byte order.
constexpr CNamedReference kNamedReferences[] = {
    {"AElig", 0xC6}, {"Aacute", 0xC1}, {"Acirc", 0xC2}, {"Agrave", 0xC0}, {"Alpha", 0x391},
    {"Aring", 0xC5}, {"Atilde", 0xC3}, {"Auml", 0xC4}, {"Beta", 0x392}, {"Ccedil", 0xC7},
    {"Chi", 0x3A7}, {"Dagger", 0x2021}, {"Delta", 0x394}, {"ETH", 0xD0}, {"Eacute", 0xC9},
    {"Ecirc", 0xCA}, {"Egrave", 0xC8}, {"Epsilon", 0x395}, {"Eta", 0x397}, {"Euml", 0xCB},
    {"Gamma", 0x393}, {"Iacute", 0xCD}, {"Icirc", 0xCE}, {"Igrave", 0xCC}, {"Iota", 0x399},
    {"Iuml", 0xCF}, {"Kappa", 0x39A}, {"Lambda", 0x39B}, {"Mu", 0x39C}, {"Ntilde", 0xD1},
    {"Nu", 0x39D}, {"OElig", 0x152}, {"Oacute", 0xD3}, {"Ocirc", 0xD4}, {"Ograve", 0xD2},
    {"Omega", 0x3A9}, {"Omicron", 0x39F}, {"Oslash", 0xD8}, {"Otilde", 0xD5}, {"Ouml", 0xD6},
    {"Phi", 0x3A6}, {"Pi", 0x3A0}, {"Prime", 0x2033}, {"Psi", 0x3A8}, {"Rho", 0x3A1},
    {"Scaron", 0x160}, {"Sigma", 0x3A3}, {"THORN", 0xDE}, {"Tau", 0x3A4}, {"Theta", 0x398},
    {"Uacute", 0xDA}, {"Ucirc", 0xDB}, {"Ugrave", 0xD9}, {"Upsilon", 0x3A5}, {"Uuml", 0xDC},
    {"Xi", 0x39E}, {"Yacute", 0xDD}, {"Yuml", 0x178}, {"Zeta", 0x396}, {"aacute", 0xE1},
    {"acirc", 0xE2}, {"acute", 0xB4}, {"aelig", 0xE6}, {"agrave", 0xE0}, {"alefsym", 0x2135},
    {"alpha", 0x3B1}, {"amp", 0x26}, {"and", 0x2227}, {"ang", 0x2220}, {"apos", 0x27},
    {"aring", 0xE5}, {"asymp", 0x2248}, {"atilde", 0xE3}, {"auml", 0xE4}, {"bdquo", 0x201E},
    {"beta", 0x3B2}, {"brvbar", 0xA6}, {"bull", 0x2022}, {"cap", 0x2229}, {"ccedil", 0xE7},
    {"cedil", 0xB8}, {"cent", 0xA2}, {"chi", 0x3C7}, {"circ", 0x2C6}, {"clubs", 0x2663},
    {"cong", 0x2245}, {"copy", 0xA9}, {"crarr", 0x21B5}, {"cup", 0x222A}, {"curren", 0xA4},
    {"dArr", 0x21D3}, {"dagger", 0x2020}, {"darr", 0x2193}, {"deg", 0xB0}, {"delta", 0x3B4},
    {"diams", 0x2666}, {"divide", 0xF7}, {"eacute", 0xE9}, {"ecirc", 0xEA}, {"egrave", 0xE8},
    {"empty", 0x2205}, {"emsp", 0x2003}, {"ensp", 0x2002}, {"epsilon", 0x3B5}, {"equiv", 0x2261},
    {"eta", 0x3B7}, {"eth", 0xF0}, {"euml", 0xEB}, {"euro", 0x20AC}, {"exist", 0x2203},
    {"fnof", 0x192}, {"forall", 0x2200}, {"frac12", 0xBD}, {"frac14", 0xBC}, {"frac34", 0xBE},
    {"frasl", 0x2044}, {"gamma", 0x3B3}, {"ge", 0x2265}, {"gt", 0x3E}, {"hArr", 0x21D4},
    {"harr", 0x2194}, {"hearts", 0x2665}, {"hellip", 0x2026}, {"iacute", 0xED}, {"icirc", 0xEE},
    {"iexcl", 0xA1}, {"igrave", 0xEC}, {"image", 0x2111}, {"infin", 0x221E}, {"int", 0x222B},
    {"iota", 0x3B9}, {"iquest", 0xBF}, {"isin", 0x2208}, {"iuml", 0xEF}, {"kappa", 0x3BA},
    {"lArr", 0x21D0}, {"lambda", 0x3BB}, {"lang", 0x2329}, {"laquo", 0xAB}, {"larr", 0x2190},
    {"lceil", 0x2308}, {"ldquo", 0x201C}, {"le", 0x2264}, {"lfloor", 0x230A}, {"lowast", 0x2217},
    {"loz", 0x25CA}, {"lrm", 0x200E}, {"lsaquo", 0x2039}, {"lsquo", 0x2018}, {"lt", 0x3C},
    {"macr", 0xAF}, {"mdash", 0x2014}, {"micro", 0xB5}, {"middot", 0xB7}, {"minus", 0x2212},
    {"mu", 0x3BC}, {"nabla", 0x2207}, {"nbsp", 0xA0}, {"ndash", 0x2013}, {"ne", 0x2260},
    {"ni", 0x220B}, {"not", 0xAC}, {"notin", 0x2209}, {"nsub", 0x2284}, {"ntilde", 0xF1},
    {"nu", 0x3BD}, {"oacute", 0xF3}, {"ocirc", 0xF4}, {"oelig", 0x153}, {"ograve", 0xF2},
    {"oline", 0x203E}, {"omega", 0x3C9}, {"omicron", 0x3BF}, {"oplus", 0x2295}, {"or", 0x2228},
    {"ordf", 0xAA}, {"ordm", 0xBA}, {"oslash", 0xF8}, {"otilde", 0xF5}, {"otimes", 0x2297},
    {"ouml", 0xF6}, {"para", 0xB6}, {"part", 0x2202}, {"permil", 0x2030}, {"perp", 0x22A5},
    {"phi", 0x3C6}, {"pi", 0x3C0}, {"piv", 0x3D6}, {"plusmn", 0xB1}, {"pound", 0xA3},
    {"prime", 0x2032}, {"prod", 0x220F}, {"prop", 0x221D}, {"psi", 0x3C8}, {"quot", 0x22},
    {"rArr", 0x21D2}, {"radic", 0x221A}, {"rang", 0x232A}, {"raquo", 0xBB}, {"rarr", 0x2192},
    {"rceil", 0x2309}, {"rdquo", 0x201D}, {"real", 0x211C}, {"reg", 0xAE}, {"rfloor", 0x230B},
    {"rho", 0x3C1}, {"rlm", 0x200F}, {"rsaquo", 0x203A}, {"rsquo", 0x2019}, {"sbquo", 0x201A},
    {"scaron", 0x161}, {"sdot", 0x22C5}, {"sect", 0xA7}, {"shy", 0xAD}, {"sigma", 0x3C3},
    {"sigmaf", 0x3C2}, {"sim", 0x223C}, {"spades", 0x2660}, {"sub", 0x2282}, {"sube", 0x2286},
    {"sum", 0x2211}, {"sup", 0x2283}, {"sup1", 0xB9}, {"sup2", 0xB2}, {"sup3", 0xB3},
    {"supe", 0x2287}, {"szlig", 0xDF}, {"tau", 0x3C4}, {"there4", 0x2234}, {"theta", 0x3B8},
    {"thetasym", 0x3D1}, {"thinsp", 0x2009}, {"thorn", 0xFE}, {"tilde", 0x2DC}, {"times", 0xD7},
    {"trade", 0x2122}, {"uArr", 0x21D1}, {"uacute", 0xFA}, {"uarr", 0x2191}, {"ucirc", 0xFB},
    {"ugrave", 0xF9}, {"uml", 0xA8}, {"upsih", 0x3D2}, {"upsilon", 0x3C5}, {"uuml", 0xFC},
    {"weierp", 0x2118}, {"xi", 0x3BE}, {"yacute", 0xFD}, {"yen", 0xA5}, {"yuml", 0xFF},
    {"zeta", 0x3B6}, {"zwj", 0x200D}, {"zwnj", 0x200C},
};

constexpr size_t kLongestName = 8; // "thetasym"

bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Whether text at i starts with the lower-case word, ignoring ASCII case.
bool StartsWithNoCase(std::string_view text, size_t i, std::string_view word)
{
    if (text.size() - i < word.size())
        return false;
    for (size_t k = 0; k < word.size(); ++k)
        if (ToLowerAscii(text[i + k]) != word[k])
            return false;
    return true;
}

// Tags that end a line or a block of text in a browser.
bool BreaksText(std::string_view name)
{
    static constexpr std::string_view kBlocks[] = {
        "address", "article", "aside", "blockquote", "br", "dd", "div", "dl", "dt",
        "figcaption", "footer", "form", "h1", "h2", "h3", "h4", "h5", "h6", "header",
        "hr", "li", "main", "nav", "ol", "p", "pre", "section", "table", "td", "th", "tr", "ul",
    };
    if (name.size() > 10)
        return false;
    char lower[10];
    for (size_t k = 0; k < name.size(); ++k)
        lower[k] = ToLowerAscii(name[k]);
    const std::string_view key(lower, name.size());
    return std::find(std::begin(kBlocks), std::end(kBlocks), key) != std::end(kBlocks);
}

} // namespace

void AppendUtf8(std::string& out, unsigned long cp)
{
    if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

size_t ParseCharacterReference(std::string_view text, size_t i, unsigned long* pCodePoint)
{
    if (i >= text.size() || text[i] != '&')
        return 0;
    size_t k = i + 1;
    if (k < text.size() && text[k] == '#') {
        ++k;
        const bool bHex = k < text.size() && (text[k] == 'x' || text[k] == 'X');
        if (bHex)
            ++k;
        const size_t nDigits = k;
        unsigned long cp = 0;
        while (k < text.size() && (bHex ? HexDigitValue(text[k]) >= 0 : (text[k] >= '0' && text[k] <= '9'))) {
            cp = cp * (bHex ? 16 : 10) + static_cast<unsigned>(HexDigitValue(text[k]));
            if (cp > 0x10FFFF)
                cp = 0x110000; // stays out of range however many digits follow
            ++k;
        }
        if (k == nDigits)
            return 0;
        if (k < text.size() && text[k] == ';')
            ++k;
        *pCodePoint = cp;
        return k - i;
    }
    size_t nEnd = k;
    while (nEnd < text.size() && nEnd - k <= kLongestName && IsAsciiAlnum(text[nEnd]))
        ++nEnd;
    if (nEnd == k || nEnd >= text.size() || text[nEnd] != ';')
        return 0;
    const std::string_view name = text.substr(k, nEnd - k);
    const auto it = std::lower_bound(std::begin(kNamedReferences), std::end(kNamedReferences), name,
                                     [](const CNamedReference& ref, std::string_view n) {
                                         return ref.m_name < n;
                                     });
    if (it == std::end(kNamedReferences) || it->m_name != name)
        return 0;
    *pCodePoint = it->m_nCodePoint;
    return nEnd + 1 - i;
}

std::string DecodeCharacterReferences(std::string_view text, bool bNbspAsBlank)
{
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    for (;;) {
        const size_t nAmp = text.find('&', i);
        out.append(text.substr(i, nAmp == std::string_view::npos ? nAmp : nAmp - i));
        if (nAmp == std::string_view::npos)
            return out;
        unsigned long cp = 0;
        const size_t nTaken = ParseCharacterReference(text, nAmp, &cp);
        if (nTaken == 0) {
            out += '&';
            i = nAmp + 1;
        } else {
            if (cp == 0xA0 && bNbspAsBlank)
                out += ' ';
            else
                AppendUtf8(out, cp);
            i = nAmp + nTaken;
        }
    }
}

namespace {

// What a "<" at text[nLt] starts: a tag or comment that ends before m_nNext
// (a script or style element with its content), whether it breaks the text,
// or nothing (m_bText: an unclosed "<" that stands for itself, with the rest).
struct CMarkup
{
    size_t m_nNext = 0;
    bool m_bBreaks = false;
    bool m_bText = false;
};

// Reads the markup of one text from its start to its end. The places of the
// next ">" and "-->" are remembered, so a text full of "<" or of comment
// openers is read in one pass: a search never covers the same bytes twice.
class CMarkupReader
{
public:
    explicit CMarkupReader(std::string_view text) : m_text(text) {}

    // The markup at text[nLt] ('<'); nLt never goes back between calls.
    CMarkup Skip(size_t nLt)
    {
        CMarkup markup;
        if (StartsWithNoCase(m_text, nLt, "<!--")) {
            // A comment without its end runs to the end of the text, as in a browser.
            const size_t nClose = m_commentEnd.Next(m_text, nLt + 4);
            markup.m_nNext = nClose == std::string_view::npos ? m_text.size() : nClose + 3;
            return markup;
        }
        const size_t nGt = m_tagEnd.Next(m_text, nLt + 1);
        if (nGt == std::string_view::npos) {
            markup.m_bText = true;
            return markup;
        }
        size_t nName = nLt + 1;
        const bool bClosing = nName < m_text.size() && m_text[nName] == '/';
        if (bClosing)
            ++nName;
        size_t nNameEnd = nName;
        while (nNameEnd < nGt && IsAsciiAlnum(m_text[nNameEnd]))
            ++nNameEnd;
        const std::string_view name = m_text.substr(nName, nNameEnd - nName);
        markup.m_nNext = nGt + 1;
        markup.m_bBreaks = BreaksText(name);
        const bool bScript = EqualsNoCase(name, "script");
        if (!bClosing && (bScript || EqualsNoCase(name, "style")) && m_text[nGt - 1] != '/') {
            // The element's content is no text; without its end tag it runs to
            // the end. Either way the reading goes on after what this covers.
            const std::string_view endTag = bScript ? "</script" : "</style";
            size_t nEndTag = markup.m_nNext;
            while ((nEndTag = m_text.find("</", nEndTag)) != std::string_view::npos &&
                   !StartsWithNoCase(m_text, nEndTag, endTag))
                nEndTag += 2;
            const size_t nEndGt = nEndTag == std::string_view::npos ? nEndTag : m_tagEnd.Next(m_text, nEndTag);
            markup.m_nNext = nEndGt == std::string_view::npos ? m_text.size() : nEndGt + 1;
        }
        return markup;
    }

private:
    // The first place of a needle at or after a position that never goes back.
    struct CNext
    {
        std::string_view m_needle;
        size_t m_nFrom = 0;
        size_t m_nFound = 0;
        bool m_bKnown = false;

        size_t Next(std::string_view text, size_t nFrom)
        {
            // What was found from an earlier place is still the first one from
            // here when it lies at or after here (npos: none till the end).
            if (!m_bKnown || (m_nFound != std::string_view::npos && m_nFound < nFrom) || nFrom < m_nFrom) {
                m_nFound = text.find(m_needle, nFrom);
                m_nFrom = nFrom;
                m_bKnown = true;
            }
            return m_nFound;
        }
    };

    std::string_view m_text;
    CNext m_tagEnd{">"};
    CNext m_commentEnd{"-->"};
};

} // namespace

std::string HtmlToText(std::string_view html, size_t nMaxBytes)
{
    std::string out;
    out.reserve(std::min(html.size(), nMaxBytes));
    bool bBlank = false; // white space seen since the last character
    auto putText = [&out, &bBlank](std::string_view text) {
        if (bBlank && !out.empty())
            out += ' ';
        bBlank = false;
        out.append(text);
    };
    CMarkupReader reader(html);
    size_t i = 0;
    while (i < html.size() && out.size() <= nMaxBytes) {
        const char c = html[i];
        if (IsWhiteSpace(c)) {
            bBlank = true;
            ++i;
            continue;
        }
        if (c == '<') {
            const CMarkup markup = reader.Skip(i);
            if (!markup.m_bText) {
                bBlank = bBlank || markup.m_bBreaks;
                i = markup.m_nNext;
                continue;
            }
        } else if (c == '&') {
            unsigned long cp = 0;
            if (const size_t nTaken = ParseCharacterReference(html, i, &cp)) {
                i += nTaken;
                if (cp == 0xA0 || (cp < 0x80 && IsWhiteSpace(static_cast<char>(cp)))) {
                    bBlank = true;
                } else {
                    std::string decoded;
                    AppendUtf8(decoded, cp);
                    putText(decoded);
                }
                continue;
            }
        }
        // A run of plain text goes in at once, as far as the limit allows.
        const size_t nRoom = nMaxBytes == std::string_view::npos ? nMaxBytes : nMaxBytes - out.size() + 1;
        size_t nEnd = i + 1;
        while (nEnd < html.size() && nEnd - i < nRoom && html[nEnd] != '<' && html[nEnd] != '&' &&
               !IsWhiteSpace(html[nEnd]))
            ++nEnd;
        putText(html.substr(i, nEnd - i));
        i = nEnd;
    }
    return out;
}
