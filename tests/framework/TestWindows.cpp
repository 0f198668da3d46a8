#include "tests/framework/TestWindows.h"

#include "res/resource.h"

#include <algorithm>

namespace {

const char kParentClass[] = "CorvaneTestParent";

bool Record(SeenByParent& seen, NMHDR* header, LRESULT& result)
{
    seen.codes.push_back(header->code);
    seen.from = header->hwndFrom;
    seen.id = header->idFrom;
    switch (header->code) {
    case TVN_SELCHANGINGA:
        result = seen.vetoSelectionChange ? TRUE : FALSE;
        return true;
    case TVN_SELCHANGEDA: {
        auto* tree = reinterpret_cast<NMTREEVIEWA*>(header);
        seen.selected = tree->itemNew.hItem;
        seen.selectedData = tree->itemNew.lParam;
        return true;
    }
    case NM_DBLCLK:
        result = kDoubleClickAnswer;
        return true;
    case NM_RCLICK:
        result = TRUE;
        return true;
    default:
        return false;  // NM_RETURN among them: answered 0 by the default
    }
}

bool RecordMenu(SeenByParent& seen, HWND window, POINT screen)
{
    seen.menuWindows.push_back(window);
    seen.menuPoints.push_back(screen);
    return true;
}

// Overrides its procedure the way the program's windows do, handling one
// message of its own and leaving the rest to the base class.
class CTestParentWnd : public CWnd {
public:
    explicit CTestParentWnd(SeenByParent& seen) : m_seen(seen) {}
    ~CTestParentWnd() override { DestroyWindow(); }

    bool Create()
    {
        if (!RegisterWndClass(kParentClass, 0, ::LoadCursorA(nullptr, IDC_ARROW),
                              reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)))
            return false;
        return CreateEx(0, kParentClass, "Parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{50, 50, 450, 350},
                        nullptr, 0);
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override
    {
        if (msg == kOtherMessage) {
            ++m_seen.otherMessages;
            return 0;
        }
        return CWnd::WindowProc(msg, w, l);
    }
    bool OnNotify(NMHDR* header, LRESULT& result) override { return Record(m_seen, header, result); }
    bool OnContextMenu(HWND window, POINT screen) override { return RecordMenu(m_seen, window, screen); }

private:
    SeenByParent& m_seen;
};

class CTestParentDlg : public CDialog {
public:
    explicit CTestParentDlg(SeenByParent& seen) : CDialog(IDD_ABOUTBOX), m_seen(seen) {}

protected:
    INT_PTR OnMessage(UINT msg, WPARAM w, LPARAM l) override
    {
        if (msg == kOtherMessage) {
            ++m_seen.otherMessages;
            return TRUE;
        }
        return CDialog::OnMessage(msg, w, l);
    }
    bool OnNotify(NMHDR* header, LRESULT& result) override { return Record(m_seen, header, result); }
    bool OnContextMenu(HWND window, POINT screen) override { return RecordMenu(m_seen, window, screen); }

private:
    SeenByParent& m_seen;
};

}  // namespace

bool SeenByParent::Saw(UINT code) const
{
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

const char* ParentName(ParentKind kind)
{
    return kind == ParentKind::Window ? "Window" : "Dialog";
}

std::unique_ptr<CWnd> MakeParent(ParentKind kind, SeenByParent& seen)
{
    if (kind == ParentKind::Window) {
        auto parent = std::make_unique<CTestParentWnd>(seen);
        if (!parent->Create())
            return nullptr;
        return parent;
    }
    auto parent = std::make_unique<CTestParentDlg>(seen);
    if (!parent->CreateModeless(nullptr))
        return nullptr;
    parent->ShowWindow(SW_SHOW);
    return parent;
}
