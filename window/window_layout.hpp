#pragma once

// Where the window's controls stand, in logical pixels of its client area,
// and the object names that tests and accessibility tools find them by.

#include <cstddef>
#include <iterator>

#include <QRect>
#include <QSize>

#include "fractals/figure_table.hpp"

namespace velmoran::window::layout {

inline constexpr QSize kWindowSize(629, 444);

enum class Control {
    DrawingArea,
    TriangleButton,  // the figure buttons, in the order of kFigures
    CarpetButton,
    KochCurveButton,
    SnowflakeButton,
    CountBox,
    CountLabel,
    ExitButton,
    PrintButton,
    SiteLabel,
};

struct ControlPlace {
    Control control;
    const char* objectName;
    QRect geometry;
};

// In the order the controls are made, which is their tab order too but for
// the labels, which take no focus. Made later means drawn on top: the count
// label covers the count box's leftmost column.
inline constexpr ControlPlace kControls[] = {
    {Control::DrawingArea, "Picture1", QRect(16, 24, 497, 353)},  // its 2-pixel border included
    {Control::TriangleButton, "Command1", QRect(520, 240, 105, 65)},
    {Control::CarpetButton, "Command2", QRect(520, 168, 105, 65)},
    {Control::KochCurveButton, "Command3", QRect(520, 96, 105, 65)},
    {Control::SnowflakeButton, "Command4", QRect(520, 24, 105, 65)},
    {Control::CountBox, "Combo1", QRect(472, 384, 41, 26)},
    {Control::CountLabel, "Label1", QRect(232, 384, 241, 25)},
    {Control::ExitButton, "Command5", QRect(520, 344, 105, 25)},
    {Control::PrintButton, "Command6", QRect(520, 312, 105, 25)},
    {Control::SiteLabel, "Label2", QRect(40, 416, 370, 12)},
};

namespace detail {
constexpr bool rowsInEnumOrder()
{
    for (std::size_t i = 0; i < std::size(kControls); ++i)
        if (static_cast<std::size_t>(kControls[i].control) != i)
            return false;
    return true;
}
}  // namespace detail
static_assert(detail::rowsInEnumOrder(), "kControls holds one row per Control, in enumerator order");

// The figure buttons stand in kControls from the first on, one per figure,
// and the count box is the control made after them.
inline constexpr std::size_t kFirstFigureButton = static_cast<std::size_t>(Control::TriangleButton);
static_assert(static_cast<Control>(kFirstFigureButton + kFigureCount) == Control::CountBox,
              "one figure button per figure, after the others and before the count box");

namespace detail {
constexpr bool sameName(const char* a, const char* b)
{
    for (; *a != '\0' && *a == *b; ++a, ++b) {
    }
    return *a == *b;
}
constexpr bool overlap(const QRect& a, const QRect& b)
{
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() && b.top() <= a.bottom();
}
// The window is fixed: a new figure's button needs a place of its own in
// the column, inside the window, and a name of its own.
constexpr bool figureButtonsStandApart()
{
    for (std::size_t i = kFirstFigureButton; i < kFirstFigureButton + kFigureCount; ++i) {
        const QRect& place = kControls[i].geometry;
        if (place.left() < 0 || place.top() < 0 || place.right() >= kWindowSize.width()
            || place.bottom() >= kWindowSize.height())
            return false;
        for (std::size_t j = 0; j < std::size(kControls); ++j)
            if (j != i
                && (overlap(place, kControls[j].geometry)
                    || sameName(kControls[i].objectName, kControls[j].objectName)))
                return false;
    }
    return true;
}
}  // namespace detail
static_assert(detail::figureButtonsStandApart(),
              "each figure button inside the window, clear of every other control, with a name of its own");

constexpr const ControlPlace& placeOf(Control control) { return kControls[static_cast<std::size_t>(control)]; }
constexpr Control buttonOf(Figure figure)
{
    return static_cast<Control>(kFirstFigureButton + static_cast<std::size_t>(figure));
}

}  // namespace velmoran::window::layout
