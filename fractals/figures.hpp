#pragma once

#include <optional>
#include <string_view>

#include "core/draw_command.hpp"
#include "fractals/fiocco.hpp"
#include "fractals/kock.hpp"
#include "fractals/sierpinski.hpp"
#include "fractals/tappeto.hpp"

namespace velmoran {

// The four draw buttons, in button order.
enum class Figure { Triangolo, Tappeto, Trina, Fiocco };

// The name a figure goes by on the trace tool's command line.
const char* figureName(Figure figure) noexcept;
std::optional<Figure> figureNamed(std::string_view name) noexcept;

// One press of a draw button: the common flow, then the figure's own step.
template <class Surface, class Events>
PressOutcome pressFigure(WindowState& state, Surface& surface, Events& events, Figure figure,
                         std::string_view text)
{
    Canvas<Surface, Events> canvas{state, surface, events};
    return runDrawCommand(state, surface, text, [&] {
        switch (figure) {
        case Figure::Triangolo: Command1_Click(canvas); break;
        case Figure::Tappeto: Command2_Click(canvas); break;
        case Figure::Trina: Command3_Click(canvas); break;
        case Figure::Fiocco: Command4_Click(canvas); break;
        }
    });
}

// The same through the plain virtual contract, for callers where the cost of
// a virtual call per line does not matter.
PressOutcome pressFigure(WindowState& state, DrawingSurface& surface, DoEventsService& events,
                         Figure figure, std::string_view text);

}  // namespace velmoran
