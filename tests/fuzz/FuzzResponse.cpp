// SPDX-License-Identifier: MIT
// Reading a response body into the page text, by announced length or block by
// block, with the reads and the Content-Length header fed from the input.
// Input: a header line ("-" for no Content-Length), LF, then chunks, each a
// length byte and that many bytes; a length byte of 0xFF fails the read there.

#include "platform/InternetClient.h"
#include "search/FetchState.h"
#include "search/PageFetch.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

class CFedResponse : public IHttpResponse
{
public:
    CFedResponse(std::string strLength, const std::string& body) : m_strLength(std::move(strLength))
    {
        for (size_t nPos = 0; nPos < body.size();) {
            const auto nChunk = static_cast<unsigned char>(body[nPos++]);
            if (nChunk == 0xFF) {
                m_pieces.push_back({{}, true});
                continue;
            }
            m_pieces.push_back({body.substr(nPos, nChunk), false});
            nPos += nChunk;
        }
    }

    bool QueryHeader(const char* pszName, std::string* pValue) const override
    {
        if (m_strLength == "-" || std::strcmp(pszName, "Content-Length") != 0)
            return false;
        if (pValue)
            *pValue = m_strLength;
        return true;
    }

    // Like the system library: fills the whole request unless the data ends.
    bool Read(char* pBuffer, size_t nWanted, size_t* pRead, CInternetError* pError) override
    {
        *pRead = 0;
        while (*pRead < nWanted && m_nPiece < m_pieces.size()) {
            const CPiece& piece = m_pieces[m_nPiece];
            if (piece.m_bFail) {
                if (*pRead > 0)
                    return true;
                m_nPiece = m_pieces.size();
                pError->m_strText = "fed failure";
                return false;
            }
            const size_t nTake = std::min(piece.m_bytes.size() - m_nUsed, nWanted - *pRead);
            std::memcpy(pBuffer + *pRead, piece.m_bytes.data() + m_nUsed, nTake);
            *pRead += nTake;
            m_nUsed += nTake;
            if (m_nUsed == piece.m_bytes.size()) {
                ++m_nPiece;
                m_nUsed = 0;
            }
        }
        return true;
    }

private:
    struct CPiece
    {
        std::string m_bytes;
        bool m_bFail;
    };
    std::string m_strLength;
    std::vector<CPiece> m_pieces;
    size_t m_nPiece = 0;
    size_t m_nUsed = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string input(reinterpret_cast<const char*>(pData), nSize);
    const size_t nLf = input.find('\n');
    if (nLf == std::string::npos)
        return 0;
    CFedResponse response(input.substr(0, nLf), input.substr(nLf + 1));
    CFetchState fs;
    fs.m_nMaxPageBytes = 4096;
    if (!ReadPageText(fs, response, "http://fuzz/"))
        __builtin_trap(); // nothing cancels here
    if (fs.m_answer.m_strText.size() > fs.m_nMaxPageBytes || fs.m_answer.m_strText.find('\0') != std::string::npos)
        __builtin_trap();
    return 0;
}
