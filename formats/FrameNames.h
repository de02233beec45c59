#pragma once

#include "model/Model.h"

#include <string>
#include <vector>

namespace faceto {

// The frame names as a format whose names hold at most `limit` characters stores them, and one line
// for the user when some had to be shortened (empty otherwise). Names that fit are kept. An
// animation's frames whose names do not all fit keep their numbers and share a shortened animation
// name that differs from every other animation's (with "~" and letters, never digits, where cutting
// alone would make two alike), so they are one animation again when the file is read; names without
// a number are cut and kept apart the same way.
struct FittedNames {
    std::vector<std::string> names;
    std::string notice;
};
FittedNames fitFrameNames(const std::vector<Frame>& frames, size_t limit);

} // namespace faceto
