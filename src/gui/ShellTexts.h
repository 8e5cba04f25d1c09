// SPDX-License-Identifier: MIT
#pragma once

// The words of the desktop program.

inline constexpr const char* kIdleText = "Ready";
inline constexpr const char* kHintCaption = "Hint";
inline constexpr const char* kQuestionCaption = "Question";
inline constexpr const char* kVersionText = "Internet Questrel Version 2.0a";
inline constexpr const char* kAboutCaption = "About Internet Questrel";
inline constexpr const char* kUntitled = "Untitled";

inline constexpr const char* kMsgStartupFailed = "The network library could not be started.";
inline constexpr const char* kMsgHelpFailed = "Failed to launch help.";
inline constexpr const char* kMsgPrintFailed = "The result list could not be printed.";
inline constexpr const char* kMsgPreviewFailed = "The print preview could not be shown.";
inline constexpr const char* kMsgDeleteEngine = "Are you sure you want to delete %s from your list of engines?";
inline constexpr const char* kMsgResultsHint =
    "Double click on the description of the item you want to view, and it will be loaded in your "
    "Internet browser.";
inline constexpr const char* kMsgEnterInteger = "Please enter an integer.";
inline constexpr const char* kMsgEnterIntegerRange = "Please enter an integer between 1 and 2048.";
inline constexpr const char* kMsgEnterProxy = "Please enter the proxy server";
inline constexpr const char* kMsgEnterPort = "Please enter a port number from 1 to 65535.";
inline constexpr const char* kMsgReconnect =
    "Your communication settings have changed.  Would you like to reconnect?";
inline constexpr const char* kMsgConnectionProblemCaption = "Internet connection problem";
inline constexpr const char* kMsgFailedToExport = "Failed to export results.";
inline constexpr const char* kStatusExported = "%d hits exported to %s";
inline constexpr const char* kMsgNotAWebAddress = "This link is not a web address and was not opened.";
// %s: the profile's path.
inline constexpr const char* kMsgProfileUnreadable =
    "The settings file %s cannot be read (it is too large, no regular file, or not yours to read). "
    "The program starts with its defaults and leaves that file as it is; settings are not saved "
    "until it can be read.";
// %s: the engines' names.
inline constexpr const char* kMsgNewerShipped =
    "This version of the program ships a newer definition of %s. You changed yours, so yours was kept; "
    "Restore Shipped Definition in the engine's menu takes the shipped one.";
inline constexpr const char* kMsgNoShippedDefinition = "No definition of %s is shipped with the program.";
inline constexpr const char* kStatusSettingsNotSaved =
    "Settings could not be saved in %s (is the disk full, or the file not yours to write?).";
// The summary after a search: the first, then the others that apply, then ".".
inline constexpr const char* kStatusHitsFound = "Find complete. %d hits";
inline constexpr const char* kStatusDeadRemoved = ", %d dead links removed";
inline constexpr const char* kStatusEnginesFailed = ", %d of %d engines failed";
inline constexpr const char* kStatusRecordNotSaved =
    "The record of shipped definitions beside %s could not be saved; the newer definitions may be told again.";
inline constexpr const char* kStatusShippedRestored = "%s: the shipped definition was restored.";
inline constexpr const char* kStatusEngineMended = "%s: the definition was mended.";
inline constexpr const char* kCheckQuery = "weather"; // what Check Engines asks every engine
inline constexpr const char* kStatusCheckingEngines = "Checking engines (%d)...";
inline constexpr const char* kStatusEnginesChecked = "Engines checked: %d of %d work.";
inline constexpr const char* kStatusWaitingForStoppedSearch =
    "Waiting for the stopped search to end; the new search starts then.";
inline constexpr const char* kStatusCreateInternet = "Create Internet connection";
inline constexpr const char* kStatusConnectedInternet = "Connected to the Internet";

inline constexpr const char* kEngineColumnHeading = "Available Search Engines to Search";
