// InsertAnnotations.cpp - the record of the last insert made.
#include "geometry/InsertAnnotations.h"

InsertAnnotations gInsertAnnotations;
