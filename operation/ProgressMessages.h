// Messages of the progress bar; positions are percentages from 0 to 100.
#pragma once

#include <windows.h>

constexpr UINT WM_BAR_SETPOS = WM_USER + 3;    // wParam: const float*; sent
constexpr UINT WM_BAR_SETSTEP = WM_USER + 4;   // wParam: const float*; sent
constexpr UINT WM_BAR_STEPIT = WM_USER + 5;    // wParam: number of steps, 0 for one
constexpr UINT WM_BAR_SETRANGE = WM_USER + 6;  // wParam: lower, lParam: upper
constexpr UINT WM_BAR_GETPOS = WM_USER + 8;    // sent; returns the truncated position
