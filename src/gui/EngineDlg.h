// SPDX-License-Identifier: MIT
#pragma once

// The engine dialog: one field for each value of an engine definition.

#include <string>
#include <vector>
#include <wx/dialog.h>

class CSearchEngine;
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
};

class CEngineDlg : public wxDialog
{
public:
    explicit CEngineDlg(wxWindow* pParent);

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

private:
    wxTextCtrl* m_pName;
    wxTextCtrl* m_pStartToken;
    wxTextCtrl* m_pEndToken;
    wxTextCtrl* m_pUrl;
    wxChoice* m_pSearchType;
    wxTextCtrl* m_pPrefix;
    wxTextCtrl* m_pSuffix;
    wxTextCtrl* m_pNextPage;
};
