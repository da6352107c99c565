// The direction of one stroke step, and the word the editor shows for it.
#pragma once

#include <string_view>

enum class Direction { None, Up, Down, Left, Right };

constexpr std::string_view directionWord(Direction direction)
{
    switch (direction) {
    case Direction::Up:
        return "Up";
    case Direction::Down:
        return "Down";
    case Direction::Left:
        return "Left";
    case Direction::Right:
        return "Right";
    case Direction::None:
        break;
    }
    return "";
}
