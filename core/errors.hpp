#pragma once

#include <exception>

namespace velmoran {

// The run-time errors a button press can end in. Each abandons only the press
// that raised it; the window and any press it was nested in carry on.
enum class ErrorKind {
    Overflow,       // checked 16-bit arithmetic or conversion, or a number too large to read
    FloatingPoint,  // invalid operation, division by zero or overflow in a checked step
    Count,          // the selector's text converts to a negative count
    Stack,          // the recursion went deeper than the program allows
};

// The word the trace prints for each kind.
const char* traceName(ErrorKind kind) noexcept;

class RuntimeError : public std::exception {
public:
    explicit RuntimeError(ErrorKind kind) noexcept : kind_(kind) {}
    ErrorKind kind() const noexcept { return kind_; }
    const char* what() const noexcept override { return traceName(kind_); }

private:
    ErrorKind kind_;
};

[[noreturn]] void throwError(ErrorKind kind);

// Not an error: "Esci" was pressed while drawings were running. Thrown from
// the event service so that every pending drawing unwinds without drawing
// another line; each press catches it and returns quietly.
struct ProgramEnding {};

// Not an error: the person stopped the drawings in progress. Thrown where a
// stopped drawing yields, so it unwinds leaving what it has drawn.
struct DrawingStopped {};

}  // namespace velmoran
