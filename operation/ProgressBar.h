// A custom-drawn horizontal progress bar: the part up to the position in one
// colour, the rest in another, and the position as a whole percentage in the
// middle, its characters split at the fill edge between two colour pairs. Each
// change is drawn in off-screen bitmaps and copied to the window in one step.
// Other threads reach it only through the WM_BAR_* messages.
#pragma once

#include "framework/Gdi.h"
#include "framework/Wnd.h"

class CProgressBar : public CWnd {
public:
    CProgressBar() = default;
    ~CProgressBar() override;

    // font: copied; null for the built-in "MS Sans Serif" of 14 units.
    BOOL Create(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, COLORREF crBar,
                COLORREF crBack, COLORREF crTextOnBar, COLORREF crTextOnBack, BOOL bShowText,
                HFONT font);

    void SetRange(UINT lower, UINT upper);
    float GetPos() const { return m_fPos; }
    void SetPos(float pos);
    void SetStep(float step) { m_fStep = step; }
    void StepIt();
    // Builds the whole bar off-screen and copies it to `target` at its origin.
    void DrawBar(HDC target);

protected:
    virtual LRESULT OnStepIt(WPARAM w, LPARAM l);
    virtual LRESULT OnSetRange(WPARAM w, LPARAM l);
    virtual LRESULT OnGetPos(WPARAM w, LPARAM l);
    virtual LRESULT OnSetPos(WPARAM w, LPARAM l);
    virtual LRESULT OnSetStep(WPARAM w, LPARAM l);
    void OnPaint();
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;

private:
    float Clamped(float pos) const;
    void RepaintNow();

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
