// SPDX-License-Identifier: MIT
#include "engines/CatalogueUpdate.h"

#include "engines/EngineCatalogue.h"
#include "platform/FileUtil.h"

#include <algorithm>

namespace {

bool Contains(const std::vector<std::string>& names, const std::string& strName)
{
    return std::find(names.begin(), names.end(), strName) != names.end();
}

} // namespace

bool SameDefinition(const CSearchEngine& a, const CSearchEngine& b)
{
    return a.m_strName == b.m_strName && a.m_strStartToken == b.m_strStartToken && a.m_strEndToken == b.m_strEndToken &&
           a.m_strUrl == b.m_strUrl && a.m_nSearchType == b.m_nSearchType && a.m_strPrefix == b.m_strPrefix &&
           a.m_strSuffix == b.m_strSuffix &&
           (!a.HasNextPageLine() || a.m_strNextPage == b.m_strNextPage);
}

CCatalogueUpdate MergeShippedDefinitions(std::vector<CSearchEngine>& engines, const std::vector<CSearchEngine>& shipped,
                                         const std::vector<CSearchEngine>& history, const CShippedRecord& record)
{
    CCatalogueUpdate update;
    // The names the user's copy has known: an engine of these that is missing
    // was deleted by the user.
    std::vector<std::string> known = record.m_names;
    if (!record.m_bPresent)
        for (const CSearchEngine& old : history)
            known.push_back(old.m_strName);
    auto shippedOnce = [&history](const CSearchEngine& engine) {
        return std::any_of(history.begin(), history.end(),
                           [&engine](const CSearchEngine& old) { return SameDefinition(old, engine); });
    };
    for (const CSearchEngine& definition : shipped) {
        const auto it = std::find_if(engines.begin(), engines.end(), [&definition](const CSearchEngine& engine) {
            return engine.m_strName == definition.m_strName;
        });
        if (it == engines.end()) {
            if (Contains(known, definition.m_strName))
                continue; // deleted by the user
            engines.insert(engines.begin() + static_cast<long>(FindInsertPosition(engines, definition.m_strName)),
                           definition);
            ++update.m_nUpdated;
            update.m_bChanged = true;
            continue;
        }
        if (SameDefinition(*it, definition))
            continue;
        if (shippedOnce(*it)) {
            *it = definition;
            ++update.m_nUpdated;
            update.m_bChanged = true;
        } else {
            update.m_newerShipped.push_back(definition.m_strName);
        }
    }
    return update;
}

bool ReadShippedRecord(const std::string& strCataloguePath, CShippedRecord& record)
{
    record = CShippedRecord{};
    std::string bytes;
    if (!ReadFileBytes(strCataloguePath + kShippedRecordSuffix, bytes, 1u << 20))
        return false;
    // "shipped NAME" and "told NAME" lines.
    size_t i = 0;
    while (i < bytes.size()) {
        size_t nEnd = bytes.find('\n', i);
        if (nEnd == std::string::npos)
            nEnd = bytes.size();
        std::string strLine = bytes.substr(i, nEnd - i);
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        if (strLine.rfind("shipped ", 0) == 0)
            record.m_names.push_back(strLine.substr(8));
        else if (strLine.rfind("told ", 0) == 0)
            record.m_told.push_back(strLine.substr(5));
        i = nEnd + 1;
    }
    // A record without a shipped engine (empty, cut, damaged) says nothing:
    // it is as if there were none, never "every shipped engine was deleted".
    record.m_bPresent = !record.m_names.empty();
    return record.m_bPresent;
}

bool WriteShippedRecord(const std::string& strCataloguePath, const CShippedRecord& record)
{
    std::string bytes = "# The shipped engines this catalogue was last brought up to date with.\n";
    for (const std::string& strName : record.m_names)
        bytes += "shipped " + strName + "\n";
    for (const std::string& strName : record.m_told)
        bytes += "told " + strName + "\n";
    return WriteFileAtomically(strCataloguePath + kShippedRecordSuffix, bytes, true);
}

bool PrepareUserCatalogue(const std::string& strUserPath, const std::string& strShareDir, CCatalogueUpdate* pUpdate)
{
    if (strShareDir.empty())
        return false;
    std::vector<CSearchEngine> shipped, history, engines;
    if (!LoadEngines(strShareDir + kCatalogueFileName, shipped))
        return false;
    CShippedRecord record;
    std::vector<std::string> shippedNames;
    for (const CSearchEngine& engine : shipped)
        shippedNames.push_back(engine.m_strName);
    if (!FileExists(strUserPath)) {
        if (PathExists(strUserPath))
            return false; // something else is there: left alone
        std::string bytes;
        if (!ReadFileBytes(strShareDir + kCatalogueFileName, bytes, kMaxCatalogueBytes) ||
            !WriteFileAtomically(strUserPath, bytes, true))
            return false;
        record.m_bPresent = true;
        record.m_names = shippedNames;
        return WriteShippedRecord(strUserPath, record);
    }
    // Read, merge and write under the catalogue's lock, so that copies of the
    // program started together update it one after the other; and merged
    // again when the file changed meanwhile (a hand edit saved just then).
    const CFileLock lock(strUserPath + ".lock");
    LoadEngines(strShareDir + kShippedHistoryFileName, history);
    CCatalogueUpdate update;
    for (int nAttempt = 0;; ++nAttempt) {
        std::string bytes;
        if (!ReadFileBytes(strUserPath, bytes, kMaxCatalogueBytes))
            return false; // unreadable: never written over
        engines = ParseEngines(bytes);
        ReadShippedRecord(strUserPath, record);
        update = MergeShippedDefinitions(engines, shipped, history, record);
        if (!update.m_bChanged)
            break;
        std::string now;
        if (ReadFileBytes(strUserPath, now, kMaxCatalogueBytes) && now != bytes && nAttempt < 4)
            continue; // changed while it was merged: merge the new file
        if (!SaveEngines(strUserPath, engines))
            return false;
        break;
    }
    const bool bRecordOutdated = !record.m_bPresent || record.m_names != shippedNames;
    record.m_bPresent = true;
    record.m_names = shippedNames;
    if (bRecordOutdated)
        WriteShippedRecord(strUserPath, record);
    if (pUpdate)
        *pUpdate = std::move(update);
    return true;
}

bool FindShippedDefinition(const std::string& strShareDir, const std::string& strName, CSearchEngine& engine)
{
    std::vector<CSearchEngine> shipped;
    if (strShareDir.empty() || !LoadEngines(strShareDir + kCatalogueFileName, shipped))
        return false;
    for (const CSearchEngine& definition : shipped)
        if (definition.m_strName == strName) {
            engine = definition;
            return true;
        }
    return false;
}
