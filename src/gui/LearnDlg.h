// SPDX-License-Identifier: MIT
#pragma once

// "Learn from a Result Page": the query the user searched and the address of
// its result page in the browser, and when the guess is wrong, one result's
// address. The page is fetched and learned from off the UI thread (a progress
// line; Stop works). The lists of links the learner considered are shown, the
// one taken selected, with a preview of its hits; picking another list, or
// giving an example and pressing Learn again, learns anew from the same page at
// once. OK takes the definition; anything that went wrong is said in the
// progress line.

#include "engines/SearchEngine.h"
#include "gui/BackgroundTask.h"
#include "platform/InternetClient.h"
#include "workbench/EngineLearner.h"
#include "search/PageRequest.h"

#include <string>
#include <wx/dialog.h>

class wxButton;
class wxListBox;
class wxStaticText;
class wxTextCtrl;

enum : int
{
    IDC_LEARN_QUERY = 1031,
    IDC_LEARN_ADDRESS = 1032,
    IDC_LEARN_STATUS = 1033,
    IDC_LEARN_START = 1034,
    IDC_LEARN_STOP = 1035,
    IDC_LEARN_EXAMPLE = 1036,
    IDC_LEARN_GROUPS = 1037,
    IDC_LEARN_PREVIEW = 1038,
};

class CLearnDlg : public wxDialog
{
public:
    CLearnDlg(wxWindow* pParent, CSessionOptions options);

    std::string m_strQuery;
    std::string m_strAddress;
    std::string m_strExample;

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

    // Learns again from the page held, with the list at that row of the groups.
    void PickGroup(int nRow);
    std::string GetPreviewText() const;
    int GetGroupCount() const;

private:
    void OnFetched();
    void ShowResult();
    void RelearnFromPage(const CLearnRequest& request);
    void SetStatus(const std::string& strText);
    void SetBusy(bool bBusy);

    CSessionOptions m_options;
    wxTextCtrl* m_pQuery;
    wxTextCtrl* m_pAddress;
    wxTextCtrl* m_pExample;
    wxListBox* m_pGroups;
    wxTextCtrl* m_pPreview;
    wxButton* m_pOk;
    wxStaticText* m_pStatus;
    wxButton* m_pStart;
    wxButton* m_pStop;
    CBackgroundTask m_task;
    bool m_bWaiting = false; // fetched, not yet taken in on the UI thread
    bool m_bFetched = false; // the worker's answer, read once it ended
    bool m_bLearned = false;
};
