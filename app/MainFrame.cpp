#include "app/MainFrame.h"

#include "app/AboutDlg.h"
#include "app/CaptureDlg.h"
#include "capture/CaptureOperation.h"
#include "app/FilterDialogs.h"
#include "app/SnapshotSetupDlg.h"
#include "compare/CompareOperation.h"
#include "compare/RegMine.h"
#include "compare/WideChars.h"
#include "framework/AnsiName.h"
#include "framework/FileDialog.h"
#include "framework/WaitCursor.h"
#include "report/DiffWriter.h"
#include "report/RegPatch.h"
#include "res/resource.h"
#include "snapshot/StdioFile.h"
#include "snapshot/SnapOperation.h"
#include "operation/AppMessages.h"
#include "operation/SnapProgressDlg.h"
#include "operation/WorkerWait.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>

const char* const kHelpPage = "https://www.pellix.com/corvane/help";
const char* const kToolBarCaption = "Toolbar";
const char* const kCloseWhenFinished = "Corvane will close when the operation has finished.";

void ReportWindowFailure()
{
    ReportFailure(kComparisonFailure);
}

CMainFrame::CMainFrame()
{
    // Without even a lock of this process the flag is still read and written
    // only on the user-interface thread.
    m_lockOperation.Create(kOperationLockName, kSharedLockPatienceMs);
}

CMainFrame::~CMainFrame() = default;

BOOL CMainFrame::IsOperationRunning()
{
    bool locked = m_lockOperation.Lock(true);
    BOOL running = m_bOperationRunning;
    if (locked)
        m_lockOperation.Unlock();
    return running;
}

void CMainFrame::SetOperationRunning(BOOL running)
{
    bool locked = m_lockOperation.Lock(true);
    m_bOperationRunning = running;
    if (locked)
        m_lockOperation.Unlock();
}

void CMainFrame::CloseResults()
{
    m_wndHost.CloseView();
    // A file-system result outlives its view, unseen, with what was hidden
    // of it left out.
    m_hidden.Forget();
    m_pRegResult.reset();
    m_bCaptureKept = false;
    ShowHiddenCount();
}

void CMainFrame::PreCreateWindow(CREATESTRUCTA& cs)
{
    cs.dwExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

int CMainFrame::OnCreate(CREATESTRUCTA*)
{
    if (!m_wndHost.Create(this, kIdFirstPane))
        return -1;
    if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT | TBSTYLE_TOOLTIPS,
                               WS_CHILD | WS_VISIBLE | CCS_TOP, kIdToolBar) ||
        !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CCS_BOTTOM, kIdStatusBar))
        return -1;
    if (!EnableDocking(m_wndToolBar, kToolBarCaption))
        return -1;
    ShowIdleMessage();
    RecalcLayout();
    return 0;
}

bool CMainFrame::OnCommand(UINT id, UINT code, HWND control)
{
    // Menus (code 0), accelerators (code 1) and toolbar buttons.
    if (code > 1)
        return false;
    // A command of the results view may serve the thread's messages while it
    // runs long (Expand All of a large result): it runs as an operation, so
    // that nothing closes the result under it.
    if (m_wndHost.HasView() && !IsOperationRunning()) {
        COperationScope scope(*this);
        if (m_wndHost.OnCmdMsg(id, code, control))
            return true;
    } else if (m_wndHost.OnCmdMsg(id, code, control)) {
        return true;
    }
    if (OnResultsCommand(id))
        return true;
    switch (id) {
    case ID_SNAPSHOT_CREATE:
        OnCreateSnapshot();
        return true;
    case ID_SNAPSHOT_CAPTURE:
        OnCapture();
        return true;
    case ID_COMPARE_REGISTRY:
        OnCompareRegistry();
        return true;
    case ID_COMPARE_FILESYSTEM:
        OnCompareFileSystem();
        return true;
    case ID_HELP_INDEX:
        OnHelpContents();
        return true;
    case ID_APP_ABOUT:
        OnAppAbout();
        return true;
    case ID_APP_EXIT:
        OnAppExit();
        return true;
    default:
        return CFrameWnd::OnCommand(id, code, control);
    }
}

void CMainFrame::OnSetFocus(HWND)
{
    if (m_wndHost.GetSafeHwnd())
        m_wndHost.SetFocus();
}

void CMainFrame::OnClose()
{
    // The command that runs an operation is still on the stack, inside its
    // nested message loop: the frame may only go once it has returned.
    if (IsOperationRunning()) {
        m_bCloseDeferred = true;
        // A result still being filled or expanded is not waited for.
        m_wndHost.StopWork();
        // Said where it stays: the bar comes back if it was hidden.
        if (!IsControlBarVisible(kIdStatusBar))
            ShowControlBar(kIdStatusBar, true);
        SetIdleMessage(kCloseWhenFinished);
        return;
    }
    DestroyWindow();
}

CMainFrame::COperationScope::COperationScope(CMainFrame& frame) : m_frame(frame)
{
    m_frame.SetOperationRunning(TRUE);
}

CMainFrame::COperationScope::~COperationScope()
{
    m_frame.SetOperationRunning(FALSE);
    if (m_frame.m_bCloseDeferred) {
        m_frame.m_bCloseDeferred = false;
        m_frame.PostMessage(WM_CLOSE);
    }
}

INT_PTR CMainFrame::RunSetup(CSnapshotSetupDlg& setup)
{
    return setup.DoModal();
}

void CMainFrame::OnCreateSnapshot()
{
    if (IsOperationRunning())
        return;
    COperationScope scope(*this);
    CSnapshotSetupDlg setup;
    // Made before the operation and gone after it: the worker uses it to the end.
    CSnapProgressDlg progress(TRUE);
    if (RunSetup(setup) != IDOK)
        return;
    UINT icon = setup.m_nKind == kSnapKindRegistry ? IDI_REGISTRY_OP : IDI_FILESYSTEM_OP;
    if (!progress.Create(icon, this))
        return;
    CSnapOperation operation;
    operation.ChoosePlaces(std::move(setup.m_places));
    operation.HashContents(setup.m_bHashContents);
    operation.Start(this, &progress, setup.m_strPath, setup.m_nKind, setup.m_chDrive,
                    setup.m_bFullIgnoredPaths);
}

std::unique_ptr<CCompareMine> CMainFrame::RunComparison(int kind, const std::string* files)
{
    CCompareOperation operation;
    std::unique_ptr<CCompareMine> result = operation.Start(this, kind, files);
    m_strComparedFiles[0] = operation.File(1);
    m_strComparedFiles[1] = operation.File(2);
    return result;
}

void CMainFrame::OnCompareRegistry()
{
    CompareAndShow(kSnapKindRegistry);
}

void CMainFrame::OnCompareFileSystem()
{
    CompareAndShow(kSnapKindFileSystem);
}

void CMainFrame::CompareAndShow(int kind, const std::string* files)
{
    if (IsOperationRunning())
        return;
    COperationScope scope(*this);
    // The registry result goes with the view; a file-system result stays
    // until the next one replaces it.
    CloseResults();
    std::unique_ptr<CCompareMine> result = RunComparison(kind, files);
    if (!result) {
        // The registry command says so whenever it has nothing to show, a
        // cancelled dialog included; the file-system command says nothing.
        if (kind == kSnapKindRegistry)
            ::MessageBoxA(m_hWnd, kComparisonFailed, kProgramCaption, MB_OK);
        return;
    }
    (kind == kSnapKindRegistry ? m_pRegResult : m_pFSResult) = std::move(result);
    m_strKindFiles[kind][0] = m_strComparedFiles[0];
    m_strKindFiles[kind][1] = m_strComparedFiles[1];
    ShowResult(kind);
}

void CMainFrame::ShowResult(int kind)
{
    CCompareMine& result = kind == kSnapKindRegistry ? *m_pRegResult : *m_pFSResult;
    m_nShownKind = kind;
    m_strShownFiles[0] = m_strKindFiles[kind][0];
    m_strShownFiles[1] = m_strKindFiles[kind][1];
    m_hidden.Hide(result, BuildFilter());
    const bool hidden = m_hidden.Count() > 0;
    if (kind == kSnapKindRegistry)
        m_wndHost.ShowRegistryResults(result, hidden);
    else
        m_wndHost.ShowFileSystemResults(result, hidden);
    ShowHiddenCount();
}

INT_PTR CMainFrame::RunCaptureSetup(CCaptureDlg& dialog)
{
    return dialog.DoModal();
}

void CMainFrame::OnCapture()
{
    if (IsOperationRunning())
        return;
    COperationScope scope(*this);
    CCaptureOperation operation(ProgramMessages());
    CCaptureDlg dialog([&operation](const CCaptureRequest& request) { return operation.Check(request); }, this);
    // Made before the operation and gone after it: the worker uses it to the end.
    CSnapProgressDlg progress(TRUE);
    if (RunCaptureSetup(dialog) != IDOK)
        return;
    const bool fileSystem = dialog.m_request.fileSystem;
    if (!progress.Create(fileSystem ? IDI_FILESYSTEM_OP : IDI_REGISTRY_OP, this))
        return;
    CloseResults();
    const bool complete = operation.Start(&progress);
    progress.DestroyWindow();
    if (!complete)
        return;
    for (SnapKind kind : {SnapKind::FileSystem, SnapKind::Registry}) {
        std::unique_ptr<CCompareMine> result = operation.TakeResult(kind);
        if (!result)
            continue;
        const int slot = kind == SnapKind::Registry ? kSnapKindRegistry : kSnapKindFileSystem;
        (slot == kSnapKindRegistry ? m_pRegResult : m_pFSResult) = std::move(result);
        m_strKindFiles[slot][0] = operation.File(kind, 1);
        m_strKindFiles[slot][1] = operation.File(kind, 2);
    }
    ShowResult(fileSystem ? kSnapKindFileSystem : kSnapKindRegistry);
    m_bCaptureKept = fileSystem && dialog.m_request.registry;
    if (!operation.ProgramNote().empty())
        Tell(operation.ProgramNote(), MB_ICONINFORMATION);
}

void CMainFrame::OnShowOtherResult()
{
    if (!m_bCaptureKept || !Shown() || IsOperationRunning())
        return;
    COperationScope scope(*this);
    m_hidden.ShowAll();
    ShowResult(m_nShownKind == kSnapKindRegistry ? kSnapKindFileSystem : kSnapKindRegistry);
}

CPathFilter CMainFrame::BuildFilter() const
{
    CPathFilter filter;
    if (m_bHideNoise)
        filter.AddNoise(m_nShownKind == kSnapKindRegistry ? SnapKind::Registry : SnapKind::FileSystem);
    // Taken only once the Filters dialog found every line good.
    std::string refused;
    filter.AddLines(m_strPatterns, refused);
    return filter;
}

void CMainFrame::ApplyFilters()
{
    CCompareMine* shown = Shown();
    if (!shown)
        return;
    // The trees fill again while the thread's messages are served: nothing
    // may close the result meanwhile.
    COperationScope scope(*this);
    CWaitCursor wait;
    m_hidden.Hide(*shown, BuildFilter());
    m_wndHost.GetView()->Refill();
    ShowHiddenCount();
}

namespace {

// "1,234,567"
std::string WithThousands(uint64_t n)
{
    std::string digits = std::to_string(n), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

const int kHiddenPaneWidth = 220;

}  // namespace

void CMainFrame::ShowHiddenCount()
{
    HWND bar = GetDlgItem(kIdStatusBar);
    if (!bar)
        return;
    const uint64_t hidden = Shown() ? m_hidden.Count() : 0;
    if (hidden == 0) {
        int whole[1] = {-1};
        ::SendMessageA(bar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(whole));
        return;
    }
    RECT client;
    ::GetClientRect(bar, &client);
    int parts[2] = {std::max<int>(client.right - kHiddenPaneWidth, client.right / 2), -1};
    ::SendMessageA(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    std::string text = WithThousands(hidden) + (hidden == 1 ? " entry hidden" : " entries hidden");
    ::SendMessageA(bar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(text.c_str()));
}

void CMainFrame::Tell(const std::string& text, UINT icon) const
{
    ::MessageBoxA(m_hWnd, text.c_str(), kProgramCaption, MB_OK | icon);
}

void CMainFrame::TellUtf8(const std::string& text, UINT icon) const
{
    const std::u16string wide = Utf8ToUtf16(text);
    const std::u16string caption = Utf8ToUtf16(kProgramCaption);
    ::MessageBoxW(m_hWnd, reinterpret_cast<const wchar_t*>(wide.c_str()), reinterpret_cast<const wchar_t*>(caption.c_str()),
                  MB_OK | icon);
}

bool CMainFrame::OnResultsCommand(UINT id)
{
    switch (id) {
    case ID_HIDE_NOISE:
        if (!IsOperationRunning()) {
            m_bHideNoise = !m_bHideNoise;
            ApplyFilters();
        }
        return true;
    case ID_FILTERS:
        OnFilters();
        return true;
    case ID_HIDE_THIS:
        OnHideThis();
        return true;
    case ID_SAVE_REPORT:
        OnSaveReport();
        return true;
    case ID_SAVE_REG_PATCH:
        OnSaveRegistryPatch();
        return true;
    case ID_SHOW_OTHER_RESULT:
        OnShowOtherResult();
        return true;
    case ID_RECOMPARE:
        OnRecompare();
        return true;
    case ID_FIND:
    case ID_FIND_NEXT:
        OnFind(id == ID_FIND);
        return true;
    default:
        return false;
    }
}

void CMainFrame::OnInitMenuPopup(HMENU menu)
{
    CFrameWnd::OnInitMenuPopup(menu);
    ::CheckMenuItem(menu, ID_HIDE_NOISE, MF_BYCOMMAND | (m_bHideNoise ? MF_CHECKED : MF_UNCHECKED));
    ::EnableMenuItem(menu, ID_SHOW_OTHER_RESULT, MF_BYCOMMAND | (m_bCaptureKept ? MF_ENABLED : MF_GRAYED));
}

LRESULT CMainFrame::WindowProc(UINT msg, WPARAM w, LPARAM l)
{
    LRESULT result = CFrameWnd::WindowProc(msg, w, l);
    if (msg == WM_SIZE)
        ShowHiddenCount();
    return result;
}

void CMainFrame::OnFilters()
{
    if (IsOperationRunning())
        return;
    CFiltersDlg dialog(WithCrLf(m_strPatterns), this);
    if (dialog.DoModal() != IDOK)
        return;
    m_strPatterns = dialog.m_strPatterns;
    ApplyFilters();
}

void CMainFrame::OnHideThis()
{
    CCompareView* view = m_wndHost.GetView();
    if (!view || IsOperationRunning())
        return;
    std::string path;
    bool container = false;
    if (!view->SelectedPath(path, container))
        return;
    std::string fault = CPathFilter::Fault(path);
    if (!fault.empty()) {
        Tell("This entry cannot be hidden by its path: " + fault + ".", MB_ICONINFORMATION);
        return;
    }
    if (!m_strPatterns.empty() && m_strPatterns.back() != '\n')
        m_strPatterns += "\r\n";
    m_strPatterns += path + "\r\n";
    ApplyFilters();
}

namespace {

// The formats of Save Report, in the order of the dialog's file types.
const char* const kReportFormats[] = {"report", "csv", "json", "html"};
const char* const kReportTypes =
    "Text report (*.txt)|*.txt|CSV (*.csv)|*.csv|JSON (*.json)|*.json|Web page (*.html)|*.html||";
const char* const kPatchTypes =
    "Registry patch that replays the differences (*.reg)|*.reg|"
    "Registry patch that undoes the differences (*.reg)|*.reg||";

}  // namespace

bool CMainFrame::AskSavePath(const char* title, const char* extension, const char* types, std::string& path,
                             int& type)
{
    CFileDialog save(false, extension, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, types, this);
    save.SetTitle(title);
    if (!save.DoModal())
        return false;
    path = save.GetPathName();
    type = save.GetFilterIndex();
    for (const std::string& file : m_strShownFiles)
        if (!file.empty() && ::lstrcmpiA(file.c_str(), path.c_str()) == 0) {
            Tell("ERROR: " + path + " is a snap shot of the result shown. It is not replaced.", MB_ICONEXCLAMATION);
            return false;
        }
    return true;
}

bool CMainFrame::WriteSaved(const std::string& path, bool binary, const char* what,
                            const std::function<bool(std::FILE*)>& write)
{
    std::FILE* file = OpenStdioFile(path, binary ? "wb" : "w");
    bool written = file && write(file);
    if (file && std::fclose(file) != 0)
        written = false;
    if (!written) {
        std::remove(path.c_str());
        Tell(std::string("ERROR: Cannot write the ") + what + " to " + path + ".", MB_ICONEXCLAMATION);
    }
    return written;
}

void CMainFrame::OnSaveReport()
{
    CCompareMine* shown = Shown();
    std::string path;
    int type = 1;
    if (!shown || IsOperationRunning() || !AskSavePath("Save Report", "txt", kReportTypes, path, type))
        return;
    CDiffOptions options;
    options.format = kReportFormats[std::clamp(type, 1, 4) - 1];
    const CDiffFormat& format = *FindDiffFormat(options.format);
    const SnapKind kind = m_nShownKind == kSnapKindRegistry ? SnapKind::Registry : SnapKind::FileSystem;
    CWaitCursor wait;
    // As corvane-diff writes it to its standard output: the text formats
    // with the system's line ends, the others byte for byte.
    WriteSaved(path, format.binary, "report", [&](std::FILE* file) {
        CDiffOutput diff{*shown, kind,
                         {m_strShownFiles[0], FileDate(WideName(m_strShownFiles[0]))},
                         {m_strShownFiles[1], FileDate(WideName(m_strShownFiles[1]))}};
        CTextSink out(file);
        std::string message;
        format.write(CFormatInput{diff, *DescriberFor(kind), options, m_hidden.Trimmed()}, out, message);
        return out.Flush();
    });
}

// A patch is made from a comparison of its own, as corvane-diff makes one:
// a value whose type alone changed counts as changed there, and siblings of
// matching names are marked, which the window's comparison does not do.
void CMainFrame::OnSaveRegistryPatch()
{
    std::string path;
    int type = 1;
    if (!Shown() || m_nShownKind != kSnapKindRegistry || IsOperationRunning() ||
        !AskSavePath("Save Registry Patch", "reg", kPatchTypes, path, type))
        return;
    COperationScope scope(*this);
    CWaitCursor wait;
    CStdioFile file1, file2;
    if (!file1.OpenRead(m_strShownFiles[0]) || !file2.OpenRead(m_strShownFiles[1])) {
        Tell(file1.IsOpen() ? kOpenFailedFile2 : kOpenFailedFile1, MB_ICONEXCLAMATION);
        return;
    }
    CRegMine mine(ProgramMessages());
    mine.SetTypesCompared(true);
    mine.SetMarkTwins(true);
    if (!mine.Compare(nullptr, file1, file2)) {
        Tell(kComparisonFailed, MB_ICONEXCLAMATION);
        return;
    }
    CHiddenEntries hidden;
    hidden.Hide(mine, BuildFilter());
    std::string text, message;
    RegPatchOutcome outcome =
        WriteRegPatch(mine, CRegPatchOptions{type == 2, &hidden.Trimmed(), false, true}, text, message);
    if (outcome == RegPatchOutcome::Refused) {
        TellUtf8("No registry patch was saved: " + message, MB_ICONINFORMATION);
        return;
    }
    bool written = WriteSaved(path, true, "registry patch", [&](std::FILE* file) {
        return std::fwrite(text.data(), 1, text.size(), file) == text.size();
    });
    if (written && outcome == RegPatchOutcome::Nearly)
        TellUtf8("The registry patch was saved: " + message, MB_ICONINFORMATION);
}

CCompareMine* CMainFrame::Shown() const
{
    if (!m_wndHost.HasView())
        return nullptr;
    return m_nShownKind == kSnapKindRegistry ? m_pRegResult.get() : m_pFSResult.get();
}

void CMainFrame::OnRecompare()
{
    if (!Shown() || IsOperationRunning())
        return;
    std::string files[2] = {m_strShownFiles[0], m_strShownFiles[1]};
    CompareAndShow(m_nShownKind, files);
}

void CMainFrame::OnFind(bool askFirst)
{
    CCompareView* view = m_wndHost.GetView();
    if (!view)
        return;
    if (askFirst || m_strFindText.empty()) {
        CFindDlg dialog(m_strFindText, this);
        if (dialog.DoModal() != IDOK || dialog.m_strText.empty())
            return;
        m_strFindText = dialog.m_strText;
    }
    view->FindNext(m_strFindText);
}

void CMainFrame::OnHelpContents()
{
    OpenWebPage(kHelpPage);
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg about;
    about.DoModal();
}

void CMainFrame::OnAppExit()
{
    if (IsOperationRunning())
        return;
    PostMessage(WM_CLOSE);
}

void CMainFrame::OpenWebPage(const char* url)
{
    ::ShellExecuteA(nullptr, nullptr, url, nullptr, nullptr, SW_SHOWMAXIMIZED);
}
