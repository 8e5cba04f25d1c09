// SPDX-License-Identifier: MIT
#pragma once

// "Learn from a Result Page": the query the user searched and the address of
// its result page in the browser. The page is fetched off the UI thread (a
// progress line; Stop works); a definition proposed from it ends the dialog
// with OK, and anything else is said in the progress line.

#include "engines/SearchEngine.h"
#include "gui/BackgroundTask.h"
#include "platform/InternetClient.h"
#include "workbench/EngineLearner.h"
#include "workbench/PageProbe.h"

#include <string>
#include <wx/dialog.h>

class wxButton;
class wxStaticText;
class wxTextCtrl;

enum : int
{
    IDC_LEARN_QUERY = 1031,
    IDC_LEARN_ADDRESS = 1032,
    IDC_LEARN_STATUS = 1033,
    IDC_LEARN_START = 1034,
    IDC_LEARN_STOP = 1035,
};

class CLearnDlg : public wxDialog
{
public:
    CLearnDlg(wxWindow* pParent, CSessionOptions options);

    std::string m_strQuery;
    std::string m_strAddress;

    // What was learned (valid after OK): the fields, and the page they came from.
    CSearchEngine m_learned;
    CPageAnswer m_answer;
    CLearnResult m_result;

    // Learn: checks the fields, then fetches the page off the UI thread.
    void StartLearning();
    void StopLearning();
    bool IsLearning() const { return m_task.IsRunning() || m_bWaiting; }
    bool HasLearned() const { return m_bLearned; }
    std::string GetStatusText() const;

private:
    void OnFetched();
    void SetStatus(const std::string& strText);
    void SetBusy(bool bBusy);

    CSessionOptions m_options;
    wxTextCtrl* m_pQuery;
    wxTextCtrl* m_pAddress;
    wxStaticText* m_pStatus;
    wxButton* m_pStart;
    wxButton* m_pStop;
    CBackgroundTask m_task;
    bool m_bWaiting = false; // fetched, not yet taken in on the UI thread
    bool m_bFetched = false; // the worker's answer, read once it ended
    bool m_bLearned = false;
};
