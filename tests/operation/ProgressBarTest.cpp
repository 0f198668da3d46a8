// The progress bar drawn into a bitmap and read back pixel by pixel, and its
// messages: clamping, stepping, truncation of the position, repaint rules.
#include "operation/ProgressBar.h"

#include "operation/ProgressMessages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const COLORREF kBar = RGB(0, 91, 146);
const COLORREF kBack = RGB(223, 252, 255);
const COLORREF kTextOnBar = RGB(255, 255, 255);
const COLORREF kTextOnBack = RGB(0, 0, 0);
const int kWidth = 200, kHeight = 20;

// A hidden parent with one borderless bar whose client area is 200 by 20.
class BarFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent = ::CreateWindowExA(0, "STATIC", "bar test", WS_POPUP | WS_VISIBLE, 50, 50, 300, 100,
                                   nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(parent, nullptr);
        RECT r{10, 10, 10 + kWidth, 10 + kHeight};
        CWnd parentView(parent);
        ASSERT_TRUE(bar.Create(0, WS_CHILD | WS_VISIBLE, r, &parentView, kBar, kBack, kTextOnBar,
                               kTextOnBack, TRUE, nullptr));
        RECT client;
        bar.GetClientRect(&client);
        ASSERT_EQ(client.right, kWidth);
        ASSERT_EQ(client.bottom, kHeight);
    }
    void TearDown() override
    {
        bar.DestroyWindow();
        ::DestroyWindow(parent);
    }

    // The bar as DrawBar builds it, read back from a bitmap.
    struct Picture {
        COLORREF px[kHeight][kWidth];
    };
    Picture Draw()
    {
        Picture p{};
        HDC screen = ::GetDC(nullptr);
        HDC dc = ::CreateCompatibleDC(screen);
        HBITMAP bmp = ::CreateCompatibleBitmap(screen, kWidth, kHeight);
        HGDIOBJ old = ::SelectObject(dc, bmp);
        RECT all{0, 0, kWidth, kHeight};
        HBRUSH magenta = ::CreateSolidBrush(RGB(255, 0, 255));
        ::FillRect(dc, &all, magenta);
        ::DeleteObject(magenta);
        bar.DrawBar(dc);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                p.px[y][x] = ::GetPixel(dc, x, y);
        ::SelectObject(dc, old);
        ::DeleteObject(bmp);
        ::DeleteDC(dc);
        ::ReleaseDC(nullptr, screen);
        return p;
    }
    // Pixels other than the background: the text, with its smoothed edges.
    static int Inked(const Picture& p, int x0, int x1, COLORREF background)
    {
        int n = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = x0; x < x1; ++x)
                n += p.px[y][x] != background;
        return n;
    }
    static int Count(const Picture& p, int x0, int x1, COLORREF c)
    {
        int n = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = x0; x < x1; ++x)
                n += p.px[y][x] == c;
        return n;
    }
    void SendPos(float value) { bar.SendMessage(WM_BAR_SETPOS, reinterpret_cast<WPARAM>(&value)); }
    int GetPosMessage() { return static_cast<int>(bar.SendMessage(WM_BAR_GETPOS)); }
    // What the bar's window shows now, without any WM_PAINT having run.
    COLORREF WindowPixel(int x, int y)
    {
        HDC dc = ::GetDC(bar);
        COLORREF c = ::GetPixel(dc, x, y);
        ::ReleaseDC(bar, dc);
        return c;
    }
    void PaintWindow(COLORREF c)
    {
        HDC dc = ::GetDC(bar);
        RECT all{0, 0, kWidth, kHeight};
        HBRUSH brush = ::CreateSolidBrush(c);
        ::FillRect(dc, &all, brush);
        ::DeleteObject(brush);
        ::GdiFlush();
        ::ReleaseDC(bar, dc);
    }

    HWND parent = nullptr;
    CProgressBar bar;
};

TEST_F(BarFixture, AtZeroAllBackWithTheTextInTheBacksTextColour)
{
    Picture p = Draw();
    EXPECT_EQ(Count(p, 0, kWidth, kBar), 0);
    EXPECT_EQ(Count(p, 0, kWidth, kTextOnBar), 0);
    EXPECT_EQ(p.px[0][0], kBack);
    EXPECT_EQ(p.px[kHeight - 1][kWidth - 1], kBack);
    EXPECT_GT(Count(p, 0, kWidth, kTextOnBack), 0);
    EXPECT_GT(Inked(p, 0, kWidth, kBack), 15);
    // The text lies in the middle of the bar.
    EXPECT_EQ(Inked(p, 0, 85, kBack), 0);
    EXPECT_EQ(Inked(p, 115, kWidth, kBack), 0);
    EXPECT_EQ(Count(p, 0, kWidth, RGB(255, 0, 255)), 0);
}

TEST_F(BarFixture, AtHundredAllBarWithTheTextInTheBarsTextColour)
{
    bar.SetPos(100);
    Picture p = Draw();
    EXPECT_EQ(Count(p, 0, kWidth, kBack), 0);
    EXPECT_EQ(Count(p, 0, kWidth, kTextOnBack), 0);
    EXPECT_EQ(p.px[0][0], kBar);
    EXPECT_EQ(p.px[kHeight - 1][kWidth - 1], kBar);
    EXPECT_GT(Count(p, 0, kWidth, kTextOnBar), 0);
    EXPECT_GT(Inked(p, 0, kWidth, kBar), 15);
}

TEST_F(BarFixture, AtFiftyTheEdgeSplitsBarAndText)
{
    bar.SetPos(50);
    Picture p = Draw();
    EXPECT_EQ(p.px[0][99], kBar);
    EXPECT_EQ(p.px[0][100], kBack);
    EXPECT_EQ(p.px[kHeight - 1][99], kBar);
    EXPECT_EQ(p.px[kHeight - 1][100], kBack);
    // Left of the edge only the bar's colours, right of it only the back's.
    EXPECT_EQ(Count(p, 0, 100, kBack), 0);
    EXPECT_EQ(Count(p, 0, 100, kTextOnBack), 0);
    EXPECT_EQ(Count(p, 100, kWidth, kBar), 0);
    EXPECT_EQ(Count(p, 100, kWidth, kTextOnBar), 0);
    // "50%" is cut by the edge: text pixels on both sides.
    EXPECT_GT(Count(p, 80, 100, kTextOnBar), 0);
    EXPECT_GT(Inked(p, 80, 100, kBar), 8);
    EXPECT_GT(Count(p, 100, 120, kTextOnBack), 0);
    EXPECT_GT(Inked(p, 100, 120, kBack), 8);
}

TEST_F(BarFixture, AlmostFullShowsAHundredButIsNotFull)
{
    bar.SetPos(99.6f);
    Picture p = Draw();
    EXPECT_EQ(p.px[0][kWidth - 1], kBack);  // 199.2 truncates to 199
    EXPECT_EQ(p.px[0][kWidth - 2], kBar);
}

TEST_F(BarFixture, PositionsAreClampedToTheRange)
{
    SendPos(150);
    EXPECT_EQ(bar.GetPos(), 100.0f);
    EXPECT_EQ(GetPosMessage(), 100);
    SendPos(-5);
    EXPECT_EQ(bar.GetPos(), 0.0f);
    SendPos(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(bar.GetPos(), 0.0f);
    SendPos(std::numeric_limits<float>::infinity());
    EXPECT_EQ(bar.GetPos(), 100.0f);
}

TEST_F(BarFixture, StepFromNinetyNineAndAHalfStopsAtHundred)
{
    SendPos(99.5f);
    bar.PostMessage(WM_BAR_STEPIT);
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&msg);
    EXPECT_EQ(bar.GetPos(), 100.0f);
}

TEST_F(BarFixture, StepsAddTheStepSize)
{
    float step = 2.5f;
    bar.SendMessage(WM_BAR_SETSTEP, reinterpret_cast<WPARAM>(&step));
    EXPECT_EQ(bar.SendMessage(WM_BAR_STEPIT), 1);
    EXPECT_EQ(bar.SendMessage(WM_BAR_STEPIT), 1);
    EXPECT_EQ(bar.GetPos(), 5.0f);
}

TEST_F(BarFixture, GetPosTruncates)
{
    SendPos(57.9f);
    EXPECT_EQ(GetPosMessage(), 57);
    SendPos(37.9f);
    EXPECT_EQ(GetPosMessage(), 37);
}

TEST_F(BarFixture, SetRangeResetsThePosition)
{
    SendPos(40);
    EXPECT_EQ(bar.SendMessage(WM_BAR_SETRANGE, 10, 100), 1);
    EXPECT_EQ(bar.GetPos(), 10.0f);
    EXPECT_EQ(bar.SendMessage(WM_BAR_SETRANGE, 0, 100), 1);
    EXPECT_EQ(bar.GetPos(), 0.0f);
}

// A worker's burst of positions and steps costs one picture at the next
// paint, not one each; a new step size changes nothing to repaint.
TEST_F(BarFixture, SetPosAndStepsRepaintAtTheNextPaintAndSetStepDoesNot)
{
    const COLORREF marker = RGB(255, 0, 255);
    bar.UpdateWindow();  // nothing left to paint from before
    PaintWindow(marker);
    ASSERT_EQ(WindowPixel(1, 1), marker);
    float step = 3;
    bar.SendMessage(WM_BAR_SETSTEP, reinterpret_cast<WPARAM>(&step));
    EXPECT_FALSE(::GetUpdateRect(bar, nullptr, FALSE));
    SendPos(100);
    EXPECT_EQ(WindowPixel(1, 1), marker);  // not drawn yet
    EXPECT_TRUE(::GetUpdateRect(bar, nullptr, FALSE));
    bar.UpdateWindow();
    EXPECT_EQ(WindowPixel(1, 1), kBar);

    PaintWindow(marker);
    SendPos(0);
    EXPECT_EQ(bar.SendMessage(WM_BAR_STEPIT, 34), 1);  // 34 steps of 3 in one message
    EXPECT_EQ(bar.GetPos(), 100.0f);
    EXPECT_TRUE(::GetUpdateRect(bar, nullptr, FALSE));
    bar.UpdateWindow();
    EXPECT_EQ(WindowPixel(1, 1), kBar);
}

}  // namespace
