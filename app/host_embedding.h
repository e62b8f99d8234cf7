#pragma once
#include <QWidget>
#include <QWindow>
#include <cstdint>

// The window inside the timetabling program's window, given only that window's native handle.
namespace toa::app {

// Makes `form` a borderless child of the foreign window `handle`, placed at the offsets that
// would centre it on the screen. False, and the form left a normal window, when the platform
// cannot reach foreign windows or no window has that handle.
bool embedInHost(QWidget& form, std::uint32_t handle);

// The foreign window the form was embedded in, or none.
QWindow* hostWindow(const QWidget& form);

}  // namespace toa::app
