// LibreCadView.h - LibreCAD's view of its drawing, as far as a plug-in can know it. Its interface
// tells neither the view's scale nor where the drawing lies in it; a point LibreCAD gave for a
// click tells both, once two clicks lie apart.
#pragma once

#include <optional>
#include <vector>

#include "vel/io/Picture.h"

namespace vel::librecad {

class LibreCadView {
public:
    // A click in the view, at `pixel` of the view, gave the drawing point `at`.
    void clicked(Point pixel, Point at);
    // The view zoomed or panned: what the clicks told is no longer so.
    void moved() { clicks_.clear(); }

    // The view's transform (pixels from the view's top-left corner), when clicks tell it.
    std::optional<ViewTransform> transform() const;

    // Two clicks this many pixels apart on an axis tell its scale well enough: LibreCAD gives a
    // point to the pixel, so the scale is then known within a few hundredths.
    static constexpr double kMinSpanPixels = 40.0;
    // The scales the two axes tell agree within this share, or a point was moved by a snap.
    static constexpr double kScaleAgreement = 0.02;

private:
    struct Click {
        Point pixel;
        Point at;
    };
    std::vector<Click> clicks_;  // since the view last moved, the latest two
};

}  // namespace vel::librecad
