#pragma once

#include "document/SearchDocument.h"
#include "results/ResultRows.h"

#include <string>
#include <string_view>
#include <vector>

// A field for a TSV line: TAB, CR, LF and backslash written as \t \r \n \\.
std::string EscapeTsvField(std::string_view field);
// A JSON string literal. Bytes that are not valid UTF-8 are taken as Latin-1.
std::string JsonString(std::string_view text);

// One line per hit: description TAB URL TAB engine.
std::string FormatHitsTsv(const std::vector<CSearchHit>& hits);
// [{"description":..,"url":..,"engine":..}, ...]
std::string FormatHitsJson(const std::vector<CSearchHit>& hits);

// A saved search as stored: "Max Hits", "Search Option", "Criteria" and
// "Engines" lines (name TAB value(s)), then the hits as TSV.
std::string FormatDocumentText(const CSearchDocumentData& data);
// {"maxHits","searchOption","criteria","engines":[...],"hits":[{...}]}
std::string FormatDocumentJson(const CSearchDocumentData& data);
