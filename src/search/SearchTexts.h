// SPDX-License-Identifier: MIT
#pragma once

// The words of a search run, as the user sees them.

inline constexpr const char* kAppCaption = "questrel"; // message boxes without a caption of their own
inline constexpr const char* kAppTitle = "Internet Questrel";

inline constexpr const char* kStatusCreateConnection = "Create HTTP connection";
inline constexpr const char* kStatusConnectedTo = "Connected to %s";
inline constexpr const char* kStatusSending = "Sending request to %s";
inline constexpr const char* kStatusRetrieving = "Retrieving results from %s";
inline constexpr const char* kStatusKRead = "%dK read from %s";
inline constexpr const char* kStatusFindComplete = "Find complete.";
inline constexpr const char* kStatusFindCancelled = "Find cancelled.";
inline constexpr const char* kStatusVerifyingAll = "Verifying URLs exist";
inline constexpr const char* kStatusVerifyingUrl = "Verifying ";
inline constexpr const char* kStatusUrlDeleted = " does not exist.  Deleting it from the list.";
inline constexpr const char* kStatusResultsPageNotWritten = "The results page could not be written to %s.";

inline constexpr const char* kMsgInvalidUrl = "Invalid URL";
// Said once after a link verification pass, when links could not be requested:
// %d their number, %s the first of them. They stay in the list.
inline constexpr const char* kMsgLinksOfSilentHosts =
    "%d links were not asked: their host (the first: %s) did not answer twice; they are taken as dead.";
inline constexpr const char* kMsgLinksNotChecked = "Invalid URL: %d links could not be checked (the first: %s); they stay in the list.";
inline constexpr const char* kMsgInternetException = "An internet exception occured";
inline constexpr const char* kMsgNoEngineChosen =
    "Select the search engine(s) you want to use for this search.  Click on the box and an 'X' "
    "will appear.";

inline constexpr size_t kMaxErrorTextLength = 1024;
