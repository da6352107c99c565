// What the window tests have in common: the editor driver, Qt's test helpers, GoogleTest and a
// look at the screen.
#pragma once

#include "tests/support/editordriver.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

// The warning the window shows (ui/errorreport.h), or null while it shows none.
inline QMessageBox *errorBox(QWidget *form)
{
    return form->findChild<QMessageBox *>(QStringLiteral("errorBox"));
}

// The window as it is on screen (the backing store, after the paint cycle), once every repaint
// asked for has been made.
inline QImage onScreen(QWidget &window)
{
    QApplication::processEvents();
    return window.screen()
            ->grabWindow(window.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
}
