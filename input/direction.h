// The direction of one stroke step, and the word the editor shows for it.
#pragma once

#include <QCoreApplication>
#include <QString>

enum class Direction { None, Up, Down, Left, Right };

inline QString directionWord(Direction direction)
{
    switch (direction) {
    case Direction::Up:
        return QCoreApplication::translate("Direction", "Up");
    case Direction::Down:
        return QCoreApplication::translate("Direction", "Down");
    case Direction::Left:
        return QCoreApplication::translate("Direction", "Left");
    case Direction::Right:
        return QCoreApplication::translate("Direction", "Right");
    case Direction::None:
        break;
    }
    return QString();
}
