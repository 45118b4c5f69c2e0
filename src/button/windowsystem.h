#pragma once

#include <cstdint>

class QWidget;

// The services of the Windows window manager that the push button relies on,
// in Qt terms: 32-bit window handles that stay the same for a widget's life.
class WindowSystem
{
public:
    // The handle of a widget, assigned on first use; 0 for no widget.
    // Handles are never reused within a run.
    static std::int32_t handleOf(QWidget *window);
    // The widget of a handle, or null when it is unknown or gone.
    static QWidget *window(std::int32_t handle);
};
