// Annotations.h - the annotated insert: the outline of the insert with a leader
// at each corner telling its treatment and a length dimension on each side
// telling its distance, whose ids are recorded for editing.
#pragma once

#include <string>

#include "geometry/FigureList.h"
#include "geometry/InsertAnnotations.h"
#include "geometry/InsertOutline.h"

// The leader text of a corner: "R2.0", "C5.0", "NONE", or empty for an unknown kind.
std::u16string CornerLeaderText(double size, int kind);

// One leader at corner 1 upper-left, 2 upper-right, 3 lower-left, 4 lower-right
// of `insert`, in a comment segment of its own, which is kept in `made`.
// Returns the leader's id, or -1 when the host refuses it.
int CreateCornerLeader(const InsertAnnotations& insert, int corner, CreatedSegments& made);

// One length dimension on side 1 up, 2 down, 3 left, 4 right of `insert`, in a
// dimension segment of its own, which is kept in `made`. Returns the
// dimension's id, or -1 when the host refuses it or its decimals or arrows.
int CreateSideDimension(const InsertAnnotations& insert, int side, CreatedSegments& made);

// The insert of slots 1 to count with its eight annotations, recorded in
// gInsertAnnotations. False for an empty list, when no outline can be made from
// it, or when the host refuses any part: then nothing of it stays in the
// drawing and the record still names the insert made before, untouched.
bool CreateAnnotatedInsert(const FigureList& list, int count);
