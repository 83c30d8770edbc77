// Resources.cpp - the plug-in's bitmaps as drawings: the insert picture (a green insert outline
// around a part, yellow arrows at its corners and sides) and the line-type pictures (a white
// two-pixel pattern on black).
#include "ui/Resources.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int kPattern01[] = {58};
constexpr int kPattern02[] = {3, 2};
constexpr int kPattern03[] = {6, 3, 3, 3};
constexpr int kPattern04[] = {6, 2, 3, 2, 3, 2};
constexpr int kPattern05[] = {6, 4};
constexpr int kPattern06[] = {11, 3, 4, 3};
constexpr int kPattern07[] = {11, 2, 3, 2, 3, 2};
constexpr int kPattern08[] = {10, 7};
constexpr int kPattern09[] = {26, 5, 6, 5};
constexpr int kPattern10[] = {23, 4, 6, 4, 6, 4};

const std::span<const int> kPatterns[] = {kPattern01, kPattern02, kPattern03, kPattern04,
                                          kPattern05, kPattern06, kPattern07, kPattern08,
                                          kPattern09, kPattern10};

// The pattern runs along pixel rows 11 and 12, from x = 2 over 58 pixels.
constexpr int kPatternLeft = 2;
constexpr int kPatternLength = 58;
constexpr int kPatternTopRow = 11;
constexpr int kPatternRows = 2;

constexpr UiColor kBlack{0, 0, 0};
constexpr UiColor kWhite{255, 255, 255};
constexpr UiColor kGreen{0, 220, 0};
constexpr UiColor kGrey{200, 200, 200};
constexpr UiColor kYellow{255, 255, 0};

void DrawLineTypePicture(int slot, DrawingContext& dc) {
    dc.FillRect({0, 0, kLineTypePictureWidth, kLineTypePictureHeight}, kBlack);
    const std::span<const int> pattern = LineTypeDashPattern(slot);
    int x = kPatternLeft;
    const int end = kPatternLeft + kPatternLength;
    for (size_t i = 0; x < end; i = (i + 1) % pattern.size()) {
        const int run = std::min(pattern[i], end - x);
        if (i % 2 == 0) dc.FillRect({x, kPatternTopRow, run, kPatternRows}, kWhite);
        x += pattern[i];
    }
}

// A straight arrow from `from` to `to` with a filled head at `to`.
void DrawArrow(DrawingContext& dc, UiPointF from, UiPointF to) {
    constexpr double kPen = 1.5;
    const UiPointF shaft[] = {from, to};
    dc.Polyline(shaft, kYellow, kPen, false);
    const double angle = std::atan2(to.y - from.y, to.x - from.x);
    constexpr double kHead = 6.0;
    constexpr double kSpread = 0.45;
    const UiPointF head[] = {
        to,
        {to.x - kHead * std::cos(angle - kSpread), to.y - kHead * std::sin(angle - kSpread)},
        {to.x - kHead * std::cos(angle + kSpread), to.y - kHead * std::sin(angle + kSpread)},
    };
    dc.FillPolygon(head, kYellow);
    dc.Polyline(head, kYellow, kPen, true);
}

void DrawDoubleArrow(DrawingContext& dc, UiPointF a, UiPointF b) {
    const UiPointF mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
    DrawArrow(dc, mid, a);
    DrawArrow(dc, mid, b);
}

void DrawInsertPicture(DrawingContext& dc) {
    dc.FillRect({0, 0, kInsertPictureWidth, kInsertPictureHeight}, kBlack);

    // The insert outline: top-left and bottom-right chamfered, top-right rounded,
    // bottom-left square.
    const double left = 30, top = 42, right = 126, bottom = 260;
    const double chamfer = 14, radius = 16;
    std::vector<UiPointF> insert{{left + chamfer, top}};
    // The rounded corner in steps of 7.5 degrees, from the top side down to the right side.
    constexpr int kArcSteps = 12;
    for (int i = 0; i <= kArcSteps; ++i) {
        const double a = std::numbers::pi / 2 * (1 - static_cast<double>(i) / kArcSteps);
        insert.push_back(
            {right - radius + radius * std::cos(a), top + radius - radius * std::sin(a)});
    }
    insert.insert(insert.end(), {{right, bottom - chamfer},
                                 {right - chamfer, bottom},
                                 {left, bottom},
                                 {left, top + chamfer}});
    dc.Polyline(insert, kGreen, 2, true);

    // The part the insert is made around.
    const double pl = 52, pt = 72, pr = 104, pb = 230;
    const UiPointF part[] = {{pl, pt},           {pr, pt},      {pr, pt + 60}, {pr - 14, pt + 60},
                             {pr - 14, pt + 98}, {pr, pt + 98}, {pr, pb},      {pl, pb}};
    dc.Polyline(part, kGrey, 1.5, true);

    // Yellow arrows: the side distances between part and insert, and the four corners.
    const double cx = (pl + pr) / 2, cy = (pt + pb) / 2;
    DrawDoubleArrow(dc, {cx, top + 1}, {cx, pt - 1});
    DrawDoubleArrow(dc, {cx, pb + 1}, {cx, bottom - 1});
    DrawDoubleArrow(dc, {left + 1, cy}, {pl - 1, cy});
    DrawDoubleArrow(dc, {pr + 1, cy}, {right - 1, cy});
    DrawArrow(dc, {6, 10}, {left + chamfer / 2 - 2, top + chamfer / 2 - 2});
    DrawArrow(dc, {150, 10}, {right - radius * 0.29 + 1, top + radius * 0.29 - 1});
    DrawArrow(dc, {6, 292}, {left - 1, bottom + 1});
    DrawArrow(dc, {150, 292}, {right - chamfer / 2 + 2, bottom - chamfer / 2 + 2});
}

}  // namespace

std::span<const int> LineTypeDashPattern(int slot) {
    if (slot < 1 || slot > 10) return {};
    return kPatterns[slot - 1];
}

std::optional<UiSize> PluginBitmapSize(int32_t id) {
    if (id == kInsertPictureBitmap) return UiSize{kInsertPictureWidth, kInsertPictureHeight};
    if (id >= kFirstLineTypeBitmap && id <= kLastLineTypeBitmap)
        return UiSize{kLineTypePictureWidth, kLineTypePictureHeight};
    return std::nullopt;
}

bool DrawPluginBitmap(int32_t id, DrawingContext& dc) {
    if (id == kInsertPictureBitmap) {
        DrawInsertPicture(dc);
        return true;
    }
    if (id >= kFirstLineTypeBitmap && id <= kLastLineTypeBitmap) {
        DrawLineTypePicture(id - kFirstLineTypeBitmap + 1, dc);
        return true;
    }
    return false;
}
