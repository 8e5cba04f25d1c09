// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Translate.h"

// The window's commands: their ids and the prompts the status bar shows while
// their menu items are highlighted.

#include <wx/defs.h>

// Command ids: the old program's numbers less 30000 (wx menu ids stay below 0x7FFF).
enum : int
{
    ID_TOGGLE_SHOW_HINTS = 2779,
    ID_TOGGLE_SHOW_HTML = 2780,
    ID_TOGGLE_REMOVE_DUPS = 2783,
    ID_TOGGLE_VERIFY_LINKS = 2784,
    ID_NEW_ENGINE = 2785,
    ID_EDIT_ENGINE = 2786,
    ID_DELETE_ENGINE = 2787,
    ID_HELP_CONTENTS = 2791,
    ID_HELP_HOWTO = 2792,
    ID_COMMUNICATION = 2794,
    ID_SELECT_ALL_ENGINES = 2795,
    ID_CLEAR_ALL_ENGINES = 2796,
    ID_TOGGLE_SAVE_SETTINGS = 2797,
    ID_TOGGLE_ONE_AT_A_TIME = 2798,
    ID_WINDOW_SPLIT = 2902,
    ID_NEXT_PANE = 2903,
    ID_PREV_PANE = 2904,
    ID_STOP_SEARCH = 2905,
    ID_VIEW_TOOLBAR = 2900,
    ID_VIEW_STATUS_BAR = 2901,
    ID_EXPORT_RESULTS = 2906,
    ID_CHECK_ENGINES = 2907,
    ID_RESTORE_SHIPPED = 2908,
    ID_ORDER_BY_RANK = 2909,
    ID_TOGGLE_REPORT_FAILURES = 2910,
    ID_MEND_ENGINE = 2911,
    ID_TOGGLE_BROWSER_ENGINE = 2912,
};

class wxMenuBar;

// The label of Check Engines in the Options menu and the engine pane's menu.
inline constexpr const char* kCheckEnginesLabel = N_("Chec&k Engines...");

// The prompt of a command; empty for one without.
const char* CommandPrompt(int nId);

// The window's menus: File (with the engine commands when engine editing is
// on), View, Options, Help; the caller binds the commands.
wxMenuBar* CreateMenuBar(bool bEngineEditing);
