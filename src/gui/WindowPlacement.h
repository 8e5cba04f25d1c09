// SPDX-License-Identifier: MIT
#pragma once

// Where the main window was: its rectangle and the engine pane's width, kept
// in the profile at close and given back at start, made to fit the screen.

#include <vector>
#include <wx/gdicmn.h>

class CSettingsStore;
class wxTopLevelWindow;

struct CWindowPlacement
{
    wxRect m_rect;             // the window's outer rectangle
    bool m_bPositioned = false; // the rectangle is a place on a display (else the window manager chooses)
    int m_nSash = 0;           // the engine pane's width
    std::vector<int> m_columnWidths; // the result list's columns the user sized, 0 for the others
    bool m_bMaximized = false;
};

// The window's rectangle made to fit the area: no larger, and inside it.
wxRect FitToWorkArea(wxRect window, const wxRect& area);
// A first window's size: about two thirds of the work area, at least 900x600
// (where the area is that large).
wxSize DefaultWindowSize(const wxSize& area);

// The placement the profile keeps; a size it lacks is the default for the
// screen, a position it lacks or that is out of bounds is taken from `current`
// (m_nSash 0: none kept). What would not fit the screen (a
// monitor gone, a scale factor that makes the default too big) is brought
// inside the work area of the display it is on.
CWindowPlacement ReadWindowPlacement(const CSettingsStore& settings, const wxRect& current);
// Writes the rectangle only when m_bPositioned (not for a maximized window,
// whose normal rectangle stays as it was).
bool WriteWindowPlacement(CSettingsStore& settings, const CWindowPlacement& placement);

// Asks for the position again once the window is on the screen. GTK forgets a
// position given before the window is first shown when the toolkit realizes
// the window early (to learn the frame's extents), and a window manager then
// places it where it likes (openbox: the top left corner).
void MoveWhenMapped(wxTopLevelWindow& window, const wxPoint& position);

// Gives the window's widget its size before it is first shown. Under a window
// manager the toolkit realizes the window early with a placeholder size of
// 2x1 pixels, and every bar and list in it was laid out in that space first
// (Gtk-CRITICAL and pixman "Invalid rectangle" lines on stderr at each start).
void PrepareFirstShow(wxTopLevelWindow& window);
