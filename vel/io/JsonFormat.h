// JsonFormat.h - what the writer and the reader of the host's JSON drawing file
// agree on: the name and version a file gives at its top.
#pragma once

namespace vel {

inline constexpr const char* kJsonFormatName = "vel-drawing";
inline constexpr int kJsonFormatVersion = 1;

}  // namespace vel
