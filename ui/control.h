// Both windows place their controls by hand, each at its design geometry and named after it.
#pragma once

#include "ui/captions.h"

#include <QRect>
#include <QString>
#include <QWidget>

// A control of type `Control` (a label, button or text box) with its text, name and place.
template<typename Control>
Control *makeControl(QWidget *parent, const QString &name, const QString &text,
                     const QRect &geometry)
{
    auto *control = new Control(text, parent);
    control->setObjectName(name);
    control->setGeometry(geometry);
    return control;
}

// A control of type `Control` with a fixed caption, named after the control the caption is for.
template<typename Control>
Control *makeControl(QWidget *parent, const Caption &caption, const QRect &geometry)
{
    return makeControl<Control>(parent, caption.name(), caption.text(), geometry);
}
