// SPDX-License-Identifier: MIT
#pragma once

// Shared helpers of the tests: a temporary folder sandbox, a host that records
// what a search run tells it, and WaitFor.

#include "engines/SearchEngine.h"
#include "platform/Clock.h"
#include "platform/SearchHost.h"
#include "search/SearchJob.h"

#include <atomic>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace qtest {

// A fresh folder under the system's temporary folder, removed with its content.
class CTempDir
{
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::string& GetPath() const { return m_strPath; }
    std::string File(const std::string& strName) const { return m_strPath + "/" + strName; }

private:
    std::string m_strPath;
};

// Makes a folder the current directory for the life of the object.
class CCurrentDirectory
{
public:
    explicit CCurrentDirectory(const std::string& strPath);
    ~CCurrentDirectory();

private:
    std::string m_strPrevious;
};

// Records status texts, message boxes and the end-of-search notice.
class CRecordingHost : public ISearchHost
{
public:
    void PostStatusText(const std::string& strText) override;
    void ShowMessageBox(const std::string& strText, const std::string& strCaption,
                        const CCancelSignal& cancel) override;
    void SearchDone(const CCancelSignal& cancel) override;

    std::vector<std::string> GetStatusTexts() const;
    std::vector<std::string> GetMessages() const;
    int GetSearchDoneCount() const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_statusTexts;
    std::vector<std::string> m_messages;
    int m_nSearchDone = 0;
};

// An engine for tests: hits are "<li><a href=..." links up to "</a>".
CSearchEngine TestEngine(const std::string& strName, int nType, const std::string& strUrl,
                         const std::string& strPrefix, const std::string& strSuffix = "",
                         const std::string& strNext = "", const std::string& strStartToken = "<li><a href=\"http");

// A search job for "red apple" (all words) over the engines, into the rows,
// with a cancel signal of its own.
CSearchJob SearchJobFor(std::vector<CSearchEngine> engines, CInternetSession* pSession, ISearchHost* pHost,
                        CResultRows* pRows);

// A clock moved by hand, so a time-out test does not wait for the time-out.
class CManualClock : public IClock
{
public:
    TimePoint Now() const override { return TimePoint(std::chrono::milliseconds(m_nMs.load())); }
    void Advance(std::chrono::milliseconds by) { m_nMs += by.count(); }
    void Set(std::chrono::milliseconds at) { m_nMs = at.count(); }

private:
    std::atomic<long long> m_nMs{0};
};

bool WaitFor(const std::function<bool()>& predicate,
             std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

std::string ReadFile(const std::string& strPath);
void WriteFile(const std::string& strPath, const std::string& bytes);

} // namespace qtest
