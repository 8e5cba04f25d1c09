// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Translate.h"

// The words of a search run, as the user sees them.

inline constexpr const char* kAppCaption = "questrel"; // message boxes without a caption of their own
inline constexpr const char* kAppTitle = "Internet Questrel";

inline constexpr const char* kStatusCreateConnection = N_("Create HTTP connection");
inline constexpr const char* kStatusConnectedTo = N_("Connected to %s");
inline constexpr const char* kStatusSending = N_("Sending request to %s");
inline constexpr const char* kStatusRetrieving = N_("Retrieving results from %s");
inline constexpr const char* kStatusKRead = N_("%dK read from %s");
inline constexpr const char* kStatusBrowserLoading = N_("Loading %s in a browser engine");
inline constexpr const char* kStatusFindComplete = N_("Find complete.");
inline constexpr const char* kStatusFindCancelled = N_("Find cancelled.");
inline constexpr const char* kStatusVerifyingAll = N_("Verifying URLs exist");
inline constexpr const char* kStatusVerifyingUrl = N_("Verifying ");
inline constexpr const char* kStatusUrlDeleted = N_(" does not exist.  Deleting it from the list.");
inline constexpr const char* kStatusResultsPageNotWritten = N_("The results page could not be written to %s.");

inline constexpr const char* kMsgStartupFailed = N_("The network library could not be started.");
inline constexpr const char* kMsgInvalidUrl = N_("Invalid URL");
// Said once after a link verification pass, when links could not be requested:
// %d their number, %s the first of them. They stay in the list.
inline constexpr CPluralText kMsgLinksOfSilentHosts =
    NN_("%d link was not asked: its host (%s) did not answer twice; it is taken as dead.",
        "%d links were not asked: their host (the first: %s) did not answer twice; they are taken as dead.");
inline constexpr CPluralText kMsgLinksNotChecked =
    NN_("Invalid URL: %d link could not be checked (%s); it stays in the list.",
        "Invalid URL: %d links could not be checked (the first: %s); they stay in the list.");
inline constexpr const char* kMsgInternetException = N_("An internet exception occured");
inline constexpr const char* kMsgNoEngineChosen = N_(
    "Select the search engine(s) you want to use for this search.  Click on the box and an 'X' "
    "will appear.");

inline constexpr size_t kMaxErrorTextLength = 1024;
