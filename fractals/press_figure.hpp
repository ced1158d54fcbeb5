#pragma once

// One press of a figure button, with every renderer compiled in.

#include <string_view>
#include <utility>

#include "core/press.hpp"
#include "fractals/figure_table.hpp"
#include "fractals/koch_curve.hpp"
#include "fractals/koch_snowflake.hpp"
#include "fractals/load_window_state.hpp"
#include "fractals/sierpinski_carpet.hpp"
#include "fractals/sierpinski_triangle.hpp"

namespace velmoran {

namespace detail {
template <class Surface, class Events, std::size_t... I>
void renderFigure(Canvas<Surface, Events>& canvas, Figure figure, std::index_sequence<I...>)
{
    // A figure without a FigureRenderer specialisation fails to compile here.
    ((figure == static_cast<Figure>(I) ? FigureRenderer<static_cast<Figure>(I)>::draw(canvas) : void()), ...);
}
}  // namespace detail

// The common flow of a press, then the figure's own drawing.
template <class Surface, class Events>
PressOutcome pressFigure(WindowState& state, Surface& surface, Events& events, Figure figure,
                         std::string_view text)
{
    Canvas<Surface, Events> canvas{state, surface, events};
    return runPress(state, surface, text,
                    [&] { detail::renderFigure(canvas, figure, std::make_index_sequence<kFigureCount>{}); });
}

}  // namespace velmoran
