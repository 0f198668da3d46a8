// What the compare model knows of the windows that show an item: an item
// opens its viewer through the results view that asks it to, which keeps the
// viewer through an abstract handle (ItemViewers.h). The Windows views
// implement both with real dialogs; the model never sees a window.
#pragma once

#include <memory>
#include <string>

struct CFilePropertiesTexts;
class CRegVal;
class ITimeConverter;

// The three viewers of a registry value: text, number, data.
enum class RegViewerKind { String, Dword, Binary };

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
    // Opens a modeless viewer of value, captioned caption; null if it could
    // not be created. Only the registry results view shows values.
    virtual std::unique_ptr<IViewerWindow> OpenRegValueViewer(RegViewerKind, const std::string&,
                                                              const CRegVal&)
    {
        return nullptr;
    }
    // A note in a message box owned by the view; only the registry results
    // view has one to show.
    virtual void ShowNote(const std::string&) {}
};
