// SPDX-License-Identifier: MIT
#pragma once

// What the window's parts share, made once at start-up by the application:
// where things are (the context), the search settings (the form's values as
// last read from or shown in it, the options, the connection), the options
// that only the window reads, and whether the connection changed since the
// session was opened. Each change of an option or the connection is written
// to the profile at once; a write that failed is said once in the status bar.

#include "gui/AppContext.h"
#include "platform/InternetClient.h"
#include "search/SearchSettings.h"

#include <functional>

class CSettingsStore;
class IStatusSink;

class CAppModel
{
public:
    // Reads the options and the settings from the context's profile.
    explicit CAppModel(const CAppContext& context);

    const CAppContext& GetContext() const { return m_context; }
    CSettingsStore& GetSettings() const { return *m_context.m_pSettings; }

    // The window that shows the model: its status texts, and what to show
    // again when settings change (nOptionId: the option's command id, 0 when
    // all the settings were replaced).
    void Attach(IStatusSink* pStatus, std::function<void(int nOptionId)> onChanged);

    const CSearchSettings& GetSearchSettings() const { return m_search; }
    // Takes the settings and has them shown (the form, the option checks).
    void ApplySearchSettings(const CSearchSettings& settings);
    // Takes the settings as the form gave them (nothing is shown again).
    void StoreSearchSettings(const CSearchSettings& settings) { m_search = settings; }

    // The options of the Options and View menus, by their command ids.
    bool IsOptionOn(int nId) const;
    // Turns the option over and writes it to the profile.
    void ToggleOption(int nId);
    // The command ids of every option kept in the profile.
    static const std::vector<int>& GetOptionIds();

    // The connection settings of the moment, as the options of requests.
    CSessionOptions GetSessionOptions() const { return BuildSessionOptions(m_search); }
    // The Communication dialog's values; any change of them takes a new
    // session (the next search asks whether to reconnect).
    void SetConnection(const CSearchSettings& settings);
    bool IsReconnectPending() const { return m_bReconnectPending; }
    void ClearReconnectPending() { m_bReconnectPending = false; }

    // Every write of the profile reports here: one that failed is said in the
    // status bar, once until a write succeeds again.
    void NoteSettingsWritten(bool bWritten);

private:
    bool* OptionFlag(int nId, const char** ppszKey);
    void Changed(int nOptionId) const;

    CAppContext m_context;
    CSearchSettings m_search;
    bool m_bShowHints = true;
    bool m_bSaveSettings = false;
    bool m_bReportFailures = true; // failed engines in one box after a search
    bool m_bReconnectPending = false;
    bool m_bSettingsWriteFailed = false;
    IStatusSink* m_pStatus = nullptr;
    std::function<void(int)> m_onChanged;
};
