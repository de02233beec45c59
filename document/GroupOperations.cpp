#include "document/GroupOperations.h"

#include "document/CFacetoDoc.h"
#include "document/DocumentEdit.h"
#include "document/UndoHistory.h"
#include "model/Texts.h"

#include <cmath>
#include <memory>

namespace faceto {

namespace {

// The skin or frame groups change as one step: the Quake fields are swapped with the ones it holds. A
// model that came from no Quake file takes the Quake fields from here on.
class ChangeGroups : public Command {
public:
    ChangeGroups(std::string name, bool skins, std::optional<QuakeFields> quake)
        : Command(std::move(name)), skins_(skins), quake_(std::move(quake)) {}
    void redo(CFacetoDoc& doc) override { std::swap(DocumentEdit::source(doc).quake, quake_); }
    void undo(CFacetoDoc& doc) override { std::swap(DocumentEdit::source(doc).quake, quake_); }
    ChangeNotice changes() const override { return {skins_ ? change::SKINS : change::FRAMES}; }
    size_t memoryBytes() const override {
        return sizeof(*this) + (quake_ ? (quake_->skinGroups.size() + quake_->frameGroups.size()) *
                                             (sizeof(QuakeFields::Group) + 16)
                                       : 0);
    }

private:
    bool skins_;
    std::optional<QuakeFields> quake_;
};

std::unique_ptr<Command> changeGroups(const CFacetoDoc& doc, bool skins, QuakeGroups groups,
                                      std::string name) {
    QuakeFields quake = doc.source().quake.value_or(QuakeFields{});
    (skins ? quake.skinGroups : quake.frameGroups) = std::move(groups);
    return std::make_unique<ChangeGroups>(std::move(name), skins, std::move(quake));
}

QuakeGroups entriesOf(const CFacetoDoc& doc, bool skins) {
    const size_t count = skins ? doc.model().skins.size() : doc.frames().size();
    const std::optional<QuakeFields>& quake = doc.source().quake;
    return entriesFor(quake ? (skins ? quake->skinGroups : quake->frameGroups) : QuakeGroups{}, count);
}

bool inGroup(const CFacetoDoc& doc, bool skins, int32_t index) {
    const QuakeGroups groups = entriesOf(doc, skins);
    const std::optional<GroupPlace> place = placeOf(groups, index);
    return place && groups[place->entry].grouped;
}

// Why the run cannot be grouped (empty when it can), told with the words for skins or frames.
std::string groupRefusal(const CFacetoDoc& doc, bool skins, int32_t first,
                         const std::vector<float>& intervals) {
    const size_t count = skins ? doc.model().skins.size() : doc.frames().size();
    if (intervals.size() < 2 || first < 0 || size_t(first) + intervals.size() > count) {
        return skins ? FACETO_TEXT("Choose at least two skins to group.")
                     : FACETO_TEXT("Choose at least two frames to group.");
    }
    if (!validIntervals(intervals)) {
        return FACETO_TEXT("The intervals must be positive, each larger than the one before.");
    }
    if (skins) {
        const Skin& a = doc.model().skins[size_t(first)];
        for (size_t k = 1; k < intervals.size(); ++k) {
            const Skin& b = doc.model().skins[size_t(first) + k];
            if (b.imageWidth != a.imageWidth || b.imageHeight != a.imageHeight) {
                return localText(FACETO_TEXT("Skins of different sizes cannot be grouped: skin %1 is %2 x "
                                             "%3, skin %4 is %5 x %6."),
                                 {std::to_string(first), std::to_string(a.imageWidth),
                                  std::to_string(a.imageHeight), std::to_string(size_t(first) + k),
                                  std::to_string(b.imageWidth), std::to_string(b.imageHeight)});
            }
        }
    }
    return {};
}

std::string group(CFacetoDoc& doc, bool skins, int32_t first, const std::vector<float>& intervals) {
    if (std::string why = groupRefusal(doc, skins, first, intervals); !why.empty()) {
        return why;
    }
    const size_t count = skins ? doc.model().skins.size() : doc.frames().size();
    std::optional<QuakeGroups> after =
        grouped(entriesOf(doc, skins), count, first, int32_t(intervals.size()), intervals);
    if (!after) {
        return skins ? FACETO_TEXT("The skins chosen cut through another group; ungroup it first.")
                     : FACETO_TEXT("The frames chosen cut through another group; ungroup it first.");
    }
    doc.run(changeGroups(doc, skins, std::move(*after),
                         skins ? FACETO_TEXT("Group Skins") : FACETO_TEXT("Group Frames")));
    return {};
}

bool ungroup(CFacetoDoc& doc, bool skins, int32_t index) {
    const size_t count = skins ? doc.model().skins.size() : doc.frames().size();
    std::optional<QuakeGroups> after = ungrouped(entriesOf(doc, skins), count, index);
    if (!after) {
        return false;
    }
    doc.run(changeGroups(doc, skins, std::move(*after),
                         skins ? FACETO_TEXT("Ungroup Skins") : FACETO_TEXT("Ungroup Frames")));
    return true;
}

} // namespace

QuakeGroups skinGroupsOf(const CFacetoDoc& doc) {
    return entriesOf(doc, true);
}

QuakeGroups frameGroupsOf(const CFacetoDoc& doc) {
    return entriesOf(doc, false);
}

bool skinInGroup(const CFacetoDoc& doc, int32_t index) {
    return inGroup(doc, true, index);
}

bool frameInGroup(const CFacetoDoc& doc, int32_t index) {
    return inGroup(doc, false, index);
}

std::string groupSkins(CFacetoDoc& doc, int32_t first, const std::vector<float>& intervals) {
    return group(doc, true, first, intervals);
}

bool ungroupSkins(CFacetoDoc& doc, int32_t skin) {
    return ungroup(doc, true, skin);
}

std::string groupFrames(CFacetoDoc& doc, int32_t first, const std::vector<float>& intervals) {
    return group(doc, false, first, intervals);
}

bool ungroupFrames(CFacetoDoc& doc, int32_t frame) {
    return ungroup(doc, false, frame);
}

int32_t playedSkin(const CFacetoDoc& doc) {
    return skinShownAt(doc, doc.skinPlayTime());
}

int32_t skinShownAt(const CFacetoDoc& doc, double seconds) {
    const int32_t current = doc.currentSkin();
    if (seconds < 0.0) {
        return current;
    }
    const QuakeGroups groups = skinGroupsOf(doc);
    const std::optional<GroupPlace> place = placeOf(groups, current);
    if (!place || !groups[place->entry].grouped) {
        return current;
    }
    return place->first + memberAt(groups[place->entry], seconds);
}

double nextSkinChange(const CFacetoDoc& doc, double seconds) {
    const QuakeGroups groups = skinGroupsOf(doc);
    const std::optional<GroupPlace> place = placeOf(groups, doc.currentSkin());
    if (!place || !groups[place->entry].grouped || groups[place->entry].intervals.empty()) {
        return -1.0;
    }
    const QuakeFields::Group& g = groups[place->entry];
    const double whole = g.intervals.back();
    if (!(whole > 0.0)) {
        return -1.0;
    }
    const double round = std::floor(seconds / whole) * whole;
    for (float end : g.intervals) {
        if (round + double(end) > seconds) {
            return round + double(end);
        }
    }
    return round + whole + double(g.intervals.front());
}

std::optional<double> frameDuration(const CFacetoDoc& doc, int32_t frame) {
    const QuakeGroups groups = frameGroupsOf(doc);
    const std::optional<GroupPlace> place = placeOf(groups, frame);
    if (!place || !groups[place->entry].grouped) {
        return std::nullopt;
    }
    return memberDuration(groups[place->entry], place->member);
}

} // namespace faceto
