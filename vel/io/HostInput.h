// HostInput.h - what a person or a script does in the stand-in host, turned into
// the events the armed step expects: starting and leaving the command, a pick at
// a point under each event mask, a window selection, the inputs without a point.
// Session scripts and the window both go through here, so that the same actions
// give the same trace and the same drawing.
#pragma once

#include <optional>
#include <string>

#include "vel/kernel/Host.h"
#include "vel/kernel/Words.h"

namespace vel {

// Why an input was not taken, in words a person or a script's author reads
// ("nothing within reach of (10, 20)"); empty when it was taken.
struct InputResult {
    std::string refusal;
    Words words;  // the same, for a window to translate
    explicit operator bool() const { return refusal.empty(); }
};

// What a pick at a point would take under the armed mask: a segment (figure pick,
// selection) or an element (element pick); nothing under the point mask.
struct PickTarget {
    std::optional<int> segmentId;
    std::optional<int> elementId;
};

class HostInput {
public:
    explicit HostInput(Host& host) : host_(host) {}

    InputResult start();
    void escape() { host_.escape(); }
    // A pointer event at p: under 0x800 the nearest segment, under 0x1000 the nearest
    // element the step accepts, under 0x60000 the point alone; under 0x20 the nearest
    // segment joins the selection without an event.
    // Under 0x20, `deselect` takes what the pick or window holds out of the selection instead
    // (Shift held, as CAD programs have it).
    InputResult pick(Point p, bool deselect = false);
    // A point typed as a person types it at a prompt: "x,y", or "@dx,dy" from the last point
    // picked or typed; taken as a pick there.
    InputResult pickTyped(const std::string& typed);
    // Under 0x800, the figure `segmentId` picked at p: for a front end whose own pick (another
    // host's, at its zoom) found the figure.
    InputResult pickFigure(int segmentId, Point p);
    std::optional<Point> lastPoint() const { return last_; }
    // Under 0x20, every segment lying wholly inside the window joins the selection.
    InputResult select(const Extents& window, bool deselect = false);
    // The same with every segment that the window crosses or holds (a window
    // dragged from right to left, as CAD users know it).
    InputResult selectCrossing(const Extents& window, bool deselect = false);
    InputResult done();     // the end of a selection (event code 0)
    InputResult confirm();  // the confirm input (event code 7)
    InputResult key();      // any other input without a point (event code 4)

    PickTarget targetAt(Point p) const;

private:
    InputResult withoutPoint(int code, const char* what);
    void choose(int segmentId, bool deselect);
    // The dimension or leader whose text lies at p, when no element's line is within reach.
    std::optional<int> annotationTextAt(Point p) const;

    Host& host_;
    std::optional<Point> last_;  // of the last pick, for relative points
};

}  // namespace vel
