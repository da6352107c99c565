// The one error type of the editor. Every failing step raises it with its kind; the window layer
// catches it at the boundary of each event handler, so no exception reaches Qt's event loop.
#pragma once

#include <stdexcept>
#include <string>

enum class ErrorKind {
    Overflow,
    SubscriptOutOfRange,
    TypeMismatch,
    DivisionByZero,
    InvalidOperation,
    FileWrite,
};

class EditorError : public std::runtime_error
{
public:
    EditorError(ErrorKind kind, const std::string &message)
        : std::runtime_error(message)
        , m_kind(kind)
    { }

    ErrorKind kind() const noexcept { return m_kind; }

private:
    ErrorKind m_kind;
};
