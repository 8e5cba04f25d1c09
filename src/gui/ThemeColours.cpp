// SPDX-License-Identifier: MIT
#include "gui/ThemeColours.h"

#include <algorithm>
#include <cmath>
#include <wx/settings.h>

namespace {

double Linear(unsigned char nChannel)
{
    const double d = nChannel / 255.0;
    return d <= 0.04045 ? d / 12.92 : std::pow((d + 0.055) / 1.055, 2.4);
}

double Luminance(const wxColour& colour)
{
    return 0.2126 * Linear(colour.Red()) + 0.7152 * Linear(colour.Green()) + 0.0722 * Linear(colour.Blue());
}

// `dShare` of `first`, the rest of `second`.
wxColour Mix(const wxColour& first, const wxColour& second, double dShare)
{
    auto channel = [dShare](unsigned char a, unsigned char b) {
        return static_cast<unsigned char>(std::lround(a * dShare + b * (1.0 - dShare)));
    };
    return wxColour(channel(first.Red(), second.Red()), channel(first.Green(), second.Green()),
                    channel(first.Blue(), second.Blue()));
}

wxColour ListBackground()
{
    return wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOX);
}

} // namespace

double ContrastRatio(const wxColour& first, const wxColour& second)
{
    const double dA = Luminance(first) + 0.05;
    const double dB = Luminance(second) + 0.05;
    return std::max(dA, dB) / std::min(dA, dB);
}

wxColour WithContrast(const wxColour& colour, const wxColour& background, double dRatio)
{
    const wxColour towards = Luminance(background) < 0.5 ? *wxWHITE : *wxBLACK;
    // Small steps keep as much of the colour as the ratio allows.
    for (int nStep = 0; nStep <= 20; ++nStep) {
        const wxColour candidate = Mix(towards, colour, nStep / 20.0);
        if (ContrastRatio(candidate, background) >= dRatio)
            return candidate;
    }
    return towards;
}

wxColour GetFailureColour()
{
    return WithContrast(wxColour(0xB0, 0x00, 0x00), ListBackground());
}

CHighlightColours GetHighlightColours()
{
    CHighlightColours colours;
    colours.m_box = Mix(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT), ListBackground(), 0.5);
    colours.m_text = WithContrast(wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOXTEXT), colours.m_box);
    return colours;
}
