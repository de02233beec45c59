#include "document/ModelProperties.h"

#include "document/CFacetoDoc.h"
#include "document/DocumentEdit.h"
#include "document/UndoHistory.h"
#include "model/Texts.h"

#include <charconv>
#include <memory>

namespace faceto {

namespace {

// Swaps the Quake fields and the stored skin names with the ones it holds.
class ChangeProperties : public Command {
public:
    ChangeProperties(std::optional<QuakeFields> quake, std::vector<std::string> skinNames)
        : Command(FACETO_TEXT("Model Properties")), quake_(std::move(quake)),
          skinNames_(std::move(skinNames)) {}
    void redo(CFacetoDoc& doc) override { swap(doc); }
    void undo(CFacetoDoc& doc) override { swap(doc); }
    ChangeNotice changes() const override { return {change::SKINS}; }
    size_t memoryBytes() const override { return sizeof(*this) + skinNames_.size() * 32; }

private:
    void swap(CFacetoDoc& doc) {
        SourceFields& source = DocumentEdit::source(doc);
        std::swap(source.quake, quake_);
        std::swap(source.storedSkinNames, skinNames_);
    }
    std::optional<QuakeFields> quake_;
    std::vector<std::string> skinNames_;
};

bool isQuake(const CFacetoDoc& doc) {
    const FileFormat* format = doc.fileFormat();
    return (format != nullptr && format->name == "mdl") || doc.source().sourceFormat == SOURCE_MDL;
}

bool isQuake2(const CFacetoDoc& doc) {
    const FileFormat* format = doc.fileFormat();
    return (format != nullptr && format->name == "md2") || doc.source().sourceFormat == SOURCE_MD2;
}

} // namespace

ModelProperties propertiesOf(const CFacetoDoc& doc) {
    ModelProperties p;
    if (const std::optional<QuakeFields>& quake = doc.source().quake) {
        p.eye = quake->eye;
        p.syncType = quake->syncType;
        p.flags = quake->flags;
    }
    p.skinNames = doc.source().storedSkinNames;
    return p;
}

bool setModelProperties(CFacetoDoc& doc, const ModelProperties& properties) {
    if (properties == propertiesOf(doc)) {
        return false;
    }
    QuakeFields quake = doc.source().quake.value_or(QuakeFields{});
    quake.eye = properties.eye;
    quake.syncType = properties.syncType;
    quake.flags = properties.flags;
    doc.run(std::make_unique<ChangeProperties>(std::move(quake), properties.skinNames));
    return true;
}

std::optional<int32_t> parseQuakeFlags(std::string_view text) {
    int32_t number = 0;
    if (const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        error == std::errc() && end == text.data() + text.size()) {
        return number;
    }
    int32_t flags = 0;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        const std::string_view name = text.substr(0, comma);
        size_t bit = 0;
        while (bit < QUAKE_FLAG_NAMES.size() && QUAKE_FLAG_NAMES[bit] != name) {
            ++bit;
        }
        if (bit == QUAKE_FLAG_NAMES.size()) {
            if (!name.empty()) {
                return std::nullopt;
            }
        } else {
            flags |= int32_t(1u << bit);
        }
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return flags;
}

std::vector<std::string> quakeFlagNames(int32_t flags) {
    std::vector<std::string> names;
    for (size_t bit = 0; bit < QUAKE_FLAG_NAMES.size(); ++bit) {
        if ((uint32_t(flags) & (1u << bit)) != 0) {
            names.emplace_back(QUAKE_FLAG_NAMES[bit]);
        }
    }
    if (const uint32_t rest = uint32_t(flags) & ~0xFFu; rest != 0) {
        names.push_back(std::to_string(rest));
    }
    return names;
}

std::vector<std::string> engineLimitNotes(const CFacetoDoc& doc) {
    const Model& model = doc.model();
    const bool quake = isQuake(doc);
    if (!quake && !isQuake2(doc)) {
        return {};
    }
    const char* game = quake ? "Quake" : "Quake 2";
    const int64_t maxVertices = quake ? 1024 : 2048;
    const int64_t maxTriangles = quake ? 2048 : 4096;
    const int64_t maxFrames = quake ? 256 : 512;
    std::vector<std::string> notes;
    auto over = [&](int64_t count, int64_t most, const char* pattern) {
        if (count > most) {
            notes.push_back(localText(pattern, {std::to_string(count), game, std::to_string(most)}));
        }
    };
    over(model.vertexCount(), maxVertices, FACETO_TEXT("%1 vertices: %2 draws at most %3"));
    over(model.triangleCount(), maxTriangles, FACETO_TEXT("%1 triangles: %2 draws at most %3"));
    over(int64_t(doc.frames().size()), maxFrames, FACETO_TEXT("%1 frames: %2 plays at most %3"));
    const int32_t width = model.skins.empty() ? doc.source().skinWidth : model.skins.front().imageWidth;
    const int32_t height = model.skins.empty() ? doc.source().skinHeight : model.skins.front().imageHeight;
    if (quake && width % 4 != 0) {
        notes.push_back(localText(FACETO_TEXT("a skin %1 texels wide: Quake needs a multiple of 4"),
                                  {std::to_string(width)}));
    }
    if (!quake && width > 0 && (width < 64 || height < 64 || width > 512 || height > 512)) {
        notes.push_back(localText(FACETO_TEXT("a %1 x %2 skin: Quake 2 skins are 64 to 512 texels a side"),
                                  {std::to_string(width), std::to_string(height)}));
    }
    return notes;
}

} // namespace faceto
