#pragma once

// What the program is asked to do on its command line: open the window,
// print its help or version, or export one press's picture without a window.
// No Qt here: the answer is needed before Qt may be started at all.

#include <string>
#include <vector>

#include "files/picture_format.hpp"
#include "fractals/figure_table.hpp"

namespace velmoran::app {

// The bounds of --scale, the export's device-pixel ratio.
inline constexpr double kMinExportScale = 0.25;
inline constexpr double kMaxExportScale = 8;

struct ExportRequest {
    std::string file;
    files::PictureFormat format = files::PictureFormat::Png;  // by the file's extension
    Figure figure = Figure::SierpinskiTriangle;
    // The count box's text, as typed.
    std::string text;
    double scale = 1;
    // For an animation (.gif, .webp): --levels, and --seconds.
    files::AnimationKind animation = files::AnimationKind::Growth;
    double seconds = files::kGrowthSeconds;
};

struct CommandLine {
    enum class Action { OpenWindow, Help, Version, Export, BadUsage };
    Action action = Action::OpenWindow;
    ExportRequest exportRequest;  // for Export
    // Qt's own options, for the window: passed on to Qt in their order.
    std::vector<std::string> qtArguments;
    // -platform or -display is among them.
    bool displayOnCommandLine = false;
    // What is wrong, in Italian, for BadUsage.
    std::string problem;
};

// Reads the arguments after the program's name. --help and --version stand
// alone; anything not understood is bad usage.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// Where a window could be shown: a display, a Wayland compositor or a Qt
// platform is named in the environment (read through `environment`, which
// gives null for an unset variable) or on the command line.
using EnvironmentLookup = const char* (*)(const char* name);
bool displayNamed(const CommandLine& command, EnvironmentLookup environment);

}  // namespace velmoran::app
