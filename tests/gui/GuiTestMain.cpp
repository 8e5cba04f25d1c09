// SPDX-License-Identifier: MIT
// The GUI tests run under a virtual display (xvfb-run), with a real wx
// application but no main loop: tests pump pending events themselves.

#include "GuiFixture.h"
#include "platform/InternetClient.h"

#include <cstdlib>
#include <glib.h>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

namespace {

// Any Gtk-CRITICAL is a toolkit call made wrongly: it fails the test it came in.
void FailOnCritical(const gchar* pszDomain, GLogLevelFlags level, const gchar* pszMessage, gpointer)
{
    ADD_FAILURE() << (pszDomain ? pszDomain : "") << "-CRITICAL: " << pszMessage;
    g_log_default_handler(pszDomain, level, pszMessage, nullptr);
}

class CWxEnvironment : public ::testing::Environment
{
public:
    CWxEnvironment(int argc, char** argv) : m_argc(argc), m_argv(argv) {}

    void SetUp() override
    {
        wxApp::SetInstance(new wxApp);
        if (!wxEntryStart(m_argc, m_argv) || !wxTheApp || !wxTheApp->CallOnInit()) {
            std::fprintf(stderr, "GUI tests: the display could not be opened (run them under xvfb-run)\n");
            std::exit(1);
        }
        wxTheApp->SetAppName("questrel");
        // A failed wx check would open a dialog and wait for ever: fail the test instead.
        wxSetAssertHandler([](const wxString& strFile, int nLine, const wxString& strFunc,
                              const wxString& strCond, const wxString& strMsg) {
            ADD_FAILURE() << "wx check failed: " << strFile << ":" << nLine << " " << strFunc << ": "
                          << strCond << " " << strMsg;
        });
        for (const char* pszDomain : {"Gtk", "Gdk", "GLib-GObject", "GLib", "GdkPixbuf"})
            g_log_set_handler(pszDomain, GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_FLAG_FATAL), FailOnCritical,
                              nullptr);
        InitNetworkLibrary();
    }
    void TearDown() override
    {
        CleanupNetworkLibrary();
        wxTheApp->OnExit();
        wxEntryCleanup();
    }

private:
    int m_argc;
    char** m_argv;
};

} // namespace

int main(int argc, char** argv)
{
    for (const char* pszName : {"http_proxy", "https_proxy", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"})
        ::unsetenv(pszName);
    ::setenv("no_proxy", "*", 1);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new CWxEnvironment(argc, argv));
    return RUN_ALL_TESTS();
}
