// SPDX-License-Identifier: MIT
#pragma once

// The engine dialog: one field for each value of an engine definition, and
// the workbench: "Learn from a Result Page..." fills every field from a page
// of the engine's results; "Test" shows what the fields find on that page
// (how many hits, the first ones); "Fetch Again" asks the engine anew with
// the fields as they are. Nothing is saved until OK.

#include "gui/BackgroundTask.h"
#include "platform/InternetClient.h"
#include "search/PageRequest.h"

#include <string>
#include <vector>
#include <wx/dialog.h>

class CSearchEngine;
class wxButton;
class wxChoice;
class wxTextCtrl;

enum : int
{
    IDC_ENGINE_NAME = 1011,
    IDC_START_TOKEN = 1012,
    IDC_END_TOKEN = 1013,
    IDC_ENGINE_URL = 1014,
    IDC_SEARCH_TYPE = 1015,
    IDC_PREFIX = 1016,
    IDC_SUFFIX = 1017,
    IDC_NEXT_PAGE = 1018,
    IDC_LEARN_FROM_PAGE = 1019,
    IDC_TEST_ENGINE = 1020,
    IDC_FETCH_AGAIN = 1021,
    IDC_PREVIEW = 1022,
};

class CEngineDlg : public wxDialog
{
public:
    explicit CEngineDlg(wxWindow* pParent, CSessionOptions sessionOptions = {});

    std::string m_strStartToken;
    std::string m_strEndToken;
    std::string m_strName;
    std::string m_strPrefix;
    std::string m_strSuffix;
    std::string m_strUrl;
    int m_nSearchType = -1; // position in the Search Type list, -1 for none
    std::string m_strNextPage;
    // The names of the other engines: the engine's name may be none of them.
    std::vector<std::string> m_otherNames;

    // The fields from an engine, and an engine from the fields (the validity
    // flag is left as it is: the dialog checks nothing).
    void SetFromEngine(const CSearchEngine& engine);
    void CopyToEngine(CSearchEngine& engine) const;

    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;
    // OK with a value the catalogue cannot keep (a line break in any field; an
    // empty name, token or prefix; a name another engine has): a message, focus
    // on the field, and the dialog stays open.
    bool Validate() override;

    wxTextCtrl* GetEdit(int nId) const;
    wxChoice* GetSearchTypeList() const { return m_pSearchType; }

    // The workbench's buttons.
    void OnLearnFromPage();
    void OnTest();
    void OnFetchAgain();
    bool IsFetching() const { return m_fetch.IsRunning(); }
    // The preview: what the fields find on the page, or why nothing.
    std::string GetPreviewText() const;
    // The page the fields are tried on, and the query it answers.
    void SetProbePage(const std::string& strQuery, const CPageAnswer& answer);

private:
    void ShowPreview(const std::string& strText);

    CSessionOptions m_sessionOptions;
    std::string m_strProbeQuery; // the query of the page tried on
    CPageAnswer m_probe;
    bool m_bHasProbe = false;
    int m_nTests = 0; // how many times the fields were tried on the page
    CBackgroundTask m_fetch;
    wxTextCtrl* m_pPreview = nullptr;
    wxButton* m_pTest = nullptr;
    wxButton* m_pFetchAgain = nullptr;

    wxTextCtrl* m_pName;
    wxTextCtrl* m_pStartToken;
    wxTextCtrl* m_pEndToken;
    wxTextCtrl* m_pUrl;
    wxChoice* m_pSearchType;
    wxTextCtrl* m_pPrefix;
    wxTextCtrl* m_pSuffix;
    wxTextCtrl* m_pNextPage;
};
