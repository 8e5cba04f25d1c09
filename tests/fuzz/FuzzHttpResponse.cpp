// SPDX-License-Identifier: MIT
// Raw HTTP answers, headers and all, through the network library and the page
// reader: a loopback server sends the input as the whole answer to each
// request, and the page is fetched as a search fetches it.

#include "FuzzAnswerServer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    fuzz::SetAnswer(std::string(reinterpret_cast<const char*>(pData), nSize));
    CFetchState fs;
    fuzz::FetchAnswer(fs, 1u << 20);
    return 0;
}
