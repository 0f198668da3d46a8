// How long the user-interface thread needs, after a worker that steps the
// progress bar once per record has ended, to finish its operation; and how
// many messages reached the bar. Run under Wine:
//   scripts/wine-run build/win/bench/operation/progress_flood_bench.exe [STEPS]
#include "bench/snapshot/BenchClock.h"
#include "operation/ProgressMessages.h"
#include "operation/SnapProgressDlg.h"
#include "res/resource.h"
#include "snapshot/SnapOperation.h"

#include <cstdio>
#include <cstdlib>

namespace {

unsigned g_barMessages = 0;
WNDPROC g_barProc = nullptr;

LRESULT CALLBACK CountingProc(HWND h, UINT msg, WPARAM w, LPARAM l)
{
    if (msg == WM_BAR_STEPIT)
        ++g_barMessages;
    return ::CallWindowProcA(g_barProc, h, msg, w, l);
}

class CFloodingOperation : public CSnapOperation {
public:
    unsigned steps = 100000;
    LARGE_INTEGER workerEnded{};

protected:
    void RunSnapshot() override
    {
        m_pProgress->BarSetStep(50.0f / static_cast<float>(steps));
        for (unsigned i = 0; i < steps; ++i)
            m_pProgress->BarStepIt();
        ::QueryPerformanceCounter(&workerEnded);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    unsigned steps = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 100000;
    CSnapProgressDlg progress(FALSE);
    if (!progress.Create(IDI_FILESYSTEM_OP, nullptr)) {
        std::fprintf(stderr, "no progress window\n");
        return 1;
    }
    HWND bar = progress.GetBarWindow();
    g_barProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));

    CFloodingOperation operation;
    operation.steps = steps;
    LARGE_INTEGER start, returned;
    ::QueryPerformanceCounter(&start);
    operation.Start(nullptr, &progress, "unused", 1, 'C', FALSE);
    ::QueryPerformanceCounter(&returned);

    int position = static_cast<int>(::SendMessageA(bar, WM_BAR_GETPOS, 0, 0));
    std::printf("steps %u: worker %.3f s, worker end to return %.3f s, %u bar messages, bar at %d%%\n", steps,
                Seconds(start, operation.workerEnded), Seconds(operation.workerEnded, returned), g_barMessages,
                position);
    return 0;
}
