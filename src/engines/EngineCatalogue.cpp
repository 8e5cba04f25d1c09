// SPDX-License-Identifier: MIT
#include "engines/EngineCatalogue.h"

#include "platform/FileUtil.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <climits>
#include <deque>
#include <unistd.h>

namespace {

// The lines of a catalogue, read as they are needed: ended by CR LF, LF or a
// lone CR; each value loses its trailing white space, leading white space
// stays. Only the few lines of one record are held at a time, so a file of
// nothing but line ends costs no more memory than its bytes. A last line
// without an end is kept apart, as it may be a name that was cut off.
class CCatalogueLines
{
public:
    // The longest record: name, tokens, URL, type, prefix, suffix, next page.
    static constexpr size_t kWindow = 8;

    explicit CCatalogueLines(std::string_view bytes) : m_bytes(bytes) { Fill(); }

    bool AtEnd() const { return m_window.empty(); }
    // Line i ahead of the current one, or empty past the end (optional values
    // may be missing at the end).
    const std::string& Line(size_t i) const
    {
        static const std::string kEmpty;
        return i < m_window.size() ? m_window[i].m_text : kEmpty;
    }
    // How many lines ahead (the current one included) are complete, up to the window.
    size_t CompleteLines() const
    {
        size_t n = m_window.size();
        if (n > 0 && m_window.back().m_bOpen)
            --n;
        return n;
    }
    void Advance(size_t nLines)
    {
        for (size_t i = 0; i < nLines && !m_window.empty(); ++i)
            m_window.pop_front();
        Fill();
    }

private:
    struct CLine
    {
        std::string m_text;
        bool m_bOpen = false;
    };

    void Fill()
    {
        while (m_window.size() < kWindow && m_nPos < m_bytes.size()) {
            const size_t nEnd = m_bytes.find_first_of("\r\n", m_nPos);
            CLine line;
            std::string_view text;
            if (nEnd == std::string_view::npos) {
                text = m_bytes.substr(m_nPos);
                line.m_bOpen = true;
                m_nPos = m_bytes.size();
            } else {
                text = m_bytes.substr(m_nPos, nEnd - m_nPos);
                const bool bCrLf = m_bytes[nEnd] == '\r' && nEnd + 1 < m_bytes.size() && m_bytes[nEnd + 1] == '\n';
                m_nPos = nEnd + (bCrLf ? 2 : 1);
            }
            line.m_text = TrimTrailingWhiteSpace(text);
            m_window.push_back(std::move(line));
        }
    }

    std::string_view m_bytes;
    size_t m_nPos = 0;
    std::deque<CLine> m_window;
};

// Whether a type line is one of the paging types: a whole number from 0 to 5
// ("2GIS", the name of a record below, is none).
bool IsTypeLine(std::string_view line)
{
    const std::string text = TrimWhiteSpace(line);
    return text.size() == 1 && text[0] >= '0' && text[0] < static_cast<char>('0' + kSearchTypeCount);
}

// Whether a URL line can be one: empty (the prefix then holds the whole
// address), or one word with a scheme or a dot in it ("1", "?q=" or a token
// are none).
bool IsAddressLine(std::string_view line)
{
    const std::string text = TrimWhiteSpace(line);
    return text.empty() || (text.find_first_of(" \t") == std::string::npos &&
                            (text.find("://") != std::string::npos || text.find('.') != std::string::npos));
}

// The record at the current line when the lines there have a record's shape:
// a name, both tokens, an address, a type line of a paging type and a prefix, then the
// suffix and, for the types that keep one, the next-page command. False when
// they do not; otherwise the record's length follows from its type, whether
// or not the record is valid (see ParseEngines).
bool ReadRecord(const CCatalogueLines& lines, CSearchEngine& engine, size_t* pLines)
{
    if (lines.CompleteLines() < 6 || !IsTypeLine(lines.Line(4)) || !IsAddressLine(lines.Line(3)))
        return false;
    engine = CSearchEngine{};
    engine.m_strName = lines.Line(0);
    engine.m_strStartToken = lines.Line(1);
    engine.m_strEndToken = lines.Line(2);
    engine.m_strUrl = lines.Line(3);
    engine.m_nSearchType = ParseLeadingInt(lines.Line(4));
    engine.m_strPrefix = lines.Line(5);
    engine.m_strSuffix = lines.Line(6);
    *pLines = 7;
    if (engine.HasNextPageLine()) {
        engine.m_strNextPage = lines.Line(7);
        *pLines = 8;
    }
    engine.IsValid();
    return true;
}

// A value as the file can hold it: one line.
std::string OneLine(const std::string& strValue)
{
    std::string out;
    out.reserve(strValue.size());
    for (const char c : strValue)
        if (c != '\r' && c != '\n')
            out += c;
    return out;
}

} // namespace

std::vector<CSearchEngine> ParseEngines(const std::string& bytes, int* pDropped)
{
    CCatalogueLines lines(bytes);
    std::vector<CSearchEngine> engines;
    int nDropped = 0;
    bool bInDamage = false; // lines skipped since the last record, not all blank
    while (!lines.AtEnd()) {
        CSearchEngine engine;
        size_t nLines = 0;
        if (ReadRecord(lines, engine, &nLines)) {
            // A record's length is known from its type: one that fails the
            // validity rule (an empty token, as older editors could write) is
            // dropped whole, and the next record is read right after it.
            if (engine.m_bValid)
                engines.push_back(std::move(engine));
            else
                ++nDropped;
            lines.Advance(nLines);
            bInDamage = false;
            continue;
        }
        // No record's shape here: the next one starts at the next line that
        // has it. A run of lines skipped counts as one lost record.
        if (!lines.Line(0).empty() && !bInDamage) {
            ++nDropped;
            bInDamage = true;
        }
        lines.Advance(1);
    }
    if (pDropped)
        *pDropped = nDropped;
    SortEngines(engines);
    return engines;
}

std::string FormatEngines(const std::vector<CSearchEngine>& engines)
{
    std::string out;
    auto line = [&out](const std::string& strValue) {
        out += OneLine(strValue); // a line break would shift every later record
        out += "\r\n";
    };
    for (const CSearchEngine& engine : engines) {
        line(engine.m_strName);
        line(engine.m_strStartToken);
        line(engine.m_strEndToken);
        line(engine.m_strUrl);
        line(std::to_string(engine.m_nSearchType));
        line(engine.m_strPrefix);
        line(engine.m_strSuffix);
        if (engine.HasNextPageLine())
            line(engine.m_strNextPage);
    }
    return out;
}

bool LoadEngines(const std::string& strPath, std::vector<CSearchEngine>& engines, int* pDropped)
{
    engines.clear();
    if (pDropped)
        *pDropped = 0;
    std::string bytes;
    if (!ReadFileBytes(strPath, bytes, kMaxCatalogueBytes))
        return false;
    engines = ParseEngines(bytes, pDropped);
    return true;
}

bool SaveEngines(const std::string& strPath, const std::vector<CSearchEngine>& engines)
{
    // The catalogue as it was stays beside it, whatever the rewrite loses.
    std::string previous;
    if (ReadFileBytes(strPath, previous, kMaxCatalogueBytes) &&
        !WriteFileAtomically(strPath + kBackupSuffix, previous))
        return false;
    return WriteFileAtomically(strPath, FormatEngines(engines), true);
}

bool EngineNameLess(const std::string& a, const std::string& b)
{
    return CompareNoCase(a, b) < 0;
}

void SortEngines(std::vector<CSearchEngine>& engines)
{
    std::stable_sort(engines.begin(), engines.end(),
                     [](const CSearchEngine& a, const CSearchEngine& b) {
                         return EngineNameLess(a.m_strName, b.m_strName);
                     });
}

size_t FindInsertPosition(const std::vector<CSearchEngine>& engines, const std::string& strName)
{
    const auto it = std::upper_bound(engines.begin(), engines.end(), strName,
                                     [](const std::string& name, const CSearchEngine& engine) {
                                         return EngineNameLess(name, engine.m_strName);
                                     });
    return static_cast<size_t>(it - engines.begin());
}

std::string GetProgramDirectory()
{
    std::string strPath(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", strPath.data(), strPath.size());
    if (n <= 0)
        return {};
    strPath.resize(static_cast<size_t>(n));
    const size_t nSlash = strPath.rfind('/');
    return nSlash == std::string::npos ? std::string() : strPath.substr(0, nSlash + 1);
}

std::string FindShareDirectory()
{
    const std::string strProgramDir = GetProgramDirectory();
    for (const std::string& strDir : {strProgramDir + "../share/questrel/", strProgramDir + "share/questrel/"})
        if (FileExists(strDir + "help/index.html") || FileExists(strDir + kCatalogueFileName))
            return strDir;
    return {};
}

std::string GetUserCataloguePath()
{
    return GetXdgDataHome() + "/questrel/" + kCatalogueFileName;
}

std::string FindCataloguePath()
{
    const std::string strBeside = GetProgramDirectory() + kCatalogueFileName;
    if (FileExists(strBeside))
        return strBeside;
    return GetUserCataloguePath();
}
