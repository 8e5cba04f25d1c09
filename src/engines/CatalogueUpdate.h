// SPDX-License-Identifier: MIT
#pragma once

// Bringing a user's catalogue up to date with the catalogue shipped with the
// running program, so mended definitions reach users who installed an older
// version. The user's catalogue was copied from a shipped one at the first
// start; at every start:
//  - an engine the user never changed (its record equals a definition some
//    version of the program shipped) takes today's shipped definition;
//  - an engine the user changed keeps the user's definition (the newer
//    shipped one is named, so the user can be told and restore it);
//  - an engine new in the shipped catalogue is added (unticked); one the user
//    deleted is not brought back; one the user added is left alone.
// engines.dat keeps its format; beside it, "engines.dat.shipped" holds the
// names of the shipped catalogue the copy was last brought up to date with
// (and those the user was told of). Copies made before it existed are judged
// by every definition the released versions shipped (engines-shipped-before.dat).

#include "engines/SearchEngine.h"
#include "platform/Translate.h"

#include <string>
#include <vector>

inline constexpr const char* kShippedHistoryFileName = "engines-shipped-before.dat";
inline constexpr const char* kShippedRecordSuffix = ".shipped";
// %d: the number of definitions updated or added.
inline constexpr CPluralText kMsgEnginesUpdated =
    NN_("%d engine definition was updated",
        "%d engine definitions were updated");

struct CShippedRecord
{
    std::vector<std::string> m_names; // of the shipped catalogue last merged
    std::vector<std::string> m_told;  // engines whose newer shipped definition the user was told of
    bool m_bPresent = false;          // there was a record (a copy made since this feature)
};

struct CCatalogueUpdate
{
    int m_nUpdated = 0;                      // definitions replaced or added
    std::vector<std::string> m_newerShipped; // changed by the user, a newer one shipped
    bool m_bChanged = false;                 // the catalogue must be written
};

// Whether two records define the same engine (every field the file keeps).
bool SameDefinition(const CSearchEngine& a, const CSearchEngine& b);

// Merges today's shipped definitions into the user's engines (kept in
// catalogue order).
CCatalogueUpdate MergeShippedDefinitions(std::vector<CSearchEngine>& engines, const std::vector<CSearchEngine>& shipped,
                                         const std::vector<CSearchEngine>& history, const CShippedRecord& record);

bool ReadShippedRecord(const std::string& strCataloguePath, CShippedRecord& record);
bool WriteShippedRecord(const std::string& strCataloguePath, const CShippedRecord& record);

// The user's catalogue made ready at a start: copied from the shipped one when
// there is none, else brought up to date (the previous file kept in
// engines.dat.bak). Only the user's own catalogue ($XDG_DATA_HOME) is touched;
// false when there is nothing to do or it could not be done.
bool PrepareUserCatalogue(const std::string& strUserPath, const std::string& strShareDir, CCatalogueUpdate* pUpdate);

// Today's shipped definition of an engine, when one is shipped under that name.
bool FindShippedDefinition(const std::string& strShareDir, const std::string& strName, CSearchEngine& engine);
