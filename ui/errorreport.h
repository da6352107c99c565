// Every event handler and slot of the windows and the canvas widgets that does work of its own
// runs inside guarded(), as do those of a save (ui/saveinprogress.cpp); those that only pass an
// event on (emit a signal whose slots are guarded, reject the dialog, swallow a key) have nothing
// to catch. An error that ends a handler is caught at its boundary, never crosses Qt's event
// loop, and is shown in a warning message box. The state stays as far as the handler got and the
// program goes on.
#pragma once

#include <QString>

#include <exception>
#include <utility>

class QWidget;

// Shows the error without blocking: one box at a time, window-modal over `owner`. Should the box
// itself fail (no memory), a line on standard error says so instead; nothing is thrown.
void reportError(QWidget *owner, const QString &message) noexcept;
// The same for an exception's what() (in the locale's encoding), or an unknown error if null.
void reportException(QWidget *owner, const char *what) noexcept;

template<typename Handler>
void guarded(QWidget *owner, Handler &&handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception &error) {
        reportException(owner, error.what());
    } catch (...) {
        reportException(owner, nullptr);
    }
}
