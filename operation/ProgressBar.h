// A custom-drawn horizontal progress bar: the part up to the position in one
// colour, the rest in another, and the position as a whole percentage in the
// middle, its characters split at the fill edge between two colour pairs. Each
// picture is drawn in off-screen bitmaps and copied to the window in one step;
// a change only invalidates the bar, so a burst of changes costs one picture.
// Other threads reach it only through the WM_BAR_* messages.
#pragma once

#include "framework/Gdi.h"
#include "framework/Wnd.h"

#include <string>

// What a bar of the range 0 to 100 shows of a position: where the fill ends
// and the percentage text. A worker compares pictures to tell whether its
// steps would change what the user sees.
struct CBarPicture {
    int edge;
    std::string text;
    bool operator==(const CBarPicture& o) const { return edge == o.edge && text == o.text; }
    bool operator!=(const CBarPicture& o) const { return !(*this == o); }
};

class CProgressBar : public CWnd {
public:
    CProgressBar() = default;

    // font: copied; null for the built-in "MS Sans Serif" of 14 units.
    BOOL Create(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, COLORREF crBar,
                COLORREF crBack, COLORREF crTextOnBar, COLORREF crTextOnBack, BOOL bShowText,
                HFONT font);

    void SetRange(UINT lower, UINT upper);
    float GetPos() const { return m_fPos; }
    void SetPos(float pos);
    void SetStep(float step) { m_fStep = step; }
    // Adds the step `count` times, clamping after each, as `count` single
    // steps one after the other would.
    void StepIt(unsigned count = 1);
    // Builds the whole bar off-screen and copies it to `target` at its origin.
    void DrawBar(HDC target);

    // Where the fill of a bar `width` pixels wide ends at pos (lower to upper).
    static int FillEdge(float pos, int width, UINT lower, UINT upper);
    // The text shown for pos, e.g. "37%".
    static std::string PercentText(float pos);
    // The position clamped to the range lower to upper; not a number is lower.
    static float Clamp(float pos, UINT lower, UINT upper);
    // What a bar of the range 0 to 100 and `width` pixels shows at pos.
    static CBarPicture PictureOf(float pos, int width);

protected:
    virtual LRESULT OnStepIt(WPARAM w, LPARAM l);
    virtual LRESULT OnSetRange(WPARAM w, LPARAM l);
    virtual LRESULT OnGetPos(WPARAM w, LPARAM l);
    virtual LRESULT OnSetPos(WPARAM w, LPARAM l);
    virtual LRESULT OnSetStep(WPARAM w, LPARAM l);
    void OnPaint();
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;

private:
    float Clamped(float pos) const { return Clamp(pos, m_nLower, m_nUpper); }
    void Changed();

    BOOL m_bShowText = TRUE;
    UINT m_nLower = 0;
    UINT m_nUpper = 100;
    float m_fPos = 0.0f;
    float m_fStep = 1.0f;
    COLORREF m_crBar = RGB(0, 0, 128);
    COLORREF m_crBack = RGB(255, 255, 255);
    COLORREF m_crTextOnBar = RGB(255, 255, 255);
    COLORREF m_crTextOnBack = RGB(0, 0, 0);
    CBrush m_brBar;
    CBrush m_brBack;
    CFont m_font;
};
