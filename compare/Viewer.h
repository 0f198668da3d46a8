// What the compare model knows of the windows that show an item: an item owns
// the viewer it has opened through an abstract handle, and opens a new one
// through the results view that asks it to. The Windows views implement both
// with real dialogs; the model never sees a window.
#pragma once

#include <memory>

struct CFilePropertiesTexts;
class ITimeConverter;

class IViewerWindow {
public:
    virtual ~IViewerWindow() = default;
    // False once the user has closed the window.
    virtual bool IsOpen() const = 0;
    // Shows the window, makes it the active window and gives it the focus.
    virtual void BringToFront() = 0;
    // Destroys the window if it is still there.
    virtual void Destroy() = 0;
};

// Implemented by a results view: opens viewers owned by its window.
class IViewerFactory {
public:
    virtual ~IViewerFactory() = default;
    // The conversion of file times to the machine's local time.
    virtual const ITimeConverter& LocalTime() const = 0;
    // Opens a modeless file properties window showing texts; null if it
    // could not be created.
    virtual std::unique_ptr<IViewerWindow> OpenFileProperties(const CFilePropertiesTexts& texts) = 0;
};
