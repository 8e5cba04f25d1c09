// SPDX-License-Identifier: MIT
#pragma once

// Internal to the internet client layer: the one way a GET request is set up on
// a curl handle, shared by single requests and by the check set.

#include "platform/Clock.h"
#include "platform/InternetClient.h"

#include <chrono>
#include <curl/curl.h>
#include <string>
#include <string_view>

// scheme://host:port + the encoded object.
std::string BuildRequestUrl(const CHttpConnection& connection, const std::string& strObject);

// HTTP/1.0 GET with redirects, agent, proxy mode and connect time-out of the
// session. The caller sets the header and write callbacks.
void ConfigureGet(CURL* pEasy, const CHttpConnection& connection, const std::string& strUrl,
                  char* pszErrorBuffer);

// Follows the header lines of a transfer and tells when the final response's
// headers are complete (interim responses and redirects that will be followed
// do not count).
class CFinalHeaderTracker
{
public:
    explicit CFinalHeaderTracker(long nMaxRedirects) : m_nMaxRedirects(nMaxRedirects) {}
    // True when this line ends the final response's headers.
    bool OnLine(CURL* pEasy, std::string_view line);
    // The reason phrase of the last status line ("Forbidden"), maybe empty.
    const std::string& GetReasonPhrase() const { return m_strReason; }
    // Whether the last response named a Location: once the headers are final,
    // a redirect that was not followed because there were too many.
    bool SawLocation() const { return m_bSawLocation; }

private:
    long m_nMaxRedirects;
    std::string m_strReason;
    bool m_bSawLocation = false;
};

// The time-outs of a transfer: it fails when nothing arrived for the stall
// time, or when it is not over by its deadline, however it dribbles (a header
// line now and then, endless interim answers). The library's own low-speed
// check averages over seconds and reacts late.
class CStallWatch
{
public:
    CStallWatch(long nStallMs, long nDeadlineMs, const IClock& clock)
        : m_pClock(&clock), m_stall(nStallMs > 0 ? nStallMs : 1), m_deadline(nDeadlineMs > 0 ? nDeadlineMs : 1),
          m_start(clock.Now()), m_last(m_start)
    {
    }
    void Note() { m_last = m_pClock->Now(); }
    bool HasExpired() const
    {
        const IClock::TimePoint now = m_pClock->Now();
        return now - m_last > m_stall || now - m_start > m_deadline;
    }
    // The error text of an expired watch, in the library's words.
    void Describe(char* pszBuffer, size_t nSize) const;

private:
    const IClock* m_pClock;
    std::chrono::milliseconds m_stall;
    std::chrono::milliseconds m_deadline;
    IClock::TimePoint m_start;
    IClock::TimePoint m_last;
};
