// SPDX-License-Identifier: MIT
// Compressed answers: the input's first byte picks the Content-Encoding
// (gzip, deflate, br, zstd, or two of them in a row), the rest is the body.
// Whatever it inflates to, the page keeps at most its cap, and the decoding
// stops there: a bomb in the corpus would otherwise pass the memory limit.

#include "FuzzAnswerServer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static const char* const kEncodings[] = {"gzip", "deflate", "br", "zstd", "gzip, gzip", "deflate, zstd"};
    if (nSize == 0)
        return 0;
    const char* pszEncoding = kEncodings[pData[0] % (sizeof kEncodings / sizeof kEncodings[0])];
    const std::string strBody(reinterpret_cast<const char*>(pData) + 1, nSize - 1);
    const bool bLength = (pData[0] & 0x80) != 0;
    fuzz::SetAnswer(std::string("HTTP/1.1 200 OK\r\nContent-Encoding: ") + pszEncoding + "\r\n" +
                    (bLength ? "Content-Length: " + std::to_string(strBody.size()) + "\r\n" : "") +
                    "Connection: close\r\n\r\n" + strBody);
    CFetchState fs;
    fuzz::FetchAnswer(fs, 1u << 20);
    return 0;
}
