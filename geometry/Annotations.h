// Annotations.h - the annotated insert: the outline of the insert with a leader
// at each corner telling its treatment and a length dimension on each side
// telling its distance, whose ids are recorded for editing.
#pragma once

#include <string>

#include "geometry/FigureList.h"

// The leader text of a corner: "R2.0", "C5.0", "NONE", or empty for an unknown kind.
std::u16string CornerLeaderText(double size, int kind);

// One leader at corner 1 upper-left, 2 upper-right, 3 lower-left, 4 lower-right,
// in a comment segment of its own; returns the host's id.
int CreateCornerLeader(int corner);

// One length dimension on side 1 up, 2 down, 3 left, 4 right, in a dimension
// segment of its own; returns the host's id.
int CreateSideDimension(int side);

// The insert of slots 1 to count with its eight annotations. False, creating
// nothing, for an empty list or when no outline can be made from it.
bool CreateAnnotatedInsert(const FigureList& list, int count);
