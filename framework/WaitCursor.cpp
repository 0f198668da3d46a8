#include "framework/WaitCursor.h"

namespace {
// Only the user-interface thread shows the wait cursor; nested ones count.
thread_local int t_waiting = 0;
}

CWaitCursor::CWaitCursor()
{
    ++t_waiting;
    m_hOld = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
}

CWaitCursor::~CWaitCursor()
{
    --t_waiting;
    ::SetCursor(m_hOld);
}

bool IsWaitCursorShown()
{
    return t_waiting > 0;
}
