// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Translate.h"

// The words of the desktop program.

inline constexpr const char* kIdleText = N_("Ready");
inline constexpr const char* kHintCaption = N_("Hint");
inline constexpr const char* kQuestionCaption = N_("Question");
inline constexpr const char* kVersionText = N_("Internet Questrel Version 2.0a");
inline constexpr const char* kAboutCaption = N_("About Internet Questrel");
inline constexpr const char* kUntitled = N_("Untitled");

inline constexpr const char* kMsgHelpFailed = N_("Failed to launch help.");
inline constexpr const char* kMsgPrintFailed = N_("The result list could not be printed.");
inline constexpr const char* kMsgPreviewFailed = N_("The print preview could not be shown.");
inline constexpr const char* kMsgDeleteEngine = N_("Are you sure you want to delete %s from your list of engines?");
inline constexpr const char* kMsgResultsHint = N_(
    "Double click on the description of the item you want to view, and it will be loaded in your "
    "Internet browser.");
inline constexpr const char* kMsgEnterInteger = N_("Please enter an integer.");
inline constexpr const char* kMsgEnterIntegerRange = N_("Please enter an integer between 1 and 2048.");
inline constexpr const char* kMsgEnterProxy = N_("Please enter the proxy server");
inline constexpr const char* kMsgEnterPort = N_("Please enter a port number from 1 to 65535.");
inline constexpr const char* kMsgReconnect = N_(
    "Your communication settings have changed.  Would you like to reconnect?");
inline constexpr const char* kMsgConnectionProblemCaption = N_("Internet connection problem");
inline constexpr const char* kMsgFailedToExport = N_("Failed to export results.");
inline constexpr CPluralText kStatusExported =
    NN_("%d hit exported to %s",
        "%d hits exported to %s");
inline constexpr const char* kMsgNotAWebAddress = N_("This link is not a web address and was not opened.");
// %s: the profile's path.
inline constexpr const char* kMsgProfileUnreadable = N_(
    "The settings file %s cannot be read (it is too large, no regular file, or not yours to read). "
    "The program starts with its defaults and leaves that file as it is; settings are not saved "
    "until it can be read.");
// %s: the engines' names.
inline constexpr const char* kMsgNewerShipped = N_(
    "This version of the program ships a newer definition of %s. You changed yours, so yours was kept; "
    "Restore Shipped Definition in the engine's menu takes the shipped one.");
inline constexpr const char* kMsgNoShippedDefinition = N_("No definition of %s is shipped with the program.");
inline constexpr const char* kStatusSettingsNotSaved = N_(
    "Settings could not be saved in %s (is the disk full, or the file not yours to write?).");
// The summary after a search: the first, then the others that apply, then ".".
inline constexpr CPluralText kStatusHitsFound =
    NN_("Find complete. %d hit",
        "Find complete. %d hits");
inline constexpr CPluralText kStatusDeadRemoved =
    NN_(", %d dead link removed",
        ", %d dead links removed");
inline constexpr CPluralText kStatusEnginesFailed =
    NN_(", %d of %d engines failed",
        ", %d of %d engines failed");
inline constexpr const char* kStatusRecordNotSaved = N_(
    "The record of shipped definitions beside %s could not be saved; the newer definitions may be told again.");
inline constexpr const char* kStatusShippedRestored = N_("%s: the shipped definition was restored.");
inline constexpr const char* kStatusEngineMended = N_("%s: the definition was mended.");
inline constexpr const char* kCheckQuery = "weather"; // what Check Engines asks every engine
inline constexpr const char* kStatusCheckingEngines = N_("Checking engines (%d)...");
inline constexpr CPluralText kStatusEnginesChecked =
    NN_("Engines checked: %d of %d works.",
        "Engines checked: %d of %d work.");
inline constexpr const char* kStatusWaitingForStoppedSearch = N_(
    "Waiting for the stopped search to end; the new search starts then.");
inline constexpr const char* kStatusCreateInternet = N_("Create Internet connection");
inline constexpr const char* kStatusConnectedInternet = N_("Connected to the Internet");

inline constexpr const char* kEngineColumnHeading = N_("Available Search Engines to Search");
