// DisplayProbe.h - where a widget application of our own can show its windows,
// found out before the application is made: Qt ends the process when it cannot
// open the display it was given, so an unreachable display must be caught first.
#pragma once

#include <string>

struct DisplayChoice {
    // The platform to pass to the application ("xcb", "wayland", "offscreen",
    // or an entry of QT_QPA_PLATFORM with its options); empty when unusable.
    std::string platform;
    // Why no window can be shown; empty when `platform` can be used.
    std::string problem;
    // No display was named and no platform chosen: "offscreen" is our own choice.
    bool unnamed = false;

    bool usable() const { return problem.empty(); }
};

// The first platform of the user's QT_QPA_PLATFORM that can be used (a display
// checked when it is X11 or Wayland), else the X server that DISPLAY names, else the Wayland
// compositor of WAYLAND_DISPLAY, each only when it answers; "offscreen" when no display is named at
// all, so that a scripted host can still run and answer dialogs.
DisplayChoice ChooseDisplay();
