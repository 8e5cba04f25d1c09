#pragma once

// Owners of the library's handles and strings, so none leaks on an early return.

#include <curl/curl.h>
#include <memory>
#include <string>

struct CCurlUrlDeleter
{
    void operator()(CURLU* p) const { curl_url_cleanup(p); }
};
using CCurlUrlPtr = std::unique_ptr<CURLU, CCurlUrlDeleter>;

// One part of a parsed address as text; false when the part is absent.
inline bool GetUrlPart(CURLU* pUrl, CURLUPart part, unsigned nFlags, std::string* pValue)
{
    char* psz = nullptr;
    if (curl_url_get(pUrl, part, &psz, nFlags) != CURLUE_OK)
        return false;
    *pValue = psz ? psz : "";
    curl_free(psz);
    return true;
}
