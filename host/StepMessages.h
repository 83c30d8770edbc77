// StepMessages.h - the message box texts with which a step of the insert command
// gives up (or, for the hole, goes on without it). The number tells the user's report apart: which
// step could not build the insert.
#pragma once

// Continuous method: one figure, several figures, second corner.
inline constexpr char16_t kCannotCreateInsert[] = u"Insert 형상을 작성할 수 없습니다.";
// Annotated method: one figure or several figures.
inline constexpr char16_t kCannotCreateAnnotated[] = u"Insert 형상을 작성할 수 없습니다.(2)";
// Rebuild after a corner edit.
inline constexpr char16_t kCannotRebuildAfterCorner[] = u"Insert 형상을 작성할 수 없습니다.(3)";
// Rebuild after a side distance edit.
inline constexpr char16_t kCannotRebuildAfterSide[] = u"Insert 형상을 작성할 수 없습니다.(4)";
// The hole of an insert that was made; the run goes on.
inline constexpr char16_t kCannotCreateHole[] = u"Hole 형상을 작성할 수 없습니다.";
// Annotated method: second corner.
inline constexpr char16_t kCannotCreateFromCorners[] = u"Insert 형상을 작성할 수 없습니다.(5)";
