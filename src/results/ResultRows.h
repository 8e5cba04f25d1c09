// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Translate.h"

// The result rows: the one store of a search's hits, shared by the worker (which
// appends and deletes rows) and the UI (which shows, reads and clears them).
// Every operation is thread-safe. An index of the URLs makes the duplicate test
// O(1). The change listener runs on the thread that made the change, after the
// lock is released; the GUI coalesces these into one repaint.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CCancelSignal;

// One hit: cleaned description, URL as found in the page, engine name.
struct CSearchHit
{
    std::string m_strDescription;
    std::string m_strUrl;
    std::string m_strEngine;

    bool operator==(const CSearchHit&) const = default;
};

// An engine that listed a hit, and where: the 1-based place of the hit among
// the hits that engine listed in the search, over all its pages, counted before
// the duplicate test.
struct CFoundBy
{
    std::string m_strEngine;
    int m_nPosition = 0;

    bool operator==(const CFoundBy&) const = default;
};

// The columns' names; the window shows them translated (N_: see platform/Translate.h).
inline constexpr const char* kColumnDescription = N_("Description");
inline constexpr const char* kColumnUrl = N_("URL");
inline constexpr const char* kColumnEngine = N_("Engine");
inline constexpr const char* kColumnFoundBy = N_("Found By"); // the list's, not the rows'; see RankOrder.h

class CResultRows
{
public:
    static constexpr int kColumnCount = 3;

    enum class AppendResult
    {
        Added,
        Duplicate, // the URL is already listed and duplicates are skipped
        Cancelled, // the search was cancelled: no row is added after that
    };

    // Column index of a heading ("Description" 0, "URL" 1, "Engine" 2), or -1.
    static int FindColumn(std::string_view heading);

    // First row whose cell in the column equals the text exactly, or -1.
    int FindRow(int nColumn, std::string_view text) const;
    // Whether a row holds the URL, or the test given below counts it as listed.
    bool ContainsUrl(std::string_view url) const;
    // URLs the duplicate test counts as listed although no row of this list
    // holds them (a look-ahead's list: the hits of the engines searched before
    // it). Set before the list is used; called without the list's lock held.
    void SetListedElsewhere(std::function<bool(std::string_view)> isListed);

    // Appends a row at the end; with bSkipDuplicate, not when the URL is listed.
    // The test and the append are one step, so a concurrent clear cannot split them.
    // nPosition (when above 0) is the hit's place among its engine's hits: the row
    // is found by its engine there, and a duplicate that is skipped adds its
    // engine and position to the row already listed (that row stays as it is).
    AppendResult AppendHit(CSearchHit hit, bool bSkipDuplicate = false,
                           const CCancelSignal* pCancel = nullptr, int nPosition = 0);
    // A hit of the engine at that position that was not listed because its URL
    // is: the row listed with the URL is found by the engine too. Never adds a row.
    void NoteDuplicate(const std::string& strUrl, const std::string& strEngine, int nPosition);
    // Inserts at a position (clamped to 0..count).
    void InsertRow(int nRow, CSearchHit hit);
    bool SetRow(int nRow, CSearchHit hit);

    int GetRowCount() const;
    // Cell text of a row, or empty past the last row or column.
    std::string GetCell(int nRow, int nColumn) const;
    bool GetRow(int nRow, CSearchHit& hit) const;
    std::vector<CSearchHit> GetRows() const;
    // The engines that listed each row, in the order they listed it. A row
    // added without a position (an opened document's) is found by its own
    // engine at its place among that engine's rows.
    std::vector<std::vector<CFoundBy>> GetFoundBy() const;
    std::vector<CFoundBy> GetFoundBy(int nRow) const; // empty past the last row

    bool DeleteRow(int nRow);
    // Deletes the row only while its URL is still the given one (the list may
    // have been changed by the user meanwhile).
    bool DeleteRowIf(int nRow, std::string_view url);
    void DeleteAllRows();

    // Counts every change; lets a view tell whether it is up to date.
    uint64_t GetVersion() const;
    // What happened since a structure version, for a view that follows the rows:
    // the rows deleted one by one, in order (each index as it was at its
    // deletion), and the structure version now. Returns the row count when the
    // changes were such deletions and appends only; otherwise -1 - the row count
    // (the view must start again).
    int GetChangesSince(uint64_t nStructureVersion, uint64_t* pNow, std::vector<int>* pDeletedRows) const;
    void SetChangeListener(std::function<void()> listener);

private:
    static const std::string& Cell(const CSearchHit& hit, int nColumn);
    bool EraseRow(int nRow, const std::string_view* pUrl); // any URL when null
    // Adds the engine and position to the row listed with the hit's URL; false
    // when there is none or the engine is already among its finders.
    bool AddFoundBy(const std::string& strUrl, const std::string& strEngine, int nPosition);
    void IndexUrl(const std::string& url, uint64_t nId);
    int FindId(uint64_t nId) const; // the row with that number, or -1
    void UnindexUrl(const std::string& url);
    void NotifyChanged();
    void Journal(int nDeletedRow); // -1: a change that is no single deletion

    struct CStringHash
    {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };

    mutable std::mutex m_mutex;
    std::vector<CSearchHit> m_rows;
    std::vector<std::vector<CFoundBy>> m_foundBy; // beside m_rows; empty: no position given
    std::vector<uint64_t> m_ids;                  // beside m_rows: each row's own number
    uint64_t m_nNextId = 1;
    bool m_bIdsInOrder = true;                    // rows only appended: m_ids ascend
    struct CUrlEntry
    {
        int m_nCount = 0;
        uint64_t m_nLastId = 0; // the row added last with this URL
    };
    std::unordered_map<std::string, CUrlEntry, CStringHash, std::equal_to<>> m_urlCounts;
    std::function<bool(std::string_view)> m_isListedElsewhere;
    uint64_t m_nVersion = 0;
    uint64_t m_nStructureVersion = 0;
    static constexpr size_t kJournalLength = 4096;
    std::deque<std::pair<uint64_t, int>> m_journal; // structure version after a change, deleted row
    std::shared_ptr<const std::function<void()>> m_pListener;
};
