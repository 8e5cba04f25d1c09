// SPDX-License-Identifier: MIT
#include "gui/Accessibility.h"

#include <gtk/gtk.h>
#include <wx/dataview.h>
#include <wx/window.h>

namespace {

// The widget a screen reader lands on: a list's tree view rather than the
// scrolled window around it; a check box's button rather than the box that
// holds it beside its label.
GtkWidget* AccessibleWidget(wxWindow* pWindow)
{
    if (auto* pDataView = dynamic_cast<wxDataViewCtrl*>(pWindow))
        return pDataView->GtkGetTreeView();
    GtkWidget* pWidget = pWindow->GetHandle();
    if (pWidget && GTK_IS_CONTAINER(pWidget) && !GTK_IS_BUTTON(pWidget) && !GTK_IS_ENTRY(pWidget) &&
        !GTK_IS_COMBO_BOX(pWidget)) {
        GList* pChildren = gtk_container_get_children(GTK_CONTAINER(pWidget));
        for (GList* p = pChildren; p; p = p->next) {
            if (GTK_IS_TOGGLE_BUTTON(p->data)) {
                pWidget = GTK_WIDGET(p->data);
                break;
            }
        }
        g_list_free(pChildren);
    }
    return pWidget;
}

} // namespace

void SetAccessibleName(wxWindow* pWindow, const wxString& strName)
{
    GtkWidget* pWidget = pWindow ? AccessibleWidget(pWindow) : nullptr;
    if (AtkObject* pAccessible = pWidget ? gtk_widget_get_accessible(pWidget) : nullptr)
        atk_object_set_name(pAccessible, strName.utf8_str());
}

void ShowFocusedRow(wxDataViewCtrl& list)
{
    list.Bind(wxEVT_SET_FOCUS, [&list](wxFocusEvent& event) {
        event.Skip();
        list.CallAfter([&list] {
            auto* pModel = dynamic_cast<wxDataViewVirtualListModel*>(list.GetModel());
            if (!pModel || pModel->GetCount() == 0 || list.GetSelectedItemsCount() > 0)
                return;
            wxDataViewItem item = list.GetCurrentItem();
            if (!item.IsOk())
                item = pModel->GetItem(0);
            list.Select(item);
            list.SetCurrentItem(item);
        });
    });
}
