// SPDX-License-Identifier: MIT
#include "engines/EngineCatalogue.h"

#include "platform/FileUtil.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <climits>
#include <unistd.h>

namespace {

// The lines of a catalogue: ended by CR LF, LF or a lone CR; each value loses
// its trailing white space, leading white space stays. A last line without an
// end is kept apart, as it may be a name that was cut off.
struct CCatalogueLines
{
    std::vector<std::string> m_lines;
    bool m_bLastLineOpen = false;

    explicit CCatalogueLines(const std::string& bytes)
    {
        size_t i = 0;
        while (i < bytes.size()) {
            const size_t nEnd = bytes.find_first_of("\r\n", i);
            if (nEnd == std::string::npos) {
                m_lines.push_back(TrimTrailingWhiteSpace(std::string_view(bytes).substr(i)));
                m_bLastLineOpen = true;
                return;
            }
            m_lines.push_back(TrimTrailingWhiteSpace(std::string_view(bytes).substr(i, nEnd - i)));
            i = nEnd + ((bytes[nEnd] == '\r' && nEnd + 1 < bytes.size() && bytes[nEnd + 1] == '\n') ? 2 : 1);
        }
    }

    // A line, or empty past the end (optional values may be missing at the end).
    const std::string& Line(size_t i) const
    {
        static const std::string kEmpty;
        return i < m_lines.size() ? m_lines[i] : kEmpty;
    }
};

// Whether a type line starts with a decimal number (white space and a sign allowed).
bool IsTypeLine(const std::string& strLine)
{
    size_t i = 0;
    while (i < strLine.size() && (strLine[i] == ' ' || strLine[i] == '\t'))
        ++i;
    if (i < strLine.size() && (strLine[i] == '-' || strLine[i] == '+'))
        ++i;
    return i < strLine.size() && strLine[i] >= '0' && strLine[i] <= '9';
}

// The record at line i when the lines there have a record's shape: a name, both
// tokens, a URL, a type line with a number, a prefix, then the suffix and, for
// the paging types 0 and 3, the next-page command. Sets *pLines to its length.
bool ReadRecord(const CCatalogueLines& lines, size_t i, CSearchEngine& engine, size_t* pLines)
{
    const size_t nComplete = lines.m_lines.size() - (lines.m_bLastLineOpen ? 1 : 0);
    if (i + 6 > nComplete || !IsTypeLine(lines.Line(i + 4)))
        return false;
    engine = CSearchEngine{};
    engine.m_strName = lines.Line(i);
    engine.m_strStartToken = lines.Line(i + 1);
    engine.m_strEndToken = lines.Line(i + 2);
    engine.m_strUrl = lines.Line(i + 3);
    engine.m_nSearchType = ParseLeadingInt(lines.Line(i + 4));
    engine.m_strPrefix = lines.Line(i + 5);
    engine.m_strSuffix = lines.Line(i + 6);
    *pLines = 7;
    if (engine.HasNextPageLine()) {
        engine.m_strNextPage = lines.Line(i + 7);
        *pLines = 8;
    }
    return engine.IsValid();
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
    const CCatalogueLines lines(bytes);
    std::vector<CSearchEngine> engines;
    int nDropped = 0;
    bool bInDamage = false; // lines skipped since the last record, not all blank
    for (size_t i = 0; i < lines.m_lines.size();) {
        CSearchEngine engine;
        size_t nLines = 0;
        if (ReadRecord(lines, i, engine, &nLines)) {
            engines.push_back(std::move(engine));
            i += nLines;
            bInDamage = false;
            continue;
        }
        // Not a record here: the next one starts at the next line that has a
        // record's shape. A run of lines skipped counts as one lost record.
        if (!lines.m_lines[i].empty() && !bInDamage) {
            ++nDropped;
            bInDamage = true;
        }
        ++i;
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
