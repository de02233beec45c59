#include "views/ViewState.h"

#include "document/CFacetoDoc.h"
#include "formats/PaletteFiles.h"

#include <utility>

namespace faceto {

ViewState::ViewState(const Profile& profile, const CFacetoDoc& doc) {
    const int storedFill = profile.get(settings::FILL_MODE);
    fillModeChosen_ = storedFill >= 0;
    const Model& model = doc.model();
    const bool skinned = !model.skins.empty() && model.skins[0].hasImage();
    fillMode = uint8_t(fillModeChosen_ ? storedFill : skinned ? FILL_TEXTURED : FILL_FLAT);
    backColor = uint8_t(profile.get(settings::BACK_COLOR));
    lightAmbient = profile.get(settings::LIGHT_AMBIENT);
    lightSpot = profile.get(settings::LIGHT_SPOT);
    for (size_t axis = 0; axis < 3; ++axis) {
        locks[axis] = profile.get(settings::LOCKS[axis]);
    }
    frameOnOpen = profile.get(settings::FRAME_ON_OPEN);
    if (doc.source().sourceFormat == SOURCE_MDL) {
        const bool hexen2 = profile.get(settings::MODEL_PALETTE) == "hexen2";
        std::string path = profile.get(hexen2 ? settings::HEXEN2_COLORMAP : settings::QUAKE_COLORMAP);
        path.erase(0, path.find_first_not_of(" \t"));
        path.erase(path.find_last_not_of(" \t") + 1);
        if (path.empty()) {
            path = hexen2 ? "games/hexen2/colormap.lmp" : "games/quake/colormap.lmp";
        }
        PaletteTables tables = PaletteTables::builtIn();
        if (loadColormap(tables, path)) {
            gameColormap = std::make_shared<const std::array<uint8_t, COLORMAP_BYTES>>(tables.colormap);
        }
    }
}

void ViewState::setCameraSettings(Profile& profile, int fill, int background, int ambient, int spot) {
    fillModeChosen_ = fillModeChosen_ || fill != fillMode;
    fillMode = uint8_t(fill);
    backColor = uint8_t(background);
    lightAmbient = ambient;
    lightSpot = spot;
    if (fillModeChosen_) {
        profile.set(settings::FILL_MODE, fillMode);
    }
    profile.set(settings::BACK_COLOR, backColor);
    profile.set(settings::LIGHT_AMBIENT, lightAmbient);
    profile.set(settings::LIGHT_SPOT, lightSpot);
}

int fillModeNamed(std::string_view name) {
    static const std::pair<std::string_view, int> MODES[] = {{"none", FILL_NONE},
                                                             {"wireframe", FILL_WIREFRAME},
                                                             {"vertex", FILL_VERTEX},
                                                             {"flat", FILL_FLAT},
                                                             {"gouraud", FILL_GOURAUD},
                                                             {"textured", FILL_TEXTURED},
                                                             {"textured-shaded", FILL_TEXTURED_SHADED}};
    for (const auto& [n, mode] : MODES) {
        if (n == name) {
            return mode;
        }
    }
    return -1;
}

} // namespace faceto
