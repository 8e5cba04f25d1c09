// SPDX-License-Identifier: MIT
#include "document/SearchDocument.h"

#include "platform/FileUtil.h"
#include "platform/TextUtil.h"
#include "search/extract/HitExtraction.h"

namespace {

void PutInt(std::string& out, int32_t n)
{
    const auto u = static_cast<uint32_t>(n);
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((u >> (8 * i)) & 0xFF);
}

void PutString(std::string& out, const std::string& s)
{
    PutInt(out, static_cast<int32_t>(s.size()));
    out += s;
}

// Reads values without ever going past the end; the first failure sticks.
class CDocumentReader
{
public:
    explicit CDocumentReader(const std::string& bytes) : m_bytes(bytes) {}
    bool IsOk() const { return m_bOk; }

    int32_t Int()
    {
        if (!m_bOk || m_bytes.size() - m_nPos < 4) {
            m_bOk = false;
            return 0;
        }
        uint32_t u = 0;
        for (int i = 0; i < 4; ++i)
            u |= static_cast<uint32_t>(static_cast<unsigned char>(m_bytes[m_nPos + i])) << (8 * i);
        m_nPos += 4;
        return static_cast<int32_t>(u);
    }

    // A count of items of at least nMinItemBytes each.
    uint32_t Count(size_t nMinItemBytes)
    {
        const int32_t n = Int();
        if (!m_bOk || n < 0 || static_cast<uint32_t>(n) > kMaxDocumentValue ||
            static_cast<size_t>(n) * nMinItemBytes > m_bytes.size() - m_nPos) {
            m_bOk = false;
            return 0;
        }
        return static_cast<uint32_t>(n);
    }

    // Steps over a string.
    void Skip()
    {
        const uint32_t n = Count(1);
        if (m_bOk)
            m_nPos += n;
    }

    // The string's bytes up to its first NUL, if any.
    std::string String()
    {
        const uint32_t n = Count(1);
        if (!m_bOk)
            return {};
        std::string s = m_bytes.substr(m_nPos, n);
        m_nPos += n;
        const size_t nNul = s.find('\0');
        if (nNul != std::string::npos)
            s.resize(nNul);
        return s;
    }

private:
    const std::string& m_bytes;
    size_t m_nPos = 0;
    bool m_bOk = true;
};

} // namespace

void ApplyDocumentSettings(const CSearchDocumentData& data, CSearchSettings& settings)
{
    settings.m_nHitLimit = data.m_nMaxHits;
    settings.m_nSearchOption = data.m_nSearchOption;
    settings.m_strQuery = data.m_strCriteria;
}

void StoreDocumentSettings(const CSearchSettings& settings, CSearchDocumentData& data)
{
    data.m_nMaxHits = settings.m_nHitLimit;
    data.m_nSearchOption = settings.m_nSearchOption;
    data.m_strCriteria = settings.m_strQuery;
}

std::string EncodeSearchDocument(const CSearchDocumentData& data)
{
    std::string out;
    PutInt(out, data.m_nMaxHits);
    PutInt(out, data.m_nSearchOption);
    PutString(out, data.m_strCriteria);
    PutInt(out, static_cast<int32_t>(data.m_engines.size()));
    for (const std::string& strName : data.m_engines)
        PutString(out, strName);
    PutInt(out, static_cast<int32_t>(data.m_hits.size()));
    for (const CSearchHit& hit : data.m_hits) {
        PutString(out, hit.m_strDescription);
        PutString(out, hit.m_strUrl);
        PutString(out, hit.m_strEngine);
    }
    return out;
}

bool VisitSearchDocument(const std::string& bytes, const std::function<void(const CSearchDocumentData&)>& onHeader,
                         const std::function<void(CSearchHit&&)>& onHit)
{
    // A first walk checks the whole document, so nothing is handed on from one
    // that turns out to be damaged; the second hands on one hit at a time.
    CDocumentReader check(bytes);
    check.Int();
    check.Int();
    check.Skip();
    const uint32_t nCheckEngines = check.Count(4);
    for (uint32_t i = 0; check.IsOk() && i < nCheckEngines; ++i)
        check.Skip();
    const uint32_t nCheckHits = check.Count(12);
    for (uint32_t i = 0; check.IsOk() && i < 3 * nCheckHits; ++i)
        check.Skip();
    if (!check.IsOk())
        return false;

    CDocumentReader reader(bytes);
    CSearchDocumentData header;
    header.m_nMaxHits = reader.Int();
    header.m_nSearchOption = reader.Int();
    header.m_strCriteria = reader.String();
    const uint32_t nEngines = reader.Count(4);
    for (uint32_t i = 0; i < nEngines; ++i)
        header.m_engines.push_back(reader.String());
    onHeader(header);
    const uint32_t nHits = reader.Count(12);
    for (uint32_t i = 0; i < nHits; ++i) {
        CSearchHit hit;
        hit.m_strDescription = reader.String();
        // A description holds at most what extraction keeps: a document made
        // elsewhere with megabytes of one never reaches the list that way.
        if (hit.m_strDescription.size() > kMaxDescriptionLength)
            hit.m_strDescription.resize(Utf8SafeCutLength(hit.m_strDescription, kMaxDescriptionLength));
        hit.m_strUrl = reader.String();
        hit.m_strEngine = reader.String();
        onHit(std::move(hit));
    }
    return true;
}

bool DecodeSearchDocument(const std::string& bytes, CSearchDocumentData& data)
{
    CSearchDocumentData read;
    if (!VisitSearchDocument(
            bytes, [&read](const CSearchDocumentData& header) { read = header; },
            [&read](CSearchHit&& hit) { read.m_hits.push_back(std::move(hit)); }))
        return false;
    data = std::move(read);
    return true;
}

namespace {

// Whether the reader will take the document back: no length or count above the limit.
bool IsStorable(const CSearchDocumentData& data)
{
    auto fits = [](size_t n) { return n <= kMaxDocumentValue; };
    if (!fits(data.m_strCriteria.size()) || !fits(data.m_engines.size()) || !fits(data.m_hits.size()))
        return false;
    for (const std::string& strName : data.m_engines)
        if (!fits(strName.size()))
            return false;
    for (const CSearchHit& hit : data.m_hits)
        if (!fits(hit.m_strDescription.size()) || !fits(hit.m_strUrl.size()) || !fits(hit.m_strEngine.size()))
            return false;
    return true;
}

} // namespace

bool SaveSearchDocument(const std::string& strPath, const CSearchDocumentData& data, std::string* pMessage)
{
    std::string bytes;
    const bool bFits = IsStorable(data) && (bytes = EncodeSearchDocument(data)).size() <= kMaxDocumentBytes;
    if (bFits && WriteFileAtomically(strPath, bytes))
        return true;
    if (pMessage)
        *pMessage = bFits ? kMsgFailedToSaveDocument : kMsgDocumentTooLarge;
    return false;
}

bool LoadSearchDocument(const std::string& strPath, CSearchDocumentData& data)
{
    std::string bytes;
    return ReadFileBytes(strPath, bytes, kMaxDocumentBytes) && DecodeSearchDocument(bytes, data);
}

std::vector<bool> MatchTickedEngines(const std::vector<std::string>& names,
                                     const std::vector<CSearchEngine>& catalogue)
{
    std::vector<bool> ticked(catalogue.size(), false);
    for (const std::string& strName : names) {
        for (size_t i = 0; i < catalogue.size(); ++i) {
            if (EqualsNoCase(catalogue[i].m_strName, strName)) {
                ticked[i] = true;
                break;
            }
        }
    }
    return ticked;
}
