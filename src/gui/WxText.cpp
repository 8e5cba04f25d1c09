// SPDX-License-Identifier: MIT
#include "gui/WxText.h"

#include "platform/Translate.h"

#include "platform/TextUtil.h"

wxString ToWx(std::string_view bytes)
{
    const std::string strUtf8 = ToValidUtf8(bytes);
    return wxString::FromUTF8(strUtf8.data(), strUtf8.size());
}

std::string FromWx(const wxString& text)
{
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

wxString TrWx(const char* pszText)
{
    return wxString::FromUTF8(Tr(pszText));
}

wxString TrWxN(const char* pszOne, const char* pszMany, unsigned long nCount)
{
    return wxString::FromUTF8(TrN(pszOne, pszMany, nCount));
}
