// A frame's toolbar that the user moves by its gripper: docked along any of
// the frame's four edges in a strip that draws the gripper, or floating in a
// small tool window of its own. Dragged by the gripper (or by the floating
// window's caption) the bar shows where it would go and goes there when the
// button is released: along the edge the pointer is near, or floating where
// it is (always floating while Ctrl is held). Double-clicking the gripper
// floats the bar where it floated last; double-clicking the floating
// window's caption docks it where it was docked last; the floating window's
// close box hides the bar. The toolbar keeps sending its commands and
// notifications to the frame wherever it is.
#pragma once

#include "framework/Wnd.h"

class CToolBar;

enum class DockSide { Top, Bottom, Left, Right, Floating };

class CToolBarDocking;

// The strip along an edge of the frame that holds the docked toolbar.
class CDockStrip : public CWnd {
public:
    explicit CDockStrip(CToolBarDocking& docking) : m_docking(docking) {}
    bool Create(HWND frame, UINT id);
    // The gripper's rectangle in the strip's client area.
    RECT GripperRect() const;

protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;

private:
    void OnPaint();
    CToolBarDocking& m_docking;
};

// The small tool window of a floating toolbar, owned by the frame.
class CFloatingBarWnd : public CWnd {
public:
    explicit CFloatingBarWnd(CToolBarDocking& docking) : m_docking(docking) {}
    bool Create(HWND frame, const char* caption);

protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;

private:
    CToolBarDocking& m_docking;
};

// Where the toolbar is and whether it is shown; the frame asks it for the
// room the docked bar takes when it lays out its children.
class CToolBarDocking {
public:
    // Pixels of the gripper across the bar, and of the strip's border.
    static constexpr int kGripperSize = 10;
    static constexpr int kBorder = 2;

    CToolBarDocking(CToolBar& toolBar, HWND frame, UINT stripId);
    ~CToolBarDocking();
    CToolBarDocking(const CToolBarDocking&) = delete;
    CToolBarDocking& operator=(const CToolBarDocking&) = delete;
    bool Create(const char* floatingCaption);

    DockSide Side() const { return m_side; }
    bool IsVisible() const { return m_bVisible; }
    void Show(bool show);
    // Docks the bar along an edge (Floating docks it where it was last docked).
    void Dock(DockSide side);
    // Floats the bar with its window's top left corner at a screen point.
    void Float(POINT topLeft);
    // Floats the bar where it floated last, below the frame's top left
    // corner the first time.
    void FloatAgain();

    // Draws the floating window's caption active while the frame is.
    void ShowFrameActive(bool active) const;

    // Takes the docked bar's room from `room` (frame client coordinates)
    // into `strip`, leaving what is left in `room`; false when no strip is
    // shown on the frame.
    bool Layout(RECT& room, RECT& strip) const;

    // Follows the pointer from a press on the gripper or the floating
    // caption at a screen point until the button is released or the drag is
    // cancelled (Escape, the right button, capture lost), then docks or
    // floats the bar where it was released. A press that does not move does
    // nothing.
    void Drag(HWND capture, POINT start);
    // Where a bar released at a screen point would go (Ctrl pressed: float).
    DockSide TargetAt(POINT screen, bool floatOnly) const;

    HWND StripWindow() const { return m_strip.GetSafeHwnd(); }
    HWND FloatingWindow() const { return m_floating.GetSafeHwnd(); }
    HWND Frame() const { return m_hFrame; }

private:
    bool IsVertical(DockSide side) const { return side == DockSide::Left || side == DockSide::Right; }
    // The toolbar's size laid out for a side, and the strip's thickness there.
    SIZE BarSize(DockSide side) const;
    int Thickness(DockSide side) const;
    // The frame's client area that bars dock in, in screen coordinates.
    RECT DockArea() const;
    // The rectangle that shows, during a drag, where the bar would go.
    RECT FeedbackRect(DockSide side, POINT screen) const;
    RECT FloatingRectAt(POINT topLeft) const;
    void PutToolBar(DockSide side);
    // Shows the strip or the floating window, whichever holds the bar, when
    // the bar is shown, and lays the frame out again.
    void ShowHome();
    // The band of `area` along a side, as deep as the bar docked there.
    RECT BandAlong(RECT area, DockSide side) const;
    void RelayoutFrame() const;
    // Shows or hides the frame of `rect` drawn inverted over the screen.
    static void InvertFrame(const RECT& rect, int thickness);

    CToolBar& m_toolBar;
    HWND m_hFrame;
    UINT m_nStripId;
    CDockStrip m_strip;
    CFloatingBarWnd m_floating;
    DockSide m_side = DockSide::Top;
    DockSide m_lastDocked = DockSide::Top;
    bool m_bVisible = true;
    bool m_bFloatedBefore = false;
    POINT m_floatTopLeft{0, 0};
    // The toolbar's size in a row and in a column, measured once.
    SIZE m_sizeRow{0, 0};
    SIZE m_sizeColumn{0, 0};
    // From the pointer to the floating window's corner during a drag.
    POINT m_grabOffset{0, 0};
};
