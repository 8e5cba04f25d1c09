// SPDX-License-Identifier: MIT
// Address parsing and request-target encoding on any address.

#include "platform/CancelSignal.h"
#include "platform/InternetClient.h"
#include "search/RequestTarget.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string strAddress(reinterpret_cast<const char*>(pData), nSize);
    CFetchState fs; // no host: the "Invalid URL" message goes nowhere
    if (ParseRequestTarget(fs, strAddress)) {
        const std::string strTarget = EncodeRequestTarget(fs.m_strObject);
        for (const char c : strTarget) {
            const auto u = static_cast<unsigned char>(c);
            if (u <= 0x20 || u >= 0x7F)
                __builtin_trap();
        }
    }
    return 0;
}
