// SPDX-License-Identifier: MIT
#pragma once

// Several GET requests at once, on the calling thread, each judged by the status
// of its final response alone (redirects followed, the body never read). Used to
// check many links without a round trip after another.

#include <deque>
#include <memory>
#include <string>
#include <vector>

class CCancelSignal;
class CHttpConnection;

struct CHttpCheckResult
{
    int m_nId = 0;
    bool m_bAnswered = false; // a final response arrived
    long m_nStatus = 0;       // its status code
    std::string m_strError;   // why not, when not answered
};

class CHttpCheckSet
{
public:
    explicit CHttpCheckSet(CCancelSignal* pCancel);
    ~CHttpCheckSet();
    CHttpCheckSet(const CHttpCheckSet&) = delete;
    CHttpCheckSet& operator=(const CHttpCheckSet&) = delete;

    // Starts a check of the object on the connection's server; returns its id.
    int Add(const CHttpConnection& connection, const std::string& strObject);
    // Waits for the next finished check. False when none is pending or the
    // search was cancelled.
    bool WaitForNext(CHttpCheckResult& result);

private:
    struct CCheck;
    void Finish(CCheck& check, bool bAnswered, const std::string& strError);

    struct CMultiOwner;
    CCancelSignal* m_pCancel;
    std::unique_ptr<CMultiOwner> m_pMulti;
    int m_nWaker = 0;
    int m_nNextId = 1;
    std::vector<std::unique_ptr<CCheck>> m_checks; // taken out of the multi handle before it goes
    std::deque<CHttpCheckResult> m_finished;
};
