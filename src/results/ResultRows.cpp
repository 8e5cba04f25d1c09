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

void CResultRows::IndexUrl(const std::string& url, uint64_t nId)
{
    CUrlEntry& entry = m_urlCounts[url];
    ++entry.m_nCount;
    entry.m_nLastId = nId;
}

int CResultRows::FindId(uint64_t nId) const
{
    if (m_bIdsInOrder) {
        const auto it = std::lower_bound(m_ids.begin(), m_ids.end(), nId);
        return it != m_ids.end() && *it == nId ? static_cast<int>(it - m_ids.begin()) : -1;
    }
    const auto it = std::find(m_ids.begin(), m_ids.end(), nId);
    return it != m_ids.end() ? static_cast<int>(it - m_ids.begin()) : -1;
}

void CResultRows::UnindexUrl(const std::string& url)
{
    const auto it = m_urlCounts.find(url);
    if (it != m_urlCounts.end() && --it->second.m_nCount <= 0)
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
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_urlCounts.find(url) != m_urlCounts.end())
            return true;
    }
    return m_isListedElsewhere && m_isListedElsewhere(url);
}

void CResultRows::SetListedElsewhere(std::function<bool(std::string_view)> isListed)
{
    m_isListedElsewhere = std::move(isListed);
}

CResultRows::AppendResult CResultRows::AppendHit(CSearchHit hit, bool bSkipDuplicate,
                                                 const CCancelSignal* pCancel, int nPosition)
{
    if (bSkipDuplicate && m_isListedElsewhere && m_isListedElsewhere(hit.m_strUrl))
        return AppendResult::Duplicate;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (pCancel && pCancel->IsSignalled())
            return AppendResult::Cancelled;
        if (bSkipDuplicate && m_urlCounts.find(hit.m_strUrl) != m_urlCounts.end()) {
            if (nPosition <= 0 || !AddFoundBy(hit.m_strUrl, hit.m_strEngine, nPosition))
                return AppendResult::Duplicate;
            ++m_nVersion;
        } else {
            IndexUrl(hit.m_strUrl, m_nNextId);
            m_ids.push_back(m_nNextId++);
            m_foundBy.emplace_back();
            if (nPosition > 0)
                m_foundBy.back().push_back({hit.m_strEngine, nPosition});
            m_rows.push_back(std::move(hit));
            ++m_nVersion;
            bSkipDuplicate = false;
        }
    }
    NotifyChanged();
    return bSkipDuplicate ? AppendResult::Duplicate : AppendResult::Added;
}

void CResultRows::NoteDuplicate(const std::string& strUrl, const std::string& strEngine, int nPosition)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!AddFoundBy(strUrl, strEngine, nPosition))
            return;
        ++m_nVersion;
    }
    NotifyChanged();
}

bool CResultRows::AddFoundBy(const std::string& strUrl, const std::string& strEngine, int nPosition)
{
    const auto it = m_urlCounts.find(strUrl);
    const int nRow = it == m_urlCounts.end() ? -1 : FindId(it->second.m_nLastId);
    if (nRow < 0)
        return false;
    std::vector<CFoundBy>& foundBy = m_foundBy[static_cast<size_t>(nRow)];
    for (const CFoundBy& one : foundBy)
        if (one.m_strEngine == strEngine)
            return false; // an engine counts once, at its first place
    foundBy.push_back({strEngine, nPosition});
    return true;
}

std::vector<CFoundBy> CResultRows::GetFoundBy(int nRow) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (nRow < 0 || static_cast<size_t>(nRow) >= m_rows.size())
        return {};
    const auto nIndex = static_cast<size_t>(nRow);
    if (!m_foundBy[nIndex].empty())
        return m_foundBy[nIndex];
    const std::string& strEngine = m_rows[nIndex].m_strEngine;
    const auto nPlace = std::count_if(m_rows.begin(), m_rows.begin() + nRow + 1,
                                      [&strEngine](const CSearchHit& hit) { return hit.m_strEngine == strEngine; });
    return {{strEngine, static_cast<int>(nPlace)}};
}

std::vector<std::vector<CFoundBy>> CResultRows::GetFoundBy() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::vector<CFoundBy>> all = m_foundBy;
    std::unordered_map<std::string, int> placeOfEngine;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const int nPlace = ++placeOfEngine[m_rows[i].m_strEngine];
        if (all[i].empty())
            all[i].push_back({m_rows[i].m_strEngine, nPlace});
    }
    return all;
}

void CResultRows::InsertRow(int nRow, CSearchHit hit)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto nPos = static_cast<size_t>(std::clamp<int>(nRow, 0, static_cast<int>(m_rows.size())));
        IndexUrl(hit.m_strUrl, m_nNextId);
        m_bIdsInOrder = m_bIdsInOrder && nPos == m_rows.size();
        m_ids.insert(m_ids.begin() + static_cast<std::ptrdiff_t>(nPos), m_nNextId++);
        m_foundBy.insert(m_foundBy.begin() + static_cast<std::ptrdiff_t>(nPos), std::vector<CFoundBy>());
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
        IndexUrl(hit.m_strUrl, m_ids[static_cast<size_t>(nRow)]);
        m_rows[static_cast<size_t>(nRow)] = std::move(hit);
        m_foundBy[static_cast<size_t>(nRow)].clear();
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
        m_foundBy.erase(m_foundBy.begin() + nRow);
        m_ids.erase(m_ids.begin() + nRow);
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
        m_foundBy.clear();
        m_ids.clear();
        m_bIdsInOrder = true;
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
