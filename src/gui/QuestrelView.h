// SPDX-License-Identifier: MIT
#pragma once

// The search form: query, hit limit, All Hits, search option, Search, Stop,
// the animation, Clear Results and the result list below them. It owns the
// result rows, the current search run and the application's internet session.

#include "platform/InternetClient.h"
#include "results/ResultRows.h"
#include "search/SearchJob.h"
#include "search/SearchSettings.h"

#include <functional>
#include <memory>
#include <string>
#include <wx/panel.h>
#include <wx/weakref.h>

class CAppModel;
class CEngineListCtrl;
class IStatusSink;
class CResultListCtrl;
class CResultPrinting;
class CGuiSearchHost;
class wxActivityIndicator;
class wxButton;
class wxCheckBox;
class wxChoice;
class wxStaticText;
class wxTextCtrl;

enum : int
{
    IDC_SEARCH_FOR = 1000,
    IDC_SEARCH = 1002,
    IDC_RESULTS = 1003,
    IDC_STOP = 1004,
    IDC_ANIMATION = 1005,
    IDC_MAX_HITS = 1006,
    IDC_CLEAR_RESULTS = 1007,
    IDC_OPTIONS = 1009,
    IDC_ALL_HITS = 1025,
    IDC_MAX_HITS_LABEL = 1026,
    ID_CONNECT = 32771,
};

class CQuestrelView : public wxPanel
{
public:
    // The form searches the engines the pane has ticked.
    CQuestrelView(wxWindow* pParent, CAppModel& model, IStatusSink& status, CEngineListCtrl& engines);
    ~CQuestrelView() override;
    // Told when a search starts and when it ends.
    void SetSearchStateHandler(std::function<void()> handler) { m_onSearchState = std::move(handler); }

    // The form's mapping of the search settings (query, option, hit limit, All
    // Hits): the model's settings shown in the controls, and the controls' values
    // into the model's settings, validating the hit limit ("Please enter an
    // integer." / "... between 1 and 2048."); false and focus on the edit when it fails.
    void TransferToForm();
    bool TransferFromForm();
    int GetSearchOption() const;       // -1 when none is selected
    void SetSearchOption(int nOption); // outside 0..2: no selection
    void UpdateHitLimitState();

    CResultRows& GetRows() { return m_rows; }
    CResultListCtrl& GetResultList() { return *m_pResultList; }

    // Commands.
    void OnSearch();
    void OnStop();
    void OnClearResults();
    void OnResultDoubleClick();          // opens the first selected hit
    void OpenResult(int nRow);           // in the browser, if it is a web address
    void OnExportResults();              // File > Export Results...
    // File > Print..., Print Preview, Print Setup...: the result list as shown.
    void OnPrint(int nCommandId);
    bool OnConnect();
    void CloseInternetSession();
    bool HasInternetSession() const { return m_pSession != nullptr; }
    const CInternetSession* GetInternetSession() const { return m_pSession.get(); }
    // Ends a running search and waits for its worker (window closing); the
    // window is hidden first when the worker is still busy.
    void CancelSearch();
    // The search run, for tests that put in a worker procedure of their own.
    CSearchRun& GetSearchRun() { return m_searchRun; }

    bool IsSearching() const { return m_bSearching; }
    bool CollectChosenEngines(std::vector<CSearchEngine>& chosen) const;

    // From the search run, on the UI thread (see CGuiSearchHost).
    void OnSearchFinished();
    void ShowStatusText(const std::string& strText);
    void ShowStatusTexts(const std::vector<std::string>& texts);
    // A message box of the running search: gathered, shown after the search in one box.
    void NoteWorkerMessage(const std::string& strText);
    void PostFromWorker(int nSearchId, std::function<void()> call);
    // The worker thread has ended (posted by its last act): it is joined, and a
    // search asked for while it was busy starts now.
    void OnWorkerEnded();

private:
    // After the search: "Find complete. 12 hits, 3 dead links removed, 2 of 4
    // engines failed." when links were verified or any engine failed (nDeadRemoved
    // -1: not verified), and the failures in one box (unless turned off).
    void ReportFailures(const std::vector<CEngineOutcome>& outcomes, int nDeadRemoved);
    std::vector<std::string> m_workerMessages;
    bool m_bVerifiedSearch = false; // the running (or last) search verifies its links
    // The current hit, bound to the result list's columns.
    std::string m_strDescription;
    std::string m_strUrl;
    std::string m_strEngine;

    void CreateControls();
    void SetSearchingState(bool bSearching);
    void SearchStateChanged();
    bool PrepareSession();
    void OnAllHitsClicked();

    CAppModel& m_model;
    IStatusSink& m_status;
    CEngineListCtrl& m_engines;
    std::function<void()> m_onSearchState;
    CResultRows m_rows;
    wxTextCtrl* m_pQueryEdit = nullptr;
    wxButton* m_pSearchButton = nullptr;
    wxButton* m_pStopButton = nullptr;
    wxActivityIndicator* m_pAnimation = nullptr;
    wxStaticText* m_pMaxHitsLabel = nullptr;
    wxTextCtrl* m_pMaxHitsEdit = nullptr;
    wxChoice* m_pOptions = nullptr;
    wxCheckBox* m_pAllHits = nullptr;
    wxButton* m_pClearButton = nullptr;
    CResultListCtrl* m_pResultList = nullptr;
    wxWeakRef<wxWindow> m_pFocusBeforeSearch; // where the keyboard was when the search started

    std::shared_ptr<CInternetSession> m_pSession; // a stopped worker keeps its own reference
    CSearchRun m_searchRun;
    std::unique_ptr<CGuiSearchHost> m_pHost;
    std::unique_ptr<CResultPrinting> m_pPrinting; // keeps the page setup from one print to the next
    std::shared_ptr<CSearchOutcomes> m_pOutcomes; // how each engine of the last search ended
    int m_nSearchId = 0;
    bool m_bSearching = false;
    bool m_bSearchWhenEnded = false; // Search was pressed while a stopped worker was busy
};

