// SPDX-License-Identifier: MIT
#pragma once

// Where the window's parts say what is going on: the message pane of the
// status bar and its hit count. The main frame is the one implementation;
// the parts below it know only this.

#include <string>
#include <vector>
#include <wx/string.h>

class IStatusSink
{
public:
    virtual ~IStatusSink() = default;
    // The message pane; the idle text is "Ready".
    virtual void ShowStatusText(const wxString& strText) = 0;
    // Texts that came together: the bar shows the last one.
    virtual void ShowStatusTexts(const std::vector<std::string>& texts) = 0;
    // The number of hits the list holds, in a field of its own ("12 hits"); -1 clears it.
    virtual void ShowHitCount(int nHits) = 0;
};
