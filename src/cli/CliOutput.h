// SPDX-License-Identifier: MIT
#pragma once

#include "document/SearchDocument.h"
#include "results/HitExport.h"
#include "results/ResultRows.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Text for a terminal: bytes that a terminal would take as control (C0 but TAB,
// DEL, and C1 whether raw or UTF-8 encoded) written as \xNN, so a page cannot
// move the cursor, ring the bell or rewrite the screen.
std::string EscapeControls(std::string_view text);
// A field for a TSV line: TAB, CR, LF and backslash written as \t \r \n \\,
// other controls as EscapeControls writes them.
std::string EscapeTsvField(std::string_view field);

// "questrel-cli: ERROR" and where help is, on stderr, control bytes escaped.
void PrintUsageError(const std::string& strError);
// "questrel: TEXT" on stderr, control bytes escaped.
void PrintCliMessage(const std::string& strText);

// One line per hit: description TAB URL TAB engine.
std::string FormatHitsTsv(const std::vector<CSearchHit>& hits);

// A saved search as stored: "Max Hits", "Search Option", "Criteria" and
// "Engines" lines (name TAB value(s)), then the hits as TSV.
std::string FormatDocumentText(const CSearchDocumentData& data);
// The text form, or with bJson
// {"maxHits","searchOption","criteria","engines":[...],"hits":[{...}]}.
std::string FormatDocument(const CSearchDocumentData& data, bool bJson);

// Prints a saved search piece by piece (header, each hit, end), so a large
// document is never held whole as text.
class CDocumentPrinter
{
public:
    CDocumentPrinter(bool bJson, std::function<void(const std::string&)> write);
    void Header(const CSearchDocumentData& data); // all but the hits
    void Hit(const CSearchHit& hit);
    void End();

private:
    bool m_bJson;
    std::function<void(const std::string&)> m_write;
    size_t m_nHits = 0;
};
