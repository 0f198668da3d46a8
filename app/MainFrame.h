// The main window: menus, toolbar, status bar and the view host, and every
// command of the user. An operation flag, read and written under a named
// semaphore, turns away a second operation (and Exit) while the nested message
// loop of a running one dispatches commands.
#pragma once

#include "app/ViewHost.h"
#include "framework/FrameWnd.h"
#include "framework/NamedSemaphore.h"
#include "report/DiffFilter.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

class CCaptureDlg;
class CCompareMine;
class CSnapshotSetupDlg;

extern const char* const kHelpPage;
// The floating toolbar's caption.
extern const char* const kToolBarCaption;
// In the status bar from a close request during an operation to its end.
extern const char* const kCloseWhenFinished;
constexpr const char* kOperationLockName = "corvane_mainframe_operation";

// Tells of a failure that reached a window procedure, from inside its catch.
// What runs at length on the user-interface thread, and can run short of
// memory there, is the display of a comparison: the failure is told as the
// comparison's worker tells its own. The program sets it as the framework's
// handler (SetUiFailureHandler).
void ReportWindowFailure();

class CMainFrame : public CFrameWnd {
public:
    CMainFrame();
    // Where the results' engine is known.
    ~CMainFrame() override;
    CViewHost& Host() { return m_wndHost; }

    // What the window hides of a result, for the next comparisons too while
    // the program runs: the noise of the result's kind, and the user's own
    // patterns (one per line). Applied to the result shown at once.
    bool IsNoiseHidden() const { return m_bHideNoise; }
    const std::string& Patterns() const { return m_strPatterns; }
    // The entries of the result shown that are hidden now.
    uint64_t HiddenCount() const { return m_hidden.Count(); }

    BOOL IsOperationRunning();
    void SetOperationRunning(BOOL running);
    void CloseResults();

protected:
    void PreCreateWindow(CREATESTRUCTA& cs) override;
    int OnCreate(CREATESTRUCTA* cs) override;
    // The results view first, then the frame's own commands, then the bars'.
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnSetFocus(HWND old) override;
    void OnClose() override;

    // Command handlers.
    void OnCreateSnapshot();
    // File > Snap Shot > Capture...: snapshots around a program, both
    // comparisons kept, the file system's shown (the registry's when only
    // it was recorded).
    void OnCapture();
    // Shows the capture's other result, as it was kept.
    void OnShowOtherResult();
    void OnCompareRegistry();
    void OnCompareFileSystem();
    void OnHelpContents();
    void OnAppAbout();
    void OnAppExit();
    void OnFilters();
    void OnHideThis();
    void OnSaveReport();
    void OnSaveRegistryPatch();
    void OnRecompare();
    void OnFind(bool askFirst);
    // The results' commands of the frame; false for any other.
    bool OnResultsCommand(UINT id);
    void OnInitMenuPopup(HMENU menu) override;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;

    // Opens a web page in the user's browser.
    virtual void OpenWebPage(const char* url);
    // Asks for the snapshot's kind, drive and file; IDOK when confirmed.
    virtual INT_PTR RunSetup(CSnapshotSetupDlg& setup);
    // Asks what to capture; IDOK when confirmed.
    virtual INT_PTR RunCaptureSetup(CCaptureDlg& dialog);
    // Asks for two snapshots of the kind and compares them; the finished
    // engine, or null when there is no result (the user has been told why).
    // files: the two files to compare without asking (Re-Compare), or null.
    virtual std::unique_ptr<CCompareMine> RunComparison(int kind, const std::string* files = nullptr);
    // Both compare commands and Re-Compare: closes what is shown, compares,
    // and shows and keeps the result with the filters applied.
    void CompareAndShow(int kind, const std::string* files = nullptr);
    // Shows the kept result of the kind, compared from its two files, with
    // the filters applied.
    void ShowResult(int kind);
    // Hides what the filters hide of the result shown and fills the trees
    // again; false, with the reason told, when the patterns are refused.
    void ApplyFilters();
    CPathFilter BuildFilter() const;
    // The status bar's second pane, while entries are hidden.
    void ShowHiddenCount();
    // The result shown, or null.
    CCompareMine* Shown() const;
    // Asks for a file to save to, of one of types (its index from 1 comes
    // back in type); false when cancelled, or when the file is one of the
    // shown result's snapshots, which a save never replaces (the user is told).
    bool AskSavePath(const char* title, const char* extension, const char* types, std::string& path, int& type);
    // Opens path, has write fill it, and closes it; on any failure the file
    // is removed and the user told. binary: byte for byte, else text mode.
    bool WriteSaved(const std::string& path, bool binary, const char* what,
                    const std::function<bool(std::FILE*)>& write);
    // An information or error box of the frame, captioned "Pellix Corvane".
    void Tell(const std::string& text, UINT icon) const;
    // The same of UTF-8 text, shown wide: names the code page cannot hold.
    void TellUtf8(const std::string& text, UINT icon) const;

    // Sets the operation flag for the life of a command that runs an
    // operation, and clears it on every way out, an exception included, so
    // the frame can never be left refusing Exit and its close box; a close
    // request that came meanwhile is carried out then.
    class COperationScope {
    public:
        explicit COperationScope(CMainFrame& frame);
        ~COperationScope();
        COperationScope(const COperationScope&) = delete;
        COperationScope& operator=(const COperationScope&) = delete;

    private:
        CMainFrame& m_frame;
    };

    // The results of the last comparison of each kind; declared before the
    // host, so the view that shows one goes first.
    std::unique_ptr<CCompareMine> m_pRegResult;
    std::unique_ptr<CCompareMine> m_pFSResult;
    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;
    CViewHost m_wndHost;
    CSharedLock m_lockOperation;
    BOOL m_bOperationRunning = 0;
    // The close box was used while an operation ran: close when it has ended.
    bool m_bCloseDeferred = false;

    // The kind of the result shown and the two files it compared, as chosen.
    int m_nShownKind = 0;
    std::string m_strShownFiles[2];
    // The files the last comparison run compared.
    std::string m_strComparedFiles[2];
    // The two files each kept result compared, by kind.
    std::string m_strKindFiles[2][2];
    // Both results are the last capture's, to switch between.
    bool m_bCaptureKept = false;
    bool m_bHideNoise = false;
    std::string m_strPatterns;
    CHiddenEntries m_hidden;  // of the result shown
    std::wstring m_strFindText;
};
