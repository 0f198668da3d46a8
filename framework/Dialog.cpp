#include "framework/Dialog.h"

#include "framework/AppMessageBox.h"
#include "framework/Wnd.h"

namespace {

// A dialog without a parent is owned by the main window when it runs on the
// main window's thread; a worker's dialogs stay unowned. Over a modal dialog
// that has disabled the main window it is owned by that dialog instead:
// owned by the main window, it would enable it on closing, under a dialog
// that is still modal.
HWND DefaultOwner()
{
    HWND main = AppMainWindow();
    if (!main || !::IsWindow(main) || ::GetWindowThreadProcessId(main, nullptr) != ::GetCurrentThreadId())
        return nullptr;
    if (!::IsWindowEnabled(main))
        return ::GetLastActivePopup(main);
    return main;
}

}  // namespace

HINSTANCE ResourceInstance()
{
    return ::GetModuleHandleA(nullptr);
}

void CDataExchange::Text(int id, std::string& value)
{
    HWND control = ::GetDlgItem(m_hDlg, id);
    if (m_bSave)
        value = GetWindowTextOf(control);
    else
        ::SetWindowTextA(control, value.c_str());
}

void CDataExchange::Text(int id, std::wstring& value)
{
    HWND control = ::GetDlgItem(m_hDlg, id);
    if (!m_bSave) {
        ::SetWindowTextW(control, value.c_str());
        return;
    }
    value.assign(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    value.resize(static_cast<size_t>(::GetWindowTextW(control, &value[0], static_cast<int>(value.size()))));
}

void CDataExchange::Check(int id, int& value)
{
    HWND control = ::GetDlgItem(m_hDlg, id);
    if (m_bSave)
        value = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void CDataExchange::Control(int id, CWnd& control)
{
    if (!control.GetSafeHwnd())
        control.Attach(::GetDlgItem(m_hDlg, id));
}

INT_PTR CDialog::DoModal()
{
    m_bModal = true;
    HWND parent = m_pParent ? m_pParent->GetSafeHwnd() : DefaultOwner();
    INT_PTR result = m_bWide ? ::DialogBoxParamW(ResourceInstance(), MAKEINTRESOURCEW(m_nTemplateId), parent,
                                                 DialogProc, reinterpret_cast<LPARAM>(this))
                             : ::DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(m_nTemplateId), parent,
                                                 DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

BOOL CDialog::CreateModeless(CWnd* parent)
{
    m_bModal = false;
    m_pParent = parent;
    HWND owner = parent ? parent->GetSafeHwnd() : nullptr;
    HWND h = m_bWide ? ::CreateDialogParamW(ResourceInstance(), MAKEINTRESOURCEW(m_nTemplateId), owner, DialogProc,
                                            reinterpret_cast<LPARAM>(this))
                     : ::CreateDialogParamA(ResourceInstance(), MAKEINTRESOURCEA(m_nTemplateId), owner, DialogProc,
                                            reinterpret_cast<LPARAM>(this));
    return h != nullptr;
}

void CDialog::EndDialog(int result)
{
    if (m_bModal)
        ::EndDialog(m_hWnd, result);
    else
        DestroyWindow();
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(m_hWnd, saveAndValidate != FALSE);
    DoDataExchange(dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

bool CDialog::OnCommand(UINT id, UINT, HWND)
{
    switch (id) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    default:
        return false;
    }
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

INT_PTR CDialog::OnMessage(UINT msg, WPARAM w, LPARAM l)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    default: {
        // A dialog procedure's return value only says "handled"; the dialog
        // manager answers the sender with DWLP_MSGRESULT.
        LRESULT result = 0;
        if (!OnWndMsg(msg, w, l, result))
            return FALSE;
        // A command may have ended a modeless dialog.
        if (m_hWnd)
            ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    }
}

CDialog* CDialog::FromModelessHandle(HWND h)
{
    if (!h || ::GetClassLongPtrA(h, GCW_ATOM) != reinterpret_cast<ULONG_PTR>(WC_DIALOG))
        return nullptr;
    // A procedure read across the ANSI and Unicode kinds comes back as a
    // stand-in that converts, so it is read in the dialog's own kind.
    const LONG_PTR procedure = ::IsWindowUnicode(h) ? ::GetWindowLongPtrW(h, DWLP_DLGPROC)
                                                    : ::GetWindowLongPtrA(h, DWLP_DLGPROC);
    if (procedure != reinterpret_cast<LONG_PTR>(&CDialog::DialogProc))
        return nullptr;
    auto* dialog = static_cast<CDialog*>(reinterpret_cast<CWnd*>(::GetWindowLongPtrA(h, DWLP_USER)));
    return dialog && !dialog->m_bModal ? dialog : nullptr;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND h, UINT msg, WPARAM w, LPARAM l)
{
    CDialog* self;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(l);
        self->TakeWindow(h, DWLP_USER);
    } else {
        self = static_cast<CDialog*>(reinterpret_cast<CWnd*>(::GetWindowLongPtrA(h, DWLP_USER)));
    }
    if (!self)
        return FALSE;
    INT_PTR result;
    try {
        result = self->OnMessage(msg, w, l);
        MessageHandled();
    } catch (...) {
        // Nothing may unwind through the system's dialog manager: the user
        // is told, and the dialog manager answers the message itself.
        TellFailure();
        result = FALSE;
    }
    if (msg == WM_NCDESTROY)
        self->EndOfWindow(h);
    return result;
}
