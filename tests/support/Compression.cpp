// SPDX-License-Identifier: MIT
#include "Compression.h"

#include <vector>
#include <zlib.h>
#include <zstd.h>

namespace qtest {

namespace {

constexpr size_t kChunk = 1u << 20;

std::string Deflated(int nWindowBits, char c, size_t nCount)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, nWindowBits, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    const std::string input(kChunk, c);
    std::vector<unsigned char> output(kChunk);
    std::string out;
    size_t nLeft = nCount;
    int nFlush = Z_NO_FLUSH;
    do {
        const size_t nIn = std::min(nLeft, kChunk);
        nLeft -= nIn;
        nFlush = nLeft == 0 ? Z_FINISH : Z_NO_FLUSH;
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
        stream.avail_in = static_cast<uInt>(nIn);
        do {
            stream.next_out = output.data();
            stream.avail_out = static_cast<uInt>(output.size());
            deflate(&stream, nFlush);
            out.append(reinterpret_cast<const char*>(output.data()), output.size() - stream.avail_out);
        } while (stream.avail_out == 0);
    } while (nFlush != Z_FINISH);
    deflateEnd(&stream);
    return out;
}

std::string Zstd(char c, size_t nCount)
{
    ZSTD_CCtx* pContext = ZSTD_createCCtx();
    const std::string input(kChunk, c);
    std::vector<char> output(ZSTD_CStreamOutSize());
    std::string out;
    size_t nLeft = nCount;
    for (;;) {
        const size_t nIn = std::min(nLeft, kChunk);
        nLeft -= nIn;
        const ZSTD_EndDirective mode = nLeft == 0 ? ZSTD_e_end : ZSTD_e_continue;
        ZSTD_inBuffer in{input.data(), nIn, 0};
        bool bFinished = false;
        do {
            ZSTD_outBuffer outBuffer{output.data(), output.size(), 0};
            const size_t nRemaining = ZSTD_compressStream2(pContext, &outBuffer, &in, mode);
            out.append(output.data(), outBuffer.pos);
            bFinished = mode == ZSTD_e_end ? nRemaining == 0 : in.pos == in.size;
            if (ZSTD_isError(nRemaining))
                bFinished = true;
        } while (!bFinished);
        if (mode == ZSTD_e_end)
            break;
    }
    ZSTD_freeCCtx(pContext);
    return out;
}

} // namespace

std::string CompressedRepeat(const std::string& strEncoding, char c, size_t nCount)
{
    if (strEncoding == "gzip")
        return Deflated(15 + 16, c, nCount);
    if (strEncoding == "deflate")
        return Deflated(15, c, nCount);
    if (strEncoding == "zstd")
        return Zstd(c, nCount);
    return {};
}

} // namespace qtest
