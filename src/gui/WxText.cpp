// SPDX-License-Identifier: MIT
#include "gui/WxText.h"

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
