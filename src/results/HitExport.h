// SPDX-License-Identifier: MIT
#pragma once

// Hits as text for other programs: JSON (the command line's form and the
// desktop program's export), CSV for spreadsheets, and the plain lines the
// result list copies to the clipboard. Every form is valid UTF-8: bytes that
// are not are taken as Latin-1.

#include "results/ResultRows.h"

#include <string>
#include <string_view>
#include <vector>

// A JSON string literal.
std::string JsonString(std::string_view text);
// {"description":..,"url":..,"engine":..}
std::string HitJsonObject(const CSearchHit& hit);
// One hit's object of that array, with its found_by when given.
std::string HitJsonItem(const CSearchHit& hit, const std::vector<CFoundBy>* pFoundBy);
// [{"description":..,"url":..,"engine":..}, ...], one hit a line. With the
// engines that found each hit (beside the hits), each object ends with
// "found_by":[{"engine":..,"position":N}, ...].
std::string FormatHitsJson(const std::vector<CSearchHit>& hits,
                           const std::vector<std::vector<CFoundBy>>* pFoundBy = nullptr);

// CSV as RFC 4180 has it: a header row "Description,URL,Engine", CR LF line
// ends, a field in double quotes (inner quotes doubled) when it holds a comma,
// a quote or a line break. A field that a spreadsheet would take as a formula
// (it starts with =, +, -, @, TAB or CR) gets a leading apostrophe, so a page's
// text never runs as one.
std::string FormatHitsCsv(const std::vector<CSearchHit>& hits);

// One line per hit: description TAB URL TAB engine; a TAB or line break inside
// a field becomes a blank.
std::string FormatHitsLines(const std::vector<CSearchHit>& hits);
// One field as those lines carry it.
std::string OneLineField(std::string_view field);
