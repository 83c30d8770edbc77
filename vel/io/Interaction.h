// Interaction.h - the rules of interaction that every front end keeps alike, free of any toolkit:
// which input the armed step takes, what Enter, space, the right button and Escape mean at that
// step in each front end's convention, points typed at a prompt, and the pick box and hover colour
// of every front end's view. The window and the host inside LibreCAD take their events in
// and draw; what an input means is decided here once.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vel/kernel/Geometry.h"
#include "vel/kernel/HostPalette.h"

namespace vel {

class Host;

// What the armed step of a running command takes.
enum class StepInput {
    None,       // no command runs, or the step takes no pick
    Figure,     // a click on a figure
    Element,    // a click on one of the elements the step offers (a leader or a dimension)
    Point,      // a point: clicked, snapped or typed
    Selection,  // figures clicked or windowed into a selection, ended by the confirm input
};

StepInput armedInput(const Host& host);

// The step takes a point of the drawing (a click there, or a point typed).
inline bool takesAPick(StepInput input) {
    return input != StepInput::None;
}

// Whose conventions a front end keeps.
enum class Convention {
    Window,    // velhost's window: Enter, space and the right button confirm; Escape leaves
    LibreCad,  // LibreCAD's own commands: the right button and Escape in the command line step
               // back, Escape in the drawing ends the command, Enter confirms
};

enum class Gesture { Enter, Space, RightButton, EscapeInCommandLine, EscapeInDrawing };

enum class Meaning {
    RunTyped,      // run (or take as a point) what the command line holds
    RepeatLast,    // no command runs: the last command again
    Confirm,       // the step's confirm input ("Create Insert" at a first prompt)
    EndSelection,  // the selection ends, with what it holds
    StepBack,      // back to the step before: from the second corner to the first-corner prompt
    Leave,         // out of the command
    Nothing,       // no meaning here
};

// What the front end knows of the moment an input comes.
struct InputMoment {
    StepInput input = StepInput::None;
    bool selectionEmpty = true;  // nothing is selected yet
    bool secondPoint = false;    // a point step with a rubber band up: a first point was given
    bool typed = false;          // the command line holds text
    bool lastCommand = false;    // a command ran before and can be repeated
};

InputMoment momentOf(const Host& host, bool typed, bool lastCommand);

Meaning meaningOf(Gesture gesture, Convention convention, const InputMoment& moment);

// A point typed at a prompt, as LibreCAD's own commands take one: "x,y"; "@dx,dy" from the last
// point given; "d<a", d away from the origin at a degrees counter-clockwise from the x axis, and
// "@d<a" the same from the last point. Blanks around the numbers are allowed.
struct TypedPoint {
    enum class Problem { None, NotAPoint, NoBase };
    std::optional<Point> point;  // none when the text is no point, or is relative with no base
    Problem problem = Problem::None;
};
TypedPoint readTypedPoint(std::string_view text, std::optional<Point> last);

// The text is meant as a point rather than a command: it is anything but a word of letters,
// which every command's name is. "12;5" and "12 5" are points mistyped, to be refused with the
// reason and put right, not commands unknown.
bool meantAsPoint(std::string_view text);

// Whether space ends what is typed at a step (as Enter does) or is a blank within it: a blank
// where a point is being typed that does not read as one yet, as between a number and its comma.
bool spaceEndsTyping(std::string_view text, StepInput input);

// Where a run's inserts end, for undo: a continuous run goes back to the step it began with once
// each insert is made. Every front end cuts its undo history there, so that one undo takes back
// one insert.
class InsertCycles {
public:
    // The run has begun and armed its first step.
    void started(const Host& host);
    // True once each time the run is back at its first step with the drawing changed since it was
    // last there.
    bool insertEnded(const Host& host);

private:
    int mask_ = 0;
    std::u16string prompt_;
    std::uint64_t revision_ = 0;
};

// A coordinate as a status line shows it: three decimals, a point for the decimal sign in every
// locale, and a value that rounds to zero as 0.000, never -0.000.
std::string shownCoordinate(double v);

// The pick box's half size on screen, in pixels, in every front end's own view: a pick reaches
// as far on screen at any zoom.
inline constexpr double kPickBoxPixels = 5.0;

// What a click would take is lit in this colour before the click, in every front end's view.
inline constexpr Rgb kHoverColor{255, 196, 64};

// The aids drawn over a view (the rubber band, the pick box), light on a dark background.
inline constexpr Rgb kAidColor{200, 200, 200};

// The rubber band of a second corner, on screen: the corners of the rectangle that the first
// corner and the cursor span, in order around it from the first. Every front end draws it so, and
// LibreCAD's adds the line from the first corner to the cursor that LibreCAD's own point input
// draws.
inline std::array<Point, 4> bandCorners(Point first, Point cursor) {
    return {first, Point{cursor.x, first.y}, cursor, Point{first.x, cursor.y}};
}

}  // namespace vel
