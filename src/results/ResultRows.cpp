// SPDX-License-Identifier: MIT
#include "results/ResultRows.h"

#include "platform/CancelSignal.h"

#include <algorithm>

int CResultRows::FindColumn(std::string_view heading)
{
    if (heading == kColumnDescription)
        return 0;
    if (heading == kColumnUrl)
        return 1;
    if (heading == kColumnEngine)
        return 2;
    return -1;
}

const std::string& CResultRows::Cell(const CSearchHit& hit, int nColumn)
{
    static const std::string kEmpty;
    switch (nColumn) {
    case 0:
        return hit.m_strDescription;
    case 1:
        return hit.m_strUrl;
    case 2:
        return hit.m_strEngine;
    default:
        return kEmpty;
    }
}

void CResultRows::IndexUrl(const std::string& url)
{
    ++m_urlCounts[url];
}

void CResultRows::UnindexUrl(const std::string& url)
{
    const auto it = m_urlCounts.find(url);
    if (it != m_urlCounts.end() && --it->second <= 0)
        m_urlCounts.erase(it);
}

void CResultRows::NotifyChanged()
{
    std::shared_ptr<const std::function<void()>> pListener;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        pListener = m_pListener;
    }
    if (pListener && *pListener)
        (*pListener)();
}

int CResultRows::FindRow(int nColumn, std::string_view text) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (nColumn < 0 || nColumn >= kColumnCount)
        return -1;
    if (nColumn == 1 && m_urlCounts.find(text) == m_urlCounts.end())
        return -1;
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (Cell(m_rows[i], nColumn) == text)
            return static_cast<int>(i);
    return -1;
}

bool CResultRows::ContainsUrl(std::string_view url) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_urlCounts.find(url) != m_urlCounts.end();
}

CResultRows::AppendResult CResultRows::AppendHit(CSearchHit hit, bool bSkipDuplicate,
                                                 const CCancelSignal* pCancel)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (pCancel && pCancel->IsSignalled())
            return AppendResult::Cancelled;
        if (bSkipDuplicate && m_urlCounts.find(hit.m_strUrl) != m_urlCounts.end())
            return AppendResult::Duplicate;
        IndexUrl(hit.m_strUrl);
        m_rows.push_back(std::move(hit));
        ++m_nVersion;
    }
    NotifyChanged();
    return AppendResult::Added;
}

void CResultRows::InsertRow(int nRow, CSearchHit hit)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto nPos = static_cast<size_t>(std::clamp<int>(nRow, 0, static_cast<int>(m_rows.size())));
        IndexUrl(hit.m_strUrl);
        m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(nPos), std::move(hit));
        ++m_nVersion;
        ++m_nStructureVersion;
        Journal(-1);
    }
    NotifyChanged();
}

bool CResultRows::SetRow(int nRow, CSearchHit hit)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (nRow < 0 || static_cast<size_t>(nRow) >= m_rows.size())
            return false;
        UnindexUrl(m_rows[static_cast<size_t>(nRow)].m_strUrl);
        IndexUrl(hit.m_strUrl);
        m_rows[static_cast<size_t>(nRow)] = std::move(hit);
        ++m_nVersion;
        ++m_nStructureVersion;
        Journal(-1);
    }
    NotifyChanged();
    return true;
}

int CResultRows::GetRowCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_rows.size());
}

std::string CResultRows::GetCell(int nRow, int nColumn) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (nRow < 0 || static_cast<size_t>(nRow) >= m_rows.size())
        return {};
    return Cell(m_rows[static_cast<size_t>(nRow)], nColumn);
}

bool CResultRows::GetRow(int nRow, CSearchHit& hit) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (nRow < 0 || static_cast<size_t>(nRow) >= m_rows.size())
        return false;
    hit = m_rows[static_cast<size_t>(nRow)];
    return true;
}

std::vector<CSearchHit> CResultRows::GetRows() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_rows;
}

bool CResultRows::DeleteRow(int nRow)
{
    return EraseRow(nRow, nullptr);
}

bool CResultRows::DeleteRowIf(int nRow, std::string_view url)
{
    return EraseRow(nRow, &url);
}

bool CResultRows::EraseRow(int nRow, const std::string_view* pUrl)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (nRow < 0 || static_cast<size_t>(nRow) >= m_rows.size() ||
            (pUrl && m_rows[static_cast<size_t>(nRow)].m_strUrl != *pUrl))
            return false;
        UnindexUrl(m_rows[static_cast<size_t>(nRow)].m_strUrl);
        m_rows.erase(m_rows.begin() + nRow);
        ++m_nVersion;
        ++m_nStructureVersion;
        Journal(nRow);
    }
    NotifyChanged();
    return true;
}

void CResultRows::DeleteAllRows()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_rows.clear();
        m_urlCounts.clear();
        ++m_nVersion;
        ++m_nStructureVersion;
        Journal(-1);
    }
    NotifyChanged();
}

uint64_t CResultRows::GetVersion() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nVersion;
}

void CResultRows::Journal(int nDeletedRow)
{
    m_journal.emplace_back(m_nStructureVersion, nDeletedRow);
    if (m_journal.size() > kJournalLength)
        m_journal.pop_front();
}

int CResultRows::GetChangesSince(uint64_t nStructureVersion, uint64_t* pNow, std::vector<int>* pDeletedRows) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    *pNow = m_nStructureVersion;
    pDeletedRows->clear();
    bool bOnlyDeletions = nStructureVersion == m_nStructureVersion ||
                          (!m_journal.empty() && m_journal.front().first <= nStructureVersion + 1);
    for (const auto& [nVersion, nRow] : m_journal) {
        if (!bOnlyDeletions)
            break;
        if (nVersion <= nStructureVersion)
            continue;
        if (nRow < 0)
            bOnlyDeletions = false;
        else
            pDeletedRows->push_back(nRow);
    }
    if (!bOnlyDeletions)
        pDeletedRows->clear();
    return bOnlyDeletions ? static_cast<int>(m_rows.size()) : -1 - static_cast<int>(m_rows.size());
}

void CResultRows::SetChangeListener(std::function<void()> listener)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pListener = std::make_shared<const std::function<void()>>(std::move(listener));
}
