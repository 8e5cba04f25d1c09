// SPDX-License-Identifier: MIT
#pragma once

// The search document (.qrl): hit limit, search option, query, the ticked
// engines' names and the hits, as plain values, so the GUI document and the CLI
// share one reader and writer.
//
// Layout: 32-bit little-endian signed integers; a string is its byte count as
// such an integer followed by exactly that many bytes.
//   hit limit, search option, query, n, n engine names, h, h x (description, URL, engine)

#include "engines/SearchEngine.h"
#include "results/ResultRows.h"
#include "search/SearchSettings.h"
#include "platform/Translate.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

inline constexpr const char* kMsgFailedToOpenDocument = N_("Failed to open document.");
inline constexpr const char* kMsgFailedToSaveDocument = "Failed to save document.";
inline constexpr const char* kMsgDocumentTooLarge =
    "Failed to save document: the search is larger than a document may be (64 MiB). "
    "Delete some results, or use File, Export Results.";
inline constexpr const char* kDocumentFilter = N_("Internet Questrel Files (*.qrl)");
inline constexpr const char* kDocumentExtension = ".qrl";

// A length or count above this is not a search document.
inline constexpr uint32_t kMaxDocumentValue = 64u * 1024 * 1024;
// A larger file, or one that is no regular file, is not opened.
inline constexpr size_t kMaxDocumentBytes = 64u * 1024 * 1024;

struct CSearchDocumentData
{
    int32_t m_nMaxHits = kDefaultHitLimit;
    int32_t m_nSearchOption = 0; // -1 when no option was selected
    std::string m_strCriteria;
    std::vector<std::string> m_engines; // ticked engines, in catalogue order
    std::vector<CSearchHit> m_hits;     // whole, in list order

    bool operator==(const CSearchDocumentData&) const = default;
};

// The document's part of the search settings, both ways: hit limit, search
// option and query (the other settings are the program's, not the search's).
void ApplyDocumentSettings(const CSearchDocumentData& data, CSearchSettings& settings);
void StoreDocumentSettings(const CSearchSettings& settings, CSearchDocumentData& data);

std::string EncodeSearchDocument(const CSearchDocumentData& data);
// All or nothing: false for a damaged or truncated file, or one whose lengths or
// counts run past its end or above 64 MiB; data is then left as it was.
bool DecodeSearchDocument(const std::string& bytes, CSearchDocumentData& data);

// Saving writes a temporary file and renames it, so a failed save never
// destroys the previous file. What is saved opens again: a search whose
// document would be larger than the reader takes is refused, and *pMessage
// (when given) is then kMsgDocumentTooLarge, else kMsgFailedToSaveDocument.
bool SaveSearchDocument(const std::string& strPath, const CSearchDocumentData& data,
                        std::string* pMessage = nullptr);
bool LoadSearchDocument(const std::string& strPath, CSearchDocumentData& data);

// Reads a document without holding its hits: the header (all but the hits),
// then each hit in list order. False, handing on nothing, when the bytes are
// not a whole document.
bool VisitSearchDocument(const std::string& bytes, const std::function<void(const CSearchDocumentData&)>& onHeader,
                         const std::function<void(CSearchHit&&)>& onHit);

// Which catalogue entries a document ticks: for each name, the first engine
// whose name equals it ignoring case. Names of no engine are skipped.
std::vector<bool> MatchTickedEngines(const std::vector<std::string>& names,
                                     const std::vector<CSearchEngine>& catalogue);
