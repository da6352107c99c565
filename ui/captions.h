// The fixed captions of both windows' controls, each written once here: the windows show them,
// the font is fitted to them (ui/editorfont.cpp), and the tests measure them. Each caption has
// the room its control gives its text, worked out from the design layout (ui/layout.json).
#pragma once

#include "ui/layout.h"

#include <QCoreApplication>
#include <QString>

struct Caption
{
    const char *window; // the window's class: the context the caption is translated in
    const char *control; // the object name of the control that shows it
    const char *source; // the caption as written, before translation
    int room; // pixels from the control's left edge to where its text must end

    QString name() const { return QString::fromLatin1(control); }
    QString text() const { return QCoreApplication::translate(window, source); }
};

namespace captions::Form1 {
namespace place = layout::Form1;
// Label2 lies over Label1's end: Label1's text, the position read-out, must end where Label2
// starts.
inline constexpr Caption Label1 { "Form1", "Label1", QT_TRANSLATE_NOOP("Form1", "Label1"),
                                  place::Label2.left() - place::Label1.left() };
inline constexpr Caption Label2 { "Form1", "Label2", QT_TRANSLATE_NOOP("Form1", "Label2"),
                                  place::Label2.width() };
inline constexpr Caption Label4 { "Form1", "Label4", QT_TRANSLATE_NOOP("Form1", "Label4"),
                                  place::Label4.width() };
inline constexpr Caption cmdSave { "Form1", "cmdSave", QT_TRANSLATE_NOOP("Form1", "Save"),
                                   place::cmdSave.width() };
inline constexpr Caption Command1 { "Form1", "Command1", QT_TRANSLATE_NOOP("Form1", "Command1"),
                                    place::Command1.width() };
inline constexpr Caption All[] = { Label1, Label2, Label4, cmdSave, Command1 };
} // namespace captions::Form1

namespace captions::Form2 {
namespace place = layout::Form2;
// "Square Size X:" and "Pixels Per Square:" reach under their text boxes: their text must end
// where the box starts.
inline constexpr Caption Label1 { "Form2", "Label1", QT_TRANSLATE_NOOP("Form2", "Square Size X:"),
                                  place::txtSizeX.left() - place::Label1.left() };
inline constexpr Caption Label2 { "Form2", "Label2", QT_TRANSLATE_NOOP("Form2", "Square Size Y:"),
                                  place::Label2.width() };
inline constexpr Caption Label3 { "Form2", "Label3",
                                  QT_TRANSLATE_NOOP("Form2", "Pixels Per Square:"),
                                  place::txtPixel.left() - place::Label3.left() };
inline constexpr Caption Command1 { "Form2", "Command1", QT_TRANSLATE_NOOP("Form2", "OK"),
                                    place::Command1.width() };
inline constexpr Caption Command2 { "Form2", "Command2", QT_TRANSLATE_NOOP("Form2", "Cancel"),
                                    place::Command2.width() };
inline constexpr Caption All[] = { Label1, Label2, Label3, Command1, Command2 };
} // namespace captions::Form2
