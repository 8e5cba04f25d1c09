// SPDX-License-Identifier: MIT
#include "ScriptPages.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace qtest {

namespace {

constexpr const char* kFillList =
    "<ol id=\"r\"></ol><script>"
    "for (let i = 1; i <= 5; ++i) { const li = document.createElement('li'); li.className = 'hit';"
    " li.innerHTML = '<a href=\"https://r' + i + '.example/\">Red apple ' + i + '</a> about red apples';"
    " document.getElementById('r').appendChild(li); }</script>";

std::string PlainList()
{
    std::string strList = "<ol id=\"r\">";
    for (int i = 1; i <= 5; ++i)
        strList += std::string(kScriptHitToken) + "https://r" + std::to_string(i) + ".example/\">Red apple " +
                   std::to_string(i) + "</a> about red apples</li>";
    return strList + "</ol>";
}

} // namespace

CReply ScriptPage(const CRecordedRequest& request)
{
    // Asked as a proxy ("GET http://host/path"), the path is what follows the host.
    std::string strPath = request.m_strPath;
    if (strPath.rfind("http://", 0) == 0)
        strPath = strPath.substr(std::min(strPath.size(), strPath.find('/', 7)));
    if (strPath == "/wall" || strPath == "/stuck")
        return CReply::Ok(std::string("<html><head><noscript><meta http-equiv=\"refresh\" "
                                      "content=\"0;url=/httpservice/retry/enablejs?sei=1\"></noscript></head><body>"
                                      "<noscript><div>Please click <a href=\"/httpservice/retry/enablejs?sei=1\">here"
                                      "</a> if you are not redirected within a few seconds.</div></noscript>") +
                          (strPath == "/wall" ? kFillList : "<script>let nothing;</script>") + "</body></html>");
    if (strPath == "/fetched")
        return CReply::Ok("<html><body><ol id=\"r\"></ol><script>fetch('/hits').then(r => r.text())"
                          ".then(t => { document.getElementById('r').innerHTML = t; });</script></body></html>");
    if (strPath == "/hits")
        return CReply::Ok(std::string(kScriptHitToken) + "https://f1.example/\">Red apple fetched 1</a></li>" +
                          kScriptHitToken + "https://f2.example/\">Red apple fetched 2</a></li>");
    if (strPath == "/endless")
        return CReply::Ok("<html><body><ol id=\"r\"></ol><script>for (;;) {}</script></body></html>");
    if (strPath == "/plain")
        return CReply::Ok("<html><body>" + PlainList() + "</body></html>");
    return CReply::Ok(std::string("<html><body><h1>Site search</h1>") + kFillList + "</body></html>");
}

bool BrowserLeftBehind(const std::string& strFolder)
{
    std::error_code ec;
    if (!std::filesystem::is_empty(strFolder, ec) && !ec)
        return true;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        std::ifstream in(entry.path() / "cmdline");
        const std::string strCommand((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (strCommand.find(strFolder) != std::string::npos)
            return true;
    }
    return false;
}

} // namespace qtest
