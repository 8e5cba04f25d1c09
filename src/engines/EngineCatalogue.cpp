#include "engines/EngineCatalogue.h"

#include "platform/FileUtil.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <climits>
#include <unistd.h>

namespace {

// Reads catalogue lines: every value is one line, trailing white space (and so
// the CR of a CR LF) trimmed, leading white space kept, no length limit.
class CLineReader
{
public:
    explicit CLineReader(const std::string& bytes) : m_bytes(bytes) {}

    bool AtEnd() const { return m_nPos >= m_bytes.size(); }

    // *pEndedWithLineFeed tells whether the line was closed by a line feed.
    std::string ReadLine(bool* pEndedWithLineFeed = nullptr)
    {
        const size_t nStart = m_nPos;
        const size_t nLf = m_bytes.find('\n', nStart);
        const bool bLf = nLf != std::string::npos;
        const size_t nEnd = bLf ? nLf : m_bytes.size();
        m_nPos = bLf ? nLf + 1 : m_bytes.size();
        if (pEndedWithLineFeed)
            *pEndedWithLineFeed = bLf;
        return TrimTrailingWhiteSpace(std::string_view(m_bytes).substr(nStart, nEnd - nStart));
    }

private:
    const std::string& m_bytes;
    size_t m_nPos = 0;
};

} // namespace

std::vector<CSearchEngine> ParseEngines(const std::string& bytes)
{
    std::vector<CSearchEngine> engines;
    CLineReader reader(bytes);
    while (!reader.AtEnd()) {
        CSearchEngine engine;
        bool bLineFeed = false;
        engine.m_strName = reader.ReadLine(&bLineFeed);
        // A name that is the file's last line, not closed by a line feed, ends the file.
        if (!bLineFeed)
            break;
        engine.m_strStartToken = reader.ReadLine();
        engine.m_strEndToken = reader.ReadLine();
        engine.m_strUrl = reader.ReadLine();
        engine.m_nSearchType = ParseLeadingInt(reader.ReadLine());
        engine.m_strPrefix = reader.ReadLine();
        engine.m_strSuffix = reader.ReadLine();
        if (engine.HasNextPageLine())
            engine.m_strNextPage = reader.ReadLine();
        if (engine.IsValid())
            engines.push_back(std::move(engine));
    }
    SortEngines(engines);
    return engines;
}

std::string FormatEngines(const std::vector<CSearchEngine>& engines)
{
    std::string out;
    auto line = [&out](const std::string& strValue) {
        out += strValue;
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

bool LoadEngines(const std::string& strPath, std::vector<CSearchEngine>& engines)
{
    engines.clear();
    std::string bytes;
    if (!ReadFileBytes(strPath, bytes, kMaxCatalogueBytes))
        return false;
    engines = ParseEngines(bytes);
    return true;
}

bool SaveEngines(const std::string& strPath, const std::vector<CSearchEngine>& engines)
{
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
