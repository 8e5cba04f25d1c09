// SPDX-License-Identifier: MIT
#include "search/PageFetch.h"

#include "engines/SearchEngine.h"
#include "platform/CancelSignal.h"
#include "platform/InternetClient.h"
#include "platform/TextUtil.h"
#include "platform/Translate.h"
#include "results/ResultsPage.h"
#include "search/PageCharset.h"
#include "search/SearchTexts.h"
#include "search/TemplateFormat.h"

#include <algorithm>
#include <cstring>

bool CPageBudget::Take(size_t n)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (n > m_nMax - m_nUsed)
        return false;
    m_nUsed += n;
    return true;
}

void CPageBudget::Give(size_t n)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nUsed -= std::min(n, m_nUsed);
}

bool CFetchState::IsCancelled() const
{
    return m_pCancel && m_pCancel->IsSignalled();
}

bool CFetchState::TakeFromBudget(size_t n)
{
    if (!m_pPageBudget)
        return true;
    if (!m_pPageBudget->Take(n)) {
        m_bOverBudget = true;
        return false;
    }
    m_nBudgetHeld += n;
    return true;
}

void CFetchState::GiveBackBudget()
{
    if (m_pPageBudget)
        m_pPageBudget->Give(m_nBudgetHeld);
    m_nBudgetHeld = 0;
}

void CFetchState::Message(const std::string& strText)
{
    if (m_nMessageRoute == MessageRoute::Record)
        m_recordedMessages.push_back(strText);
    else if (m_nMessageRoute == MessageRoute::Show && m_pHost)
        m_pHost->Message(strText, kAppCaption);
}

void ReportStatus(CFetchState& fs, const std::string& strText)
{
    if (fs.m_pHost && !fs.m_bQuiet)
        fs.m_pHost->Status(strText);
}

void ReportInternetError(CFetchState& fs, const CInternetError& error)
{
    fs.m_answer.m_strError =
        error.m_strText.empty() ? kMsgInternetException : error.m_strText.substr(0, kMaxErrorTextLength);
    fs.Message(fs.m_strEngine.empty() ? fs.m_answer.m_strError : fs.m_strEngine + ": " + fs.m_answer.m_strError);
}

namespace {

bool ReportCancelled(CFetchState& fs)
{
    if (fs.m_pHost)
        fs.m_pHost->StatusCancelled(Tr(kStatusFindCancelled));
    return false;
}

std::string WithUrl(const char* pszFormat, const std::string& strUrl)
{
    return FormatTemplate(Tr(pszFormat), {CTemplateArg::Text(strUrl)});
}

} // namespace

bool ConnectToServer(CFetchState& fs, const std::string& strHost)
{
    fs.m_answer.m_strError.clear();
    ReportStatus(fs, Tr(kStatusCreateConnection));
    const bool bSecure = fs.m_nScheme == kSchemeHttps;
    const uint16_t nPort = fs.m_nPort != 0 ? fs.m_nPort : (bSecure ? 443 : 80);
    if (fs.m_pConnection &&
        (fs.m_pConnection->GetServerName() != strHost || fs.m_pConnection->GetPort() != nPort ||
         fs.m_pConnection->IsSecure() != bSecure))
        fs.m_pConnection.reset();
    if (!fs.m_pConnection) {
        if (!fs.m_pSession || strHost.empty()) {
            ReportInternetError(fs, CInternetError{});
            return false;
        }
        fs.m_pConnection = std::make_unique<CHttpConnection>(*fs.m_pSession, strHost, nPort, bSecure);
    }
    ReportStatus(fs, FormatTemplate(Tr(kStatusConnectedTo), {CTemplateArg::Text(strHost)}));
    return true;
}

size_t RemoveNulBytes(char* pBlock, size_t nCount)
{
    char* pEnd = std::remove(pBlock, pBlock + nCount, '\0');
    const auto nKept = static_cast<size_t>(pEnd - pBlock);
    if (nKept < nCount)
        pBlock[nKept] = '\0';
    return nKept;
}

bool ParseContentLength(const std::string& strValue, size_t nMax, size_t* pLength)
{
    const std::string strDigits = TrimWhiteSpace(strValue);
    if (strDigits.empty())
        return false;
    size_t n = 0;
    for (const char c : strDigits) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + static_cast<size_t>(c - '0');
        if (n > nMax)
            return false;
    }
    *pLength = n;
    return true;
}

void CollectPage(CFetchState& fs)
{
    // Said even by a quiet fetch state: no other says it.
    if (fs.m_bCollectPages && !AppendToResultsPage(fs.m_strResultsPagePath, fs.m_answer.m_strText) && fs.m_pHost)
        fs.m_pHost->Status(
            FormatTemplate(Tr(kStatusResultsPageNotWritten), {CTemplateArg::Text(fs.m_strResultsPagePath)}));
}

bool HasOneLength(const std::string& strValues)
{
    const size_t nComma = strValues.find(',');
    if (nComma == std::string::npos)
        return true;
    const std::string strFirst = TrimWhiteSpace(std::string_view(strValues).substr(0, nComma));
    size_t i = nComma;
    while (i != std::string::npos) {
        const size_t nNext = strValues.find(',', i + 1);
        const std::string strValue = TrimWhiteSpace(std::string_view(strValues).substr(i + 1, nNext == std::string::npos ? nNext : nNext - i - 1));
        if (strValue != strFirst)
            return false;
        i = nNext;
    }
    return true;
}

bool ReadPageText(CFetchState& fs, IHttpResponse& response, const std::string& strUrl)
{
    std::string& page = fs.m_answer.m_strText;
    CInternetError error;
    std::string strLength, strEncoding;
    size_t nLength = 0;
    // The length of a compressed answer is not the length of its text, and a
    // transfer coding (chunked) wins over any Content-Length.
    const bool bEncoded = (response.QueryHeader("Content-Encoding", &strEncoding) &&
                           !EqualsNoCase(TrimWhiteSpace(strEncoding), "identity")) ||
                          response.QueryHeader("Transfer-Encoding", nullptr);
    const bool bLength = !bEncoded && response.QueryHeader("Content-Length", &strLength);
    if (bLength && !HasOneLength(strLength)) {
        // Lengths that contradict each other: no length of the answer can be trusted.
        CInternetError conflict;
        conflict.m_strText = "The answer gave conflicting lengths (Content-Length: " + strLength + ")";
        ReportInternetError(fs, conflict);
        return true;
    }
    if (bLength && ParseContentLength(strLength.substr(0, strLength.find(',')), fs.m_nMaxPageBytes, &nLength)) {
        // One read of the announced length (it ends early when the body does).
        if (!fs.TakeFromBudget(nLength))
            return false;
        page.assign(nLength, '\0');
        size_t nRead = 0;
        while (nRead < nLength) {
            size_t n = 0;
            const bool bOk = response.Read(page.data() + nRead, nLength - nRead, &n, &error);
            nRead += n;
            if (!bOk && error.m_bCancelled)
                return ReportCancelled(fs);
            if (!bOk)
                ReportInternetError(fs, error);
            if (!bOk || n == 0)
                break;
        }
        page.resize(RemoveNulBytes(page.data(), nRead));
        if (nRead == nLength && error.m_strText.empty()) {
            // The transfer's own end: an error after the announced bytes (a
            // redirect that never ends, a reset) is still the page's error.
            char chMore = 0;
            size_t n = 0;
            if (!response.Read(&chMore, 1, &n, &error)) {
                if (error.m_bCancelled)
                    return ReportCancelled(fs);
                ReportInternetError(fs, error);
            }
        }
        return true;
    }

    // Block by block, with a progress text after each block.
    const char* pszKRead = Tr(kStatusKRead);
    char block[kReadBlockSize + 1];
    size_t nTotal = 0;
    for (;;) {
        if (fs.IsCancelled())
            return ReportCancelled(fs);
        std::memset(block, 0, sizeof block);
        size_t n = 0;
        const bool bOk = response.Read(block, kReadBlockSize, &n, &error);
        if (!bOk && error.m_bCancelled)
            return ReportCancelled(fs);
        const size_t nText = RemoveNulBytes(block, n);
        const size_t nTake = std::min(nText, fs.m_nMaxPageBytes - page.size());
        if (nTake < nText)
            fs.m_answer.m_bTooLong = true;
        if (!fs.TakeFromBudget(nTake))
            return false;
        page.append(block, nTake);
        nTotal += nTake;
        ReportStatus(fs, FormatTemplate(pszKRead, {CTemplateArg::Int(static_cast<long long>(nTotal / 1024)),
                                                       CTemplateArg::Text(strUrl)}));
        // A transfer that breaks off (reset, stall) is an Internet error like a
        // failed send; what was read so far stays the page.
        if (!bOk)
            ReportInternetError(fs, error);
        if (!bOk || n == 0 || fs.m_answer.m_bTooLong)
            return true;
    }
}

namespace {

// A page whose results a script writes is loaded again in the browser engine,
// when the search allows it; the answer's status and address stay the plain
// fetch's. False when cancelled, or when the browser's page is over the
// budget (it is then not to be used).
bool LoadInBrowserWhenNeeded(CFetchState& fs, const CSearchEngine& engine)
{
    CPageAnswer& answer = fs.m_answer;
    if (!fs.m_pConnection || !answer.m_strError.empty() || answer.m_nStatus >= 400 || answer.m_nStatus == 0)
        return true;
    const CSessionOptions& options = fs.m_pConnection->GetSession().GetOptions();
    if (!fs.m_bBrowserEngine || !PageNeedsBrowser(answer.m_strText, engine.m_strStartToken, fs.m_nBrowserRule))
        return true;
    ReportStatus(fs, FormatTemplate(Tr(kStatusBrowserLoading), {CTemplateArg::Text(answer.m_strUrl)}));
    if (!LoadAnswerInBrowser(options, answer, fs.m_pCancel) || fs.IsCancelled())
        return ReportCancelled(fs);
    if (!answer.m_bByBrowser)
        return true;
    fs.GiveBackBudget();
    return fs.TakeFromBudget(answer.m_strText.size());
}

} // namespace

bool FetchPage(CFetchState& fs, const CSearchEngine& engine)
{
    fs.GiveBackBudget(); // the last page is not kept
    fs.m_bOverBudget = false;
    fs.m_answer = CPageAnswer{};
    const std::string& strUrl = engine.m_strUrl;
    if (!fs.m_pConnection) {
        ReportInternetError(fs, CInternetError{});
    } else {
        std::unique_ptr<CHttpRequest> pRequest =
            fs.m_pConnection->OpenRequest(fs.m_strObject, fs.m_pCancel);
        fs.m_answer.m_strAddress = fs.m_answer.m_strUrl = pRequest->GetUrl();
        // The reader keeps at most the cap; a block more tells it the page was longer.
        pRequest->SetMaxBodyBytes(fs.m_nMaxPageBytes + kReadBlockSize);
        ReportStatus(fs, WithUrl(kStatusSending, strUrl));
        if (fs.IsCancelled())
            return ReportCancelled(fs);
        CInternetError error;
        if (!pRequest->Send(&error)) {
            if (error.m_bCancelled || fs.IsCancelled())
                return ReportCancelled(fs);
            ReportInternetError(fs, error);
        } else {
            if (fs.IsCancelled())
                return ReportCancelled(fs);
            fs.m_answer.m_strUrl = pRequest->GetEffectiveUrl();
            fs.m_answer.m_nStatus = pRequest->GetStatusCode();
            fs.m_answer.m_strReason = pRequest->GetReasonPhrase();
            ReportStatus(fs, WithUrl(kStatusRetrieving, strUrl));
            if (!ReadPageText(fs, *pRequest, strUrl))
                return false;
            // Every page is read as UTF-8 from here on, within the cap (a page
            // converted may grow past it); what it grew by counts too.
            std::string strType;
            pRequest->QueryHeader("Content-Type", &strType);
            std::string& text = fs.m_answer.m_strText;
            const size_t nRead = text.size();
            MakePageUtf8(text, strType);
            if (text.size() > fs.m_nMaxPageBytes) {
                text.resize(Utf8SafeCutLength(text, fs.m_nMaxPageBytes));
                fs.m_answer.m_bTooLong = true;
            }
            if (text.size() > nRead && !fs.TakeFromBudget(text.size() - nRead))
                return false;
        }
    }
    if (fs.IsCancelled())
        return ReportCancelled(fs);
    if (!LoadInBrowserWhenNeeded(fs, engine))
        return false;
    if (!fs.m_bKeepPagesOut)
        CollectPage(fs);
    ReportStatus(fs, Tr(kStatusFindComplete));
    return true;
}
