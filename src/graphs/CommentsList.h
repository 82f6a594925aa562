#pragma once
// The "Комментарии" list of a graph window: which recordings the window shows,
// with their file names and comments.

#include "shell/UserInteraction.h"

namespace kalvex {

class TFrmFile;
class TGrWin;

// An accumulating window lists one row per curve in curve order: "S" and the
// snapshot's number, its name and comment. Any other window lists the current
// recording alone, with an empty number.
ListRequest CommentsList(const TGrWin& window, const TFrmFile& recording);

}  // namespace kalvex
