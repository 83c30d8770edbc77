// LibreCadView.cpp - the view's scale and place from two clicks.
#include "vel/librecad/LibreCadView.h"

#include <cmath>

namespace vel::librecad {

void LibreCadView::clicked(Point pixel, Point at) {
    if (!std::isfinite(at.x) || !std::isfinite(at.y)) return;
    if (clicks_.size() == 2) clicks_.erase(clicks_.begin());
    clicks_.push_back({pixel, at});
}

std::optional<ViewTransform> LibreCadView::transform() const {
    if (clicks_.size() < 2) return std::nullopt;
    const Click& a = clicks_[0];
    const Click& b = clicks_[1];
    // The screen's y runs down, the drawing's up.
    const double spanX = b.pixel.x - a.pixel.x, spanY = a.pixel.y - b.pixel.y;
    const double dx = b.at.x - a.at.x, dy = b.at.y - a.at.y;
    std::optional<double> scaleX, scaleY;
    if (std::fabs(spanX) >= kMinSpanPixels && dx != 0.0) scaleX = spanX / dx;
    if (std::fabs(spanY) >= kMinSpanPixels && dy != 0.0) scaleY = spanY / dy;
    if (!scaleX && !scaleY) return std::nullopt;
    double scale = scaleX ? *scaleX : *scaleY;
    if (scaleX && scaleY) {
        if (std::fabs(*scaleX - *scaleY) > kScaleAgreement * std::fabs(*scaleX))
            return std::nullopt;
        scale = (*scaleX + *scaleY) / 2;
    }
    if (!(scale > 0.0) || !std::isfinite(scale)) return std::nullopt;
    // The origin that puts both clicks where they landed, split evenly between them.
    const double originX = (a.pixel.x + b.pixel.x - scale * (a.at.x + b.at.x)) / 2;
    const double originY = (a.pixel.y + b.pixel.y + scale * (a.at.y + b.at.y)) / 2;
    return ViewTransform(scale, originX, originY);
}

}  // namespace vel::librecad
