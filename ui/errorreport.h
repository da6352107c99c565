// Every event handler and slot of the windows and the canvas widgets that does work of its own
// runs inside guarded(), as do those of a save (ui/saveinprogress.cpp); those that only pass an
// event on (emit a signal whose slots are guarded, reject the dialog, swallow a key) have nothing
// to catch. An error that ends a handler is caught at its boundary, never crosses Qt's event
// loop, and is shown in a warning message box. The state stays as far as the handler got and the
// program goes on.
#pragma once

#include <QCoreApplication>
#include <QString>

#include <exception>
#include <utility>

class QWidget;

// Shows the error without blocking: one box at a time, window-modal over `owner`.
void reportError(QWidget *owner, const QString &message);

template<typename Handler>
void guarded(QWidget *owner, Handler &&handler)
{
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception &error) {
        reportError(owner, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        reportError(owner, QCoreApplication::translate("guarded", "An unknown error occurred."));
    }
}
