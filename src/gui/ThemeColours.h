// SPDX-License-Identifier: MIT
#pragma once

// Colours of the lists taken from the desktop's theme, light or dark, and made
// to read well on the list's background: text at least 4.5:1 against what is
// behind it (the contrast ratio of the web's accessibility guidelines).

#include <wx/colour.h>

inline constexpr double kMinTextContrast = 4.5;

// The contrast ratio of two colours, from 1 (the same) to 21 (black on white).
double ContrastRatio(const wxColour& first, const wxColour& second);
// `colour` moved towards white (on a dark background) or black (on a light
// one) until it reaches the ratio against `background`.
wxColour WithContrast(const wxColour& colour, const wxColour& background, double dRatio = kMinTextContrast);

// An engine's failure in the engine pane: red, as readable on the list's background.
wxColour GetFailureColour();

// A query word in the result list: its text on a box half-way between the
// theme's selection colour and the list's background.
struct CHighlightColours
{
    wxColour m_text;
    wxColour m_box;
};
CHighlightColours GetHighlightColours();
