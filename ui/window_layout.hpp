#pragma once

// Where the window's controls stand, in logical pixels of its client area:
// the one table the window, its geometry test and the end-to-end tests'
// reference renderer read.

#include <cstddef>
#include <iterator>

#include <QRect>
#include <QSize>

#include "fractals/figure.hpp"

namespace velmoran::ui::layout {

inline constexpr QSize kWindowSize(629, 444);

struct ControlPlace {
    const char* objectName;
    QRect geometry;
};

// In the order the controls are made, which is their tab order too but for
// "Label1" (labels take no focus). Made later means drawn on top: "Label1"
// covers the selector's leftmost column.
inline constexpr ControlPlace kControls[] = {
    {"Picture1", QRect(16, 24, 497, 353)},   // the drawing area, its 2-pixel border included
    {"Command1", QRect(520, 240, 105, 65)},  // the figure buttons, as named in kFigures
    {"Command2", QRect(520, 168, 105, 65)},
    {"Command3", QRect(520, 96, 105, 65)},
    {"Command4", QRect(520, 24, 105, 65)},
    {"Combo1", QRect(472, 384, 41, 26)},  // the count selector
    {"Label1", QRect(232, 384, 241, 25)},  // its label
    {"Command5", QRect(520, 344, 105, 25)},  // "Esci"
    {"Command6", QRect(520, 312, 105, 25)},  // "Stampa"
    {"Label2", QRect(40, 416, 370, 12)},  // the web address
};

namespace detail {
constexpr bool sameName(const char* a, const char* b)
{
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}
constexpr std::size_t indexOf(const char* objectName)
{
    for (std::size_t i = 0; i < std::size(kControls); ++i)
        if (sameName(kControls[i].objectName, objectName))
            return i;
    return std::size(kControls);
}
constexpr bool everyFigureHasAPlace()
{
    for (const FigureInfo& figure : kFigures)
        if (indexOf(figure.objectName) == std::size(kControls))
            return false;
    return true;
}
}  // namespace detail

static_assert(detail::everyFigureHasAPlace(), "every figure's button needs a row in kControls");

// The geometry of the control named `objectName`, which must be in the table.
constexpr QRect geometryOf(const char* objectName) { return kControls[detail::indexOf(objectName)].geometry; }

}  // namespace velmoran::ui::layout
