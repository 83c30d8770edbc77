// Resources.h - the plug-in's own bitmaps, looked up by resource id: the insert picture of the
// "Create Insert" dialog and the ten line-type pictures.
#pragma once

#include <QImage>
#include <cstdint>
#include <span>

inline constexpr int32_t kInsertPictureBitmap = 12003;
inline constexpr int32_t kFirstLineTypeBitmap = 17046;
inline constexpr int32_t kLastLineTypeBitmap = 17055;

inline constexpr int kInsertPictureWidth = 156;
inline constexpr int kInsertPictureHeight = 302;
inline constexpr int kLineTypePictureWidth = 62;
inline constexpr int kLineTypePictureHeight = 23;

// The bitmap of the id, 24 bits per pixel; a null image when the plug-in has no such bitmap.
// Drawn on first use and kept.
QImage LoadPluginBitmap(int32_t id);

// The dash pattern of line-type picture `slot` (1 to 10): lengths in pixels, dash first, the
// first entry being the dash at the left end; empty for another slot.
std::span<const int> LineTypeDashPattern(int slot);
