#pragma once

#include "formats/Palette.h"
#include "model/Profile.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace faceto::cli {

// Everything a command needs: settings, the palette tables as the editor loads them at start-up,
// and where to print.
struct Context {
    Profile& profile;
    const PaletteTables& palette;
    std::ostream& out;
    std::ostream& err;
};

// Each returns the process exit status: 0 when every file succeeded, 1 otherwise.
int info(Context& context, const std::vector<std::string>& files, bool json);
int convert(Context& context, const std::string& input, const std::string& output);
int convertBatch(Context& context, const std::vector<std::string>& inputs, const std::string& extension,
                 const std::string& folder);

} // namespace faceto::cli
