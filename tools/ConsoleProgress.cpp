#include "tools/ConsoleProgress.h"

#include "compare/AnsiChars.h"

#include <cmath>
#include <cstdio>

namespace {

// The least time between two showings, in milliseconds.
constexpr DWORD kShowEveryMs = 100;

// Columns of the console's window; the line stays one short of it, so that
// it never wraps.
size_t LineRoom(HANDLE console)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!::GetConsoleScreenBufferInfo(console, &info))
        return 79;
    int columns = info.srWindow.Right - info.srWindow.Left + 1;
    return columns > 1 ? static_cast<size_t>(columns - 1) : 1;
}

}  // namespace

CConsoleProgress::CConsoleProgress(bool asked) : m_hErr(::GetStdHandle(STD_ERROR_HANDLE))
{
    DWORD consoleMode = 0;
    if (::GetConsoleMode(m_hErr, &consoleMode))
        m_mode = Mode::Console;
    else if (asked)
        m_mode = Mode::Lines;
}

CConsoleProgress::~CConsoleProgress()
{
    ClearLine();
}

// The status names the folder being read: shown as names are shown, so that
// none sends a control byte to the terminal.
void CConsoleProgress::SetStatusText(const char* text)
{
    m_strStatus = ShownName(text);
    Tick();
}

void CConsoleProgress::SetPercent(float percent)
{
    m_fPercent = percent;
    Tick();
}

bool CConsoleProgress::Refresh(bool wait)
{
    if (wait)
        ShowValues();
    else
        Tick();
    return true;
}

int CConsoleProgress::BarGetPos()
{
    return static_cast<int>(std::trunc(m_bar.GetPos()));
}

void CConsoleProgress::Tick()
{
    if (!m_bShownOnce || ::GetTickCount() - m_lastShown >= kShowEveryMs)
        ShowValues();
}

// As the progress window's refresh: the bar takes the percentage, and the
// values are shown.
void CConsoleProgress::ShowValues()
{
    m_bar.SetPos(m_fPercent);
    m_lastShown = ::GetTickCount();
    m_bShownOnce = true;
    std::string line = CProgressBar::PercentText(m_bar.GetPos()) + " " + m_strStatus;
    if (m_mode == Mode::Lines) {
        std::fprintf(stderr, "%s\n", line.c_str());
    } else if (m_mode == Mode::Console) {
        // Cut to the room, never inside a double-byte character, and padded
        // to it, so that nothing of a longer line before stays.
        size_t room = LineRoom(m_hErr);
        line.resize(AnsiPrefixSize(line, room));
        line.resize(room, ' ');
        std::fprintf(stderr, "\r%s", line.c_str());
        m_bLineOnConsole = true;
    }
    std::fflush(stderr);
}

void CConsoleProgress::ClearLine()
{
    if (!m_bLineOnConsole)
        return;
    std::fprintf(stderr, "\r%s\r", std::string(LineRoom(m_hErr), ' ').c_str());
    std::fflush(stderr);
    m_bLineOnConsole = false;
}

MsgAnswer CConsoleMessages::Show(const std::string& text, MsgIcon icon, MsgButtons buttons)
{
    if (buttons == MsgButtons::YesNo)
        return MsgAnswer::Yes;
    if (icon == MsgIcon::Exclamation || m_progress.Shown()) {
        m_progress.ClearLine();
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    return MsgAnswer::Ok;
}
