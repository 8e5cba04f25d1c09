// SPDX-License-Identifier: MIT
#pragma once

// The catalogue file "engines.dat": 8-bit text, one value a line, CR LF written
// (LF or CR LF read). A record is name, start token, end token, URL, search type,
// prefix, suffix and, for the types MultiplePages and SinglePage only, the
// next-page command.
//
// The catalogue in memory is a list kept in ascending name order, as the engine
// pane shows it; loading and saving work on that list.

#include "engines/SearchEngine.h"
#include "platform/Translate.h"

#include <string>
#include <vector>

inline constexpr const char* kCatalogueFileName = "engines.dat";
// A larger catalogue, or one that is no regular file, is not read.
inline constexpr size_t kMaxCatalogueBytes = 16u * 1024 * 1024;
inline constexpr const char* kBackupSuffix = ".bak";
// Shown (GUI: message box; CLI: stderr) when records of the catalogue were lost;
// %d is their number.
inline constexpr CPluralText kMsgRecordsNotRead =
    NN_("%d engine record could not be read",
        "%d engine records could not be read");
// Shown (GUI: message box at start; CLI: stderr) when a catalogue is there but
// cannot be read; %s is the file's path.
inline constexpr const char* kMsgCatalogueUnreadable = N_(
    "The list of engines %s cannot be read (it is too large, no regular file, or not yours to read). "
    "It is left as it is: engine changes are not saved until it can be read.");
// Shown when an engine command is refused because of that; %s is the file's path.
inline constexpr const char* kMsgCatalogueKept = N_(
    "The list of engines %s could not be read, so it is not written over. Mend or move that file, "
    "then start the program again.");
// Shown (GUI: message box; CLI: stderr) when the catalogue cannot be written;
// %s is the file's path.
inline constexpr const char* kMsgCatalogueNotSaved = N_(
    "The list of engines could not be saved to %s.  Your changes last only until the program ends.");

// Parses catalogue bytes (CR LF, LF or CR line ends). A record is read where
// the lines have a record's shape (name, tokens, URL, a type line with a
// number, prefix, ...); its length follows from its type, and a record that
// fails the validity rule is dropped whole. Lines without a record's shape are
// skipped up to the next line where one begins, so a damaged record or a stray
// blank line loses nothing after it. *pDropped counts the records that could
// not be read. Memory stays within the bytes and the records read. The result
// is in catalogue order (see SortEngines).
std::vector<CSearchEngine> ParseEngines(const std::string& bytes, int* pDropped = nullptr);
// The file bytes for a list, in list order. Line breaks in values are dropped.
std::string FormatEngines(const std::vector<CSearchEngine>& engines);

// Fills the list from the file. False (and an empty list) when the file cannot
// be opened; nothing is reported. A file that is there but cannot be read (too
// large, no regular file, no permission: PathExists tells) must never be
// written over: the user's engines are in it.
bool LoadEngines(const std::string& strPath, std::vector<CSearchEngine>& engines, int* pDropped = nullptr);
// Rewrites the file from the list (an empty list makes an empty file, so the
// delete of the last engine lasts), after copying the old file to
// "engines.dat.bak". The old file is replaced whole or not at all. False when
// the file cannot be written.
bool SaveEngines(const std::string& strPath, const std::vector<CSearchEngine>& engines);

// Catalogue order: ascending by name, ignoring case; equal names keep their order.
bool EngineNameLess(const std::string& a, const std::string& b);
void SortEngines(std::vector<CSearchEngine>& engines);
// Where a record with this name goes in a sorted list.
size_t FindInsertPosition(const std::vector<CSearchEngine>& engines, const std::string& strName);

// The directory of the running program, with a trailing '/'; empty when unknown.
std::string GetProgramDirectory();

// The folder of the program's shared files (help pages, default catalogue,
// desktop files), with '/': <prefix>/share/questrel/ beside an installed
// program, or share/questrel/ in the build tree. Empty when not found.
std::string FindShareDirectory();

// The catalogue the program uses: "engines.dat" beside the program when that
// file exists (portable layout, build tree), else
// $XDG_DATA_HOME/questrel/engines.dat.
std::string GetUserCataloguePath();
std::string FindCataloguePath();
