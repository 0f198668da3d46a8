#include "app/AboutDlg.h"

#include "framework/Gdi.h"
#include "res/Licence.h"
#include "res/resource.h"

#include <shellapi.h>

const char* const kMakerHomePage = "https://www.pellix.com/";

const char* const kLicenceText = CORVANE_LICENCE_TEXT;

namespace {
// The licence box's background, kept for the life of the program.
HBRUSH LicenceBrush()
{
    static CBrush brush;
    if (!brush.Get())
        brush.CreateSolidBrush(RGB(255, 255, 255));
    return brush.Get();
}
}  // namespace

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

void CAboutDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Control(IDC_ABOUT_LICENCE, m_editLicence);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    RECT client, window;
    GetClientRect(&client);
    GetWindowRect(&window);
    // Never narrower than the template: with a large dialog font 350 pixels
    // would cut off the group box and the OK button.
    int clientWidth = client.right > kAboutClientWidth ? client.right : kAboutClientWidth;
    int width = (window.right - window.left) - client.right + clientWidth;
    MoveWindow(window.left, window.top, width, window.bottom - window.top, TRUE);
    m_editLicence.SetWindowText(kLicenceText);
    return TRUE;
}

bool CAboutDlg::OnCommand(UINT id, UINT code, HWND control)
{
    if (id == IDC_ABOUT_WEBSITE && code == BN_CLICKED) {
        OpenWebPage(kMakerHomePage);
        return true;
    }
    return CDialog::OnCommand(id, code, control);
}

void CAboutDlg::OpenWebPage(const char* url)
{
    ::ShellExecuteA(nullptr, nullptr, url, nullptr, nullptr, SW_SHOWMAXIMIZED);
}

INT_PTR CAboutDlg::OnMessage(UINT msg, WPARAM w, LPARAM l)
{
    // A read-only edit asks for its colours as a static control does.
    if ((msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLOREDIT) &&
        reinterpret_cast<HWND>(l) == m_editLicence.GetSafeHwnd()) {
        HDC dc = reinterpret_cast<HDC>(w);
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<INT_PTR>(LicenceBrush());
    }
    return CDialog::OnMessage(msg, w, l);
}
