#include "fractals/figures.hpp"

namespace velmoran {

namespace {
constexpr std::pair<Figure, const char*> kNames[] = {
    {Figure::Triangolo, "triangolo"},
    {Figure::Tappeto, "tappeto"},
    {Figure::Trina, "trina"},
    {Figure::Fiocco, "fiocco"},
};
}  // namespace

const char* figureName(Figure figure) noexcept
{
    for (const auto& [f, name] : kNames)
        if (f == figure)
            return name;
    return "";
}

std::optional<Figure> figureNamed(std::string_view name) noexcept
{
    for (const auto& [f, n] : kNames)
        if (name == n)
            return f;
    return std::nullopt;
}

PressOutcome pressFigure(WindowState& state, DrawingSurface& surface, DoEventsService& events,
                         Figure figure, std::string_view text)
{
    return pressFigure<DrawingSurface, DoEventsService>(state, surface, events, figure, text);
}

}  // namespace velmoran
