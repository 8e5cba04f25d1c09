#include "search/PageFetch.h"

#include "engines/SearchEngine.h"
#include "platform/CancelSignal.h"
#include "platform/InternetClient.h"
#include "platform/TextUtil.h"
#include "results/ResultsPage.h"
#include "search/SearchTexts.h"
#include "search/TemplateFormat.h"

#include <algorithm>
#include <cstring>

bool CFetchState::IsCancelled() const
{
    return m_pCancel && m_pCancel->IsSignalled();
}

void ReportStatus(CFetchState& fs, const std::string& strText)
{
    if (fs.g_hStatusWnd)
        fs.g_hStatusWnd->Status(strText);
}

void ReportInternetError(CFetchState& fs, const CInternetError& error)
{
    if (!fs.g_hStatusWnd)
        return;
    if (error.m_strText.empty())
        fs.g_hStatusWnd->Message(kMsgInternetException, kAppCaption);
    else
        fs.g_hStatusWnd->Message(error.m_strText.substr(0, kMaxErrorTextLength), kAppCaption);
}

namespace {

bool ReportCancelled(CFetchState& fs)
{
    if (fs.g_hStatusWnd)
        fs.g_hStatusWnd->StatusCancelled(kStatusFindCancelled);
    return false;
}

std::string WithUrl(const char* pszFormat, const std::string& strUrl)
{
    return FormatTemplate(pszFormat, {CTemplateArg::Text(strUrl)});
}

} // namespace

bool ConnectToServer(CFetchState& fs, const std::string& strHost)
{
    ReportStatus(fs, kStatusCreateConnection);
    const bool bSecure = fs.m_nScheme == kSchemeHttps;
    const uint16_t nPort = fs.g_nPort != 0 ? fs.g_nPort : (bSecure ? 443 : 80);
    if (fs.g_pConnection &&
        (fs.g_pConnection->GetServerName() != strHost || fs.g_pConnection->GetPort() != nPort ||
         fs.g_pConnection->IsSecure() != bSecure))
        fs.g_pConnection.reset();
    if (!fs.g_pConnection) {
        if (!fs.g_pSession || strHost.empty()) {
            ReportInternetError(fs, CInternetError{});
            return false;
        }
        fs.g_pConnection = std::make_unique<CHttpConnection>(*fs.g_pSession, strHost, nPort, bSecure);
    }
    ReportStatus(fs, FormatTemplate(kStatusConnectedTo, {CTemplateArg::Text(strHost)}));
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

bool ReadPageText(CFetchState& fs, IHttpResponse& response, const std::string& strUrl)
{
    std::string& page = fs.g_strPage;
    CInternetError error;
    std::string strLength;
    size_t nLength = 0;
    if (response.QueryHeader("Content-Length", &strLength) &&
        ParseContentLength(strLength, fs.m_nMaxPageBytes, &nLength)) {
        // One read of the announced length (it ends early when the body does).
        page.assign(nLength, '\0');
        size_t nRead = 0;
        while (nRead < nLength) {
            size_t n = 0;
            const bool bOk = response.Read(page.data() + nRead, nLength - nRead, &n, &error);
            nRead += n;
            if (!bOk && error.m_bCancelled)
                return ReportCancelled(fs);
            if (!bOk || n == 0)
                break;
        }
        page.resize(RemoveNulBytes(page.data(), nRead));
        return true;
    }

    // Block by block, with a progress text after each block.
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
        page.append(block, nTake);
        nTotal += nTake;
        ReportStatus(fs, FormatTemplate(kStatusKRead, {CTemplateArg::Int(static_cast<long long>(nTotal / 1024)),
                                                       CTemplateArg::Text(strUrl)}));
        if (!bOk || n == 0 || page.size() >= fs.m_nMaxPageBytes)
            return true;
    }
}

bool FetchPage(CFetchState& fs, const CSearchEngine& engine)
{
    fs.g_strPage.clear();
    const std::string& strUrl = engine.m_strUrl;
    if (!fs.g_pConnection) {
        ReportInternetError(fs, CInternetError{});
    } else {
        std::unique_ptr<CHttpRequest> pRequest =
            fs.g_pConnection->OpenRequest(fs.g_strObject, fs.m_pCancel);
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
            ReportStatus(fs, WithUrl(kStatusRetrieving, strUrl));
            if (!ReadPageText(fs, *pRequest, strUrl))
                return false;
        }
    }
    if (fs.IsCancelled())
        return ReportCancelled(fs);
    if (fs.g_bShowHtml)
        AppendToResultsPage(fs.m_strResultsPagePath, fs.g_strPage);
    ReportStatus(fs, kStatusFindComplete);
    return true;
}
