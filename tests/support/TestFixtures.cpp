// SPDX-License-Identifier: MIT
#include "TestFixtures.h"

#include "platform/CancelSignal.h"
#include "search/QueryComposer.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace qtest {

CTempDir::CTempDir()
{
    std::string strTemplate = (std::filesystem::temp_directory_path() / "questrel-test-XXXXXX").string();
    if (::mkdtemp(strTemplate.data()))
        m_strPath = strTemplate;
}

CTempDir::~CTempDir()
{
    std::error_code ec;
    if (!m_strPath.empty())
        std::filesystem::remove_all(m_strPath, ec);
}

CCurrentDirectory::CCurrentDirectory(const std::string& strPath)
{
    std::error_code ec;
    m_strPrevious = std::filesystem::current_path(ec).string();
    std::filesystem::current_path(strPath, ec);
}

CCurrentDirectory::~CCurrentDirectory()
{
    std::error_code ec;
    std::filesystem::current_path(m_strPrevious, ec);
}

void CRecordingHost::PostStatusText(const std::string& strText)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_statusTexts.push_back(strText);
}

void CRecordingHost::ShowMessageBox(const std::string& strText, const std::string&,
                                    const CCancelSignal&)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_messages.push_back(strText);
}

void CRecordingHost::SearchDone(const CCancelSignal&)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_nSearchDone;
}

std::vector<std::string> CRecordingHost::GetStatusTexts() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_statusTexts;
}

std::vector<std::string> CRecordingHost::GetMessages() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messages;
}

int CRecordingHost::GetSearchDoneCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nSearchDone;
}

bool WaitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::string ReadFile(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& strPath, const std::string& bytes)
{
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    out << bytes;
}

CSearchEngine TestEngine(const std::string& strName, int nType, const std::string& strUrl,
                         const std::string& strPrefix, const std::string& strSuffix, const std::string& strNext,
                         const std::string& strStartToken)
{
    CSearchEngine engine;
    engine.m_strName = strName;
    engine.m_nSearchType = nType;
    engine.m_strUrl = strUrl;
    engine.m_strPrefix = strPrefix;
    engine.m_strSuffix = strSuffix;
    engine.m_strNextPage = strNext;
    engine.m_strStartToken = strStartToken;
    engine.m_strEndToken = "</a>";
    return engine;
}

CSearchJob SearchJobFor(std::vector<CSearchEngine> engines, CInternetSession* pSession, ISearchHost* pHost,
                        CResultRows* pRows)
{
    CSearchJob job;
    job.m_engines = std::move(engines);
    job.m_pSession = pSession;
    job.m_pHost = pHost;
    job.m_pResultList = pRows;
    job.m_strQueryTerm = ComposeQueryTerm("red apple", kOptionAllWords);
    job.m_pCancel = std::make_shared<CCancelSignal>();
    return job;
}

} // namespace qtest
