// SPDX-License-Identifier: MIT
#include "gui/WindowPlacement.h"

#include "gui/SettingsStore.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <string>
#include <gtk/gtk.h>
#include <wx/display.h>
#include <wx/toplevel.h>

namespace {

constexpr size_t kMaxColumns = 16;

std::string JoinWidths(const std::vector<int>& widths)
{
    std::string strText;
    for (const int nWidth : widths)
        strText += (strText.empty() ? "" : ",") + std::to_string(nWidth);
    return strText;
}

} // namespace

wxRect FitToWorkArea(wxRect window, const wxRect& area)
{
    if (area.IsEmpty())
        return window;
    window.width = std::min(window.width, area.width);
    window.height = std::min(window.height, area.height);
    window.x = std::clamp(window.x, area.x, area.GetRight() - window.width + 1);
    window.y = std::clamp(window.y, area.y, area.GetBottom() - window.height + 1);
    return window;
}

wxSize DefaultWindowSize(const wxSize& area)
{
    return wxSize(std::max(900, area.GetWidth() * 2 / 3), std::max(600, area.GetHeight() * 2 / 3));
}

CWindowPlacement ReadWindowPlacement(const CSettingsStore& settings, const wxRect& current)
{
    CWindowPlacement placement;
    placement.m_rect = current;
    const wxPoint position(settings.ReadInt(SettingsKey::kWindowX, -1), settings.ReadInt(SettingsKey::kWindowY, -1));
    const int nDisplay = wxDisplay::GetFromPoint(position);
    placement.m_bPositioned = nDisplay != wxNOT_FOUND;
    if (placement.m_bPositioned)
        placement.m_rect.SetPosition(position);
    const wxRect area = wxDisplay(static_cast<unsigned>(placement.m_bPositioned ? nDisplay : 0)).GetClientArea();
    const int nWidth = settings.ReadInt(SettingsKey::kWindowWidth, 0);
    const int nHeight = settings.ReadInt(SettingsKey::kWindowHeight, 0);
    if (nWidth >= 300 && nHeight >= 200 && nWidth <= 20000 && nHeight <= 20000)
        placement.m_rect.SetSize(wxSize(nWidth, nHeight));
    else
        placement.m_rect.SetSize(DefaultWindowSize(area.GetSize()));
    placement.m_rect = FitToWorkArea(placement.m_rect, area);
    placement.m_bMaximized = settings.ReadInt(SettingsKey::kWindowMaximized, 0) == 1;
    const int nSash = settings.ReadInt(SettingsKey::kSplitter, 0);
    placement.m_nSash = nSash >= 60 && nSash <= 5000 ? nSash : 0;
    // "320,0,90": a width out of bounds or not a number counts as never sized.
    const std::string strWidths = settings.ReadText(SettingsKey::kColumnWidths, "");
    for (size_t nAt = 0; nAt < strWidths.size() && placement.m_columnWidths.size() < kMaxColumns;) {
        const size_t nComma = std::min(strWidths.find(',', nAt), strWidths.size());
        const int nWidth = ParseLeadingInt(std::string_view(strWidths).substr(nAt, nComma - nAt));
        placement.m_columnWidths.push_back(nWidth >= 20 && nWidth <= 5000 ? nWidth : 0);
        nAt = nComma + 1;
    }
    return placement;
}


bool WriteWindowPlacement(CSettingsStore& settings, const CWindowPlacement& placement)
{
    std::vector<std::pair<std::string, std::string>> values = {
        {SettingsKey::kSplitter, std::to_string(placement.m_nSash)},
        {SettingsKey::kColumnWidths, JoinWidths(placement.m_columnWidths)},
        {SettingsKey::kWindowMaximized, placement.m_bMaximized ? "1" : "0"}};
    if (placement.m_bPositioned) {
        const wxRect& rect = placement.m_rect;
        values.insert(values.begin(), {{SettingsKey::kWindowX, std::to_string(rect.x)},
                                       {SettingsKey::kWindowY, std::to_string(rect.y)},
                                       {SettingsKey::kWindowWidth, std::to_string(rect.width)},
                                       {SettingsKey::kWindowHeight, std::to_string(rect.height)}});
    }
    return settings.WriteTexts(values);
}

namespace {

struct CPendingMove
{
    wxPoint m_position;
    gulong m_nHandler = 0;
};

gboolean OnMapped(GtkWidget* pWidget, GdkEvent*, gpointer pData)
{
    auto* pMove = static_cast<CPendingMove*>(pData);
    gtk_window_move(GTK_WINDOW(pWidget), pMove->m_position.x, pMove->m_position.y);
    g_signal_handler_disconnect(pWidget, pMove->m_nHandler); // frees pMove
    return FALSE;
}

} // namespace

void MoveWhenMapped(wxTopLevelWindow& window, const wxPoint& position)
{
    GtkWidget* pWidget = window.GetHandle();
    if (!pWidget || gtk_widget_get_mapped(pWidget))
        return;
    auto* pMove = new CPendingMove{position};
    pMove->m_nHandler = g_signal_connect_data(
        pWidget, "map-event", G_CALLBACK(OnMapped), pMove,
        [](gpointer pData, GClosure*) { delete static_cast<CPendingMove*>(pData); }, GConnectFlags(0));
}

void PrepareFirstShow(wxTopLevelWindow& window)
{
    GtkWidget* pWidget = window.GetHandle();
    if (!pWidget || gtk_widget_get_realized(pWidget))
        return;
    GtkAllocation allocation = {0, 0, window.GetSize().GetWidth(), window.GetSize().GetHeight()};
    gtk_widget_set_allocation(pWidget, &allocation);
}
