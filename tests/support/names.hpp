#pragma once

// The program's enum values by name, for expectations and failure messages
// that read the same whatever order an enum lists its values in.

#include <ostream>
#include <string>

#include "core/errors.hpp"
#include "core/press.hpp"
#include "fractals/figure_table.hpp"

namespace velmoran {

namespace test {

inline std::string nameOf(Figure figure) { return traceWord(figure); }

inline std::string nameOf(const PressOutcome& outcome)
{
    switch (outcome.status) {
    case PressOutcome::Status::Done: return "done";
    case PressOutcome::Status::Failed: return std::string("failed: ") + traceName(outcome.error);
    case PressOutcome::Status::Ended: return "ended";
    case PressOutcome::Status::Stopped: return "stopped";
    }
    return "status " + std::to_string(static_cast<int>(outcome.status));
}

}  // namespace test

// How GoogleTest prints an outcome.
inline void PrintTo(const PressOutcome& outcome, std::ostream* out) { *out << test::nameOf(outcome); }

}  // namespace velmoran
