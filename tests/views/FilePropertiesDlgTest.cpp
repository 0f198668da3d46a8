// The file properties window, with real windows: its texts in their fields,
// no focused field at the start, Enter and Escape hiding it for another
// showing, the close box destroying it, two of them side by side.
#include "views/FilePropertiesDlg.h"

#include "compare/FileProperties.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
#include "res/resource.h"
#include "tests/support/MessageLoop.h"
#include "tests/support/WindowFinder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

CFilePropertiesTexts Texts(const std::string& title, const std::string& fullPath)
{
    CFilePropertiesTexts texts;
    texts.m_strTitle = title;
    texts.m_strName = fullPath.substr(fullPath.rfind('\\') + 1);
    texts.m_strSize = "1,234,567 bytes";
    texts.m_strCreated = "Tuesday, March 03, 2015, 02:05:09 PM";
    texts.m_strModified = "Wednesday, March 04, 2015, 11:30:00 AM";
    texts.m_strFullPath = fullPath;
    return texts;
}

// The shown properties window captioned title, or null.
HWND ShownWindow(const std::string& title)
{
    return FindShownWindow(::GetCurrentProcessId(), DialogWith(title.c_str(), IDC_FILE_FULLPATH));
}

// Serves this thread's messages through the program's pump, which gives a
// modeless dialog its keyboard, until all that is queued now has been served.
void PumpQueued()
{
    ::PostQuitMessage(0);
    int code = -1;
    while (AppPumpMessage(code)) {
    }
}

bool HasFocusIn(HWND dialog)
{
    HWND focus = ::GetFocus();
    return focus == dialog || ::IsChild(dialog, focus);
}

class FilePropertiesWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        viewer = OpenFilePropertiesWindow(texts, nullptr);
        ASSERT_NE(viewer, nullptr);
        window = ShownWindow(texts.m_strTitle);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(viewer->IsOpen());
    }
    void TearDown() override
    {
        if (viewer)
            viewer->Destroy();
    }

    CFilePropertiesTexts texts = Texts("File System 2 : win.ini", "C:\\WINDOWS\\win.ini");
    std::unique_ptr<IViewerWindow> viewer;
    HWND window = nullptr;
};

}  // namespace

TEST_F(FilePropertiesWindow, ShowsTheTextsInReadOnlyFieldsWithNoneFocused)
{
    EXPECT_EQ(GetWindowTextOf(window), "File System 2 : win.ini");
    const struct {
        int id;
        std::string text;
        bool staticEdge;
    } fields[] = {
        {IDC_FILE_NAME, "win.ini", false},
        {IDC_FILE_FULLPATH, "C:\\WINDOWS\\win.ini", true},
        {IDC_FILE_CREATED, "Tuesday, March 03, 2015, 02:05:09 PM", false},
        {IDC_FILE_MODIFIED, "Wednesday, March 04, 2015, 11:30:00 AM", false},
        {IDC_FILE_SIZE, "1,234,567 bytes", false},
    };
    for (const auto& field : fields) {
        SCOPED_TRACE(field.id);
        HWND control = ::GetDlgItem(window, field.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetWindowTextOf(control), field.text);
        LONG style = ::GetWindowLongA(control, GWL_STYLE);
        EXPECT_EQ(style & (ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER),
                  ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP);
        EXPECT_EQ((::GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_STATICEDGE) != 0, field.staticEdge);
    }
    ServePending();
    EXPECT_EQ(::GetActiveWindow(), window);
    EXPECT_FALSE(::IsChild(window, ::GetFocus()));
}

TEST_F(FilePropertiesWindow, EnterAndEscapeHideItAndBringToFrontShowsTheSameWindow)
{
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        SCOPED_TRACE(key);
        ::PostMessageA(window, WM_KEYDOWN, key, 1);
        PumpQueued();
        EXPECT_FALSE(::IsWindowVisible(window));
        EXPECT_TRUE(::IsWindow(window));
        EXPECT_TRUE(viewer->IsOpen());

        viewer->BringToFront();
        EXPECT_EQ(ShownWindow(texts.m_strTitle), window);
        EXPECT_EQ(::GetActiveWindow(), window);
        EXPECT_TRUE(HasFocusIn(window));
        EXPECT_EQ(GetWindowTextOf(::GetDlgItem(window, IDC_FILE_FULLPATH)), "C:\\WINDOWS\\win.ini");
    }
}

TEST_F(FilePropertiesWindow, TheCloseBoxDestroysIt)
{
    const struct {
        const char* name;
        UINT msg;
        WPARAM w;
    } closes[] = {{"WM_CLOSE", WM_CLOSE, 0}, {"SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE}};
    for (const auto& close : closes) {
        SCOPED_TRACE(close.name);
        if (!viewer->IsOpen()) {
            viewer = OpenFilePropertiesWindow(texts, nullptr);
            ASSERT_NE(viewer, nullptr);
            window = ShownWindow(texts.m_strTitle);
            ASSERT_NE(window, nullptr);
        }
        ::PostMessageA(window, close.msg, close.w, 0);
        EXPECT_TRUE(ServeUntil([&]() { return !viewer->IsOpen(); }));
        EXPECT_FALSE(::IsWindow(window));
        viewer->BringToFront();  // nothing left to show
        viewer->Destroy();
        EXPECT_FALSE(viewer->IsOpen());
        EXPECT_EQ(ShownWindow(texts.m_strTitle), nullptr);
    }
}

TEST_F(FilePropertiesWindow, TwoFilesWindowsAreIndependent)
{
    HWND ownerHandle = ::CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                         nullptr, nullptr, nullptr);
    ASSERT_NE(ownerHandle, nullptr);
    CWnd owner(ownerHandle);
    CFilePropertiesTexts otherTexts = Texts("File System 1 : boot.ini", "C:\\boot.ini");
    std::unique_ptr<IViewerWindow> other = OpenFilePropertiesWindow(otherTexts, &owner);
    ASSERT_NE(other, nullptr);
    HWND otherWindow = ShownWindow(otherTexts.m_strTitle);
    ASSERT_NE(otherWindow, nullptr);
    EXPECT_NE(otherWindow, window);
    EXPECT_EQ(::GetWindow(otherWindow, GW_OWNER), ownerHandle);
    EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr);
    EXPECT_EQ(GetWindowTextOf(::GetDlgItem(otherWindow, IDC_FILE_NAME)), "boot.ini");
    EXPECT_EQ(GetWindowTextOf(::GetDlgItem(window, IDC_FILE_NAME)), "win.ini");

    // Escape in one hides that one only.
    ::PostMessageA(otherWindow, WM_KEYDOWN, VK_ESCAPE, 1);
    PumpQueued();
    EXPECT_FALSE(::IsWindowVisible(otherWindow));
    EXPECT_TRUE(::IsWindowVisible(window));

    // Closing the first leaves the second, which comes back.
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(ServeUntil([&]() { return !viewer->IsOpen(); }));
    EXPECT_TRUE(other->IsOpen());
    other->BringToFront();
    EXPECT_EQ(ShownWindow(otherTexts.m_strTitle), otherWindow);
    EXPECT_EQ(::GetActiveWindow(), otherWindow);

    other->Destroy();
    EXPECT_FALSE(other->IsOpen());
    EXPECT_FALSE(::IsWindow(otherWindow));
    ::DestroyWindow(ownerHandle);
}

TEST_F(FilePropertiesWindow, ALongFullPathIsKeptWhole)
{
    std::string path = "C:";
    for (int i = 0; path.size() < 1500; ++i)
        path += "\\Folder number " + std::to_string(i) + " with a long name";
    path += "\\setup.log";
    CFilePropertiesTexts longTexts = Texts("File System 2 : setup.log", path);
    std::unique_ptr<IViewerWindow> longViewer = OpenFilePropertiesWindow(longTexts, nullptr);
    ASSERT_NE(longViewer, nullptr);
    HWND longWindow = ShownWindow(longTexts.m_strTitle);
    ASSERT_NE(longWindow, nullptr);
    EXPECT_EQ(GetWindowTextOf(::GetDlgItem(longWindow, IDC_FILE_FULLPATH)), path);
    EXPECT_EQ(GetWindowTextOf(::GetDlgItem(longWindow, IDC_FILE_NAME)), "setup.log");
}

// A file whose name the code page cannot hold: the window shows it, and the
// path through it, as the file system holds them; the ANSI messages read the
// recorded forms.
TEST(FilePropertiesExactWindow, ShowsTheNamesTheCodePageCannotHold)
{
    CFilePropertiesTexts texts = Texts("File System 1 : ???.txt", "C:\\??\\???.txt");
    texts.m_exactTitle = u"File System 1 : \u0414\u0438\u0440.txt";
    texts.m_exactName = u"\u0414\u0438\u0440.txt";
    texts.m_exactFullPath = u"C:\\\U0001F30E\\\u0414\u0438\u0440.txt";
    std::unique_ptr<IViewerWindow> viewer = OpenFilePropertiesWindow(texts, nullptr);
    ASSERT_NE(viewer, nullptr);
    HWND window = ShownWindow("File System 1 : ???.txt");
    ASSERT_NE(window, nullptr);
    auto wide = [](HWND h) {
        wchar_t text[256] = {};
        ::GetWindowTextW(h, text, 256);
        return std::u16string(reinterpret_cast<const char16_t*>(text));
    };
    EXPECT_EQ(wide(window), texts.m_exactTitle);
    EXPECT_EQ(wide(::GetDlgItem(window, IDC_FILE_NAME)), texts.m_exactName);
    EXPECT_EQ(wide(::GetDlgItem(window, IDC_FILE_FULLPATH)), texts.m_exactFullPath);
    EXPECT_EQ(GetWindowTextOf(::GetDlgItem(window, IDC_FILE_FULLPATH)), "C:\\??\\???.txt");
    viewer->Destroy();
}

// The hash row: shown, with the window grown to hold it, only for a file of a
// snapshot taken with hashes.
TEST(FilePropertiesHashRow, IsShownOnlyWhereTheSnapshotHashed)
{
    int heights[2] = {};
    for (int hashed = 0; hashed < 2; ++hashed) {
        CFilePropertiesTexts texts = Texts("File System 2 : hash" + std::to_string(hashed), "C:\\a.dll");
        texts.m_strHash = hashed ? std::string(64, 'e') : "";
        std::unique_ptr<IViewerWindow> viewer = OpenFilePropertiesWindow(texts, nullptr);
        HWND window = ShownWindow(texts.m_strTitle);
        ASSERT_NE(window, nullptr);
        HWND field = ::GetDlgItem(window, IDC_FILE_HASH);
        EXPECT_EQ(::IsWindowVisible(field) && ::IsWindowVisible(::GetDlgItem(window, IDC_FILE_HASH_LABEL)), hashed == 1);
        EXPECT_EQ(GetWindowTextOf(field), texts.m_strHash);
        RECT frame, row;
        ::GetWindowRect(window, &frame);
        ::GetWindowRect(field, &row);
        heights[hashed] = frame.bottom - frame.top;
        EXPECT_TRUE(!hashed || row.bottom < frame.bottom);  // inside the window, not below it
        viewer->Destroy();
    }
    EXPECT_GT(heights[1], heights[0]);
}
