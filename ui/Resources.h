// Resources.h - the plug-in's own bitmaps, looked up by resource id: the insert picture of the
// "Create Insert" dialog and the ten line-type pictures, described once and painted by each
// platform's back end onto a bitmap of its own.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "ui/DialogSurface.h"

inline constexpr int32_t kInsertPictureBitmap = 12003;
inline constexpr int32_t kFirstLineTypeBitmap = 17046;
inline constexpr int32_t kLastLineTypeBitmap = 17055;

inline constexpr int kInsertPictureWidth = 156;
inline constexpr int kInsertPictureHeight = 302;
inline constexpr int kLineTypePictureWidth = 62;
inline constexpr int kLineTypePictureHeight = 23;

// The size of the bitmap of the id; nothing when the plug-in has no such bitmap.
std::optional<UiSize> PluginBitmapSize(int32_t id);
// Paints the bitmap of the id onto a surface of its size; false when there is no such bitmap.
bool DrawPluginBitmap(int32_t id, DrawingContext& dc);

// The dash pattern of line-type picture `slot` (1 to 10): lengths in pixels, dash first, the
// first entry being the dash at the left end; empty for another slot.
std::span<const int> LineTypeDashPattern(int slot);
