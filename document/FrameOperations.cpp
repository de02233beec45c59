#include "document/FrameOperations.h"

#include "document/CFacetoDoc.h"
#include "document/EditCommands.h"
#include "document/FrameClipboard.h"
#include "formats/FileIO.h"
#include "formats/Obj.h"
#include "model/DerivedData.h"
#include "model/Texts.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

namespace faceto {

namespace {

// The digits of the number a frame name ends in that start with a zero ("run007": 3), else 0.
size_t paddedDigits(const std::string& name) {
    size_t digits = 0;
    while (digits < name.size() && std::isdigit(static_cast<unsigned char>(name[name.size() - 1 - digits]))) {
        ++digits;
    }
    return digits > 1 && name[name.size() - digits] == '0' ? digits : 0;
}

// Names the animation's frames after their places (run1, run2...), as wide as the animation's numbers
// were written (run001, run002...).
void renameAnimationFrames(FrameListEdit& edit, const Animation& animation) {
    size_t width = 0;
    for (int32_t f : animation.frameIndices) {
        width = std::max(width, paddedDigits(edit.slots[size_t(f)].name));
    }
    for (size_t p = 0; p < animation.frameIndices.size(); ++p) {
        std::string number = std::to_string(p + 1);
        number.insert(0, width > number.size() ? width - number.size() : 0, '0');
        edit.slots[size_t(animation.frameIndices[p])].name = animation.name + number;
    }
}

void makeFirstFrameCurrent(CFacetoDoc& document) {
    const Animation* animation = document.currentAnimation();
    if (animation == nullptr || animation->frameIndices.empty()) {
        document.setCurrentFrameIndex(-1);
        document.setCurrentFrame(-1);
    } else {
        document.setCurrentFrameIndex(animation->frameIndices.front());
        document.setCurrentFrame(animation->frameIndices.front());
    }
}

void insertInto(FrameListEdit& edit, const Frame& frame, int32_t n, int32_t k, int32_t from);

// Removes entry `position` of animation `animationIndex` from the edit: its frame leaves the list and the
// frame that takes its place becomes current. The other frames keep their names.
void removeEntry(FrameListEdit& edit, int animationIndex, int position) {
    Animation& animation = edit.animations[size_t(animationIndex)];
    auto& entries = animation.frameIndices;
    const int32_t removed = entries[size_t(position)];
    entries.erase(entries.begin() + position);
    edit.slots.erase(edit.slots.begin() + removed);
    for (Animation& a : edit.animations) {
        for (int32_t& f : a.frameIndices) {
            if (f > removed) {
                --f;
            }
        }
    }
    edit.currentFrameIndex = -1;
    edit.currentFrame = size_t(position) < entries.size() ? entries[size_t(position)] : -1;
}

// Removes the last frame of animation `animationIndex` named `name` from the edit. False when there is
// none of that name.
bool removeFrameFrom(FrameListEdit& edit, int animationIndex, std::string_view name) {
    if (animationIndex < 0 || size_t(animationIndex) >= edit.animations.size()) {
        return false;
    }
    const auto& entries = edit.animations[size_t(animationIndex)].frameIndices;
    int position = int(entries.size()) - 1;
    while (position >= 0 && !equalsIgnoreCase(edit.slots[size_t(entries[size_t(position)])].name, name)) {
        --position;
    }
    if (position < 0) {
        return false;
    }
    removeEntry(edit, animationIndex, position);
    return true;
}

// The animation holding frame `frame` (the current one when it does), and the frame's place in it.
std::optional<std::pair<int, int>> placeOf(const CFacetoDoc& document, int32_t frame) {
    std::optional<std::pair<int, int>> found;
    for (size_t a = 0; a < document.animations().size(); ++a) {
        const auto& entries = document.animations()[a].frameIndices;
        const auto it = std::find(entries.begin(), entries.end(), frame);
        if (it != entries.end() && (!found || int(a) == document.currentAnimationIndex())) {
            found = std::pair{int(a), int(it - entries.begin())};
        }
    }
    return found;
}

// Puts `frame` into the frame's animation right after frame `after`; false when no animation holds it.
bool insertAfterFrame(CFacetoDoc& document, const Frame& frame, int32_t after, const std::string& name) {
    const auto place = placeOf(document, after);
    if (!place) {
        return false;
    }
    FrameListEdit edit(document);
    edit.currentAnimationIndex = place->first;
    insertInto(edit, frame, after + 1, place->second + 1, after + 1);
    document.run(std::move(edit).finish(name));
    return true;
}

// Puts `frame` into the current animation after (or before) entry `k`, at frame index `n`, shifting the
// indices from `from` on; it becomes current and the animation's frames are renamed after it.
void insertInto(FrameListEdit& edit, const Frame& frame, int32_t n, int32_t k, int32_t from) {
    Animation& animation = edit.animations[size_t(edit.currentAnimationIndex)];
    for (Animation& a : edit.animations) {
        for (int32_t& f : a.frameIndices) {
            if (f >= from) {
                ++f;
            }
        }
    }
    edit.slots.insert(edit.slots.begin() + n,
                      FrameListEdit::Slot{-1, frame.name, std::make_shared<Frame>(frame)});
    edit.currentFrameIndex = n;
    edit.currentFrame = n;
    animation.frameIndices.insert(animation.frameIndices.begin() + k, n);
    renameAnimationFrames(edit, animation);
}

} // namespace

bool selectAnimationByName(CFacetoDoc& document, std::string_view name) {
    auto& animations = document.animations();
    auto it = std::find_if(animations.begin(), animations.end(),
                           [&](const Animation& a) { return equalsIgnoreCase(a.name, name); });
    return it != animations.end() && selectAnimation(document, int(it - animations.begin()));
}

bool selectAnimation(CFacetoDoc& document, int index) {
    if (index < 0 || size_t(index) >= document.animations().size()) {
        return false;
    }
    document.setCurrentAnimationIndex(index);
    makeFirstFrameCurrent(document);
    document.changed({change::FRAMES});
    return true;
}

bool selectFrameByName(CFacetoDoc& document, std::string_view name) {
    auto& frames = document.frames();
    auto it = std::find_if(frames.begin(), frames.end(),
                           [&](const Frame& f) { return equalsIgnoreCase(f.name, name); });
    if (it == frames.end()) {
        return false;
    }
    document.setCurrentFrameIndex(int32_t(it - frames.begin()));
    document.setCurrentFrame(document.currentFrameIndex());
    document.changed({change::FRAMES});
    return true;
}

void addAnimation(CFacetoDoc& document, const std::string& name) {
    FrameListEdit edit(document);
    edit.animations.push_back(Animation{name, {}, {}});
    edit.currentAnimationIndex = int32_t(edit.animations.size()) - 1;
    document.run(std::move(edit).finish(FACETO_TEXT("Add Animation")));
}

void deleteCurrentAnimation(CFacetoDoc& document) {
    const int index = document.currentAnimationIndex();
    if (document.currentAnimation() == nullptr) {
        return;
    }
    FrameListEdit edit(document);
    while (!edit.animations[size_t(index)].frameIndices.empty()) {
        const Animation& animation = edit.animations[size_t(index)];
        const std::string name = edit.slots[size_t(animation.frameIndices.back())].name;
        if (!removeFrameFrom(edit, index, name)) {
            break; // cannot happen: the last entry carries the name searched for
        }
    }
    edit.animations.erase(edit.animations.begin() + index);
    edit.currentAnimationIndex = edit.animations.empty() ? -1 : 0;
    const Animation* first = edit.animations.empty() ? nullptr : &edit.animations.front();
    edit.currentFrameIndex = first && !first->frameIndices.empty() ? first->frameIndices.front() : -1;
    edit.currentFrame = edit.currentFrameIndex;
    document.run(std::move(edit).finish(FACETO_TEXT("Delete Animation")));
}

bool copyFrame(CFacetoDoc& document, FrameClipboard& clipboard) {
    return copyFrameAt(document, clipboard, document.currentFramePosition());
}

bool copyFrameAt(const CFacetoDoc& document, FrameClipboard& clipboard, int32_t index) {
    if (index < 0 || size_t(index) >= document.frames().size()) {
        return false;
    }
    clipboard.storeFrame(document, document.frames()[size_t(index)]);
    return true;
}

void cutFrameAt(CFacetoDoc& document, FrameClipboard& clipboard, int32_t index) {
    if (!copyFrameAt(document, clipboard, index)) {
        return;
    }
    const auto place = placeOf(document, index);
    if (!place || document.animations()[size_t(place->first)].frameIndices.size() < 2) {
        return; // the only frame of its animation is copied, not removed
    }
    FrameListEdit edit(document);
    removeEntry(edit, place->first, place->second);
    document.run(std::move(edit).finish(FACETO_TEXT("Cut Frame")));
}

void removeFrame(CFacetoDoc& document, int animationIndex, std::string_view name) {
    FrameListEdit edit(document);
    if (removeFrameFrom(edit, animationIndex, name)) {
        document.run(std::move(edit).finish(FACETO_TEXT("Delete Frame")));
    }
}

bool insertFrame(CFacetoDoc& document, const FrameClipboard& clipboard, InsertPlace place,
                 std::optional<std::string_view> selectedName) {
    const Animation* animation = document.currentAnimation();
    if (animation == nullptr || clipboard.kind() != FrameClipboard::FRAME ||
        clipboard.frame().positions.size() != document.model().vertexInfos.size()) {
        return false;
    }
    const bool after = place == InsertPlace::After;
    int32_t i = 0; // the selected frame's index in the frame list
    int32_t k = 0; // its position in the animation
    if (animation->frameIndices.empty()) {
        i = after ? int32_t(document.frames().size()) - 1 : int32_t(document.frames().size());
        k = after ? -1 : 0;
    } else {
        if (!selectedName) {
            return false;
        }
        const auto& entries = animation->frameIndices;
        auto it = std::find_if(entries.begin(), entries.end(), [&](int32_t f) {
            return equalsIgnoreCase(document.frames()[size_t(f)].name, *selectedName);
        });
        if (it == entries.end()) {
            return false;
        }
        i = *it;
        k = int32_t(it - entries.begin());
    }
    FrameListEdit edit(document);
    insertInto(edit, clipboard.frame(), after ? i + 1 : i, after ? k + 1 : k, after ? i + 1 : i);
    document.run(std::move(edit).finish(FACETO_TEXT("Insert Frame")));
    return true;
}

bool newFrameAfterCurrent(CFacetoDoc& document) {
    const Frame* current = document.currentFrame();
    return current != nullptr &&
           insertAfterFrame(document, *current, document.currentFramePosition(), FACETO_TEXT("New Frame"));
}

bool deleteFrameAt(CFacetoDoc& document, int32_t index) {
    const auto place = placeOf(document, index);
    if (!place) {
        return false;
    }
    FrameListEdit edit(document);
    removeEntry(edit, place->first, place->second);
    document.run(std::move(edit).finish(FACETO_TEXT("Delete Frame")));
    return true;
}

std::string pasteAsNewFrame(CFacetoDoc& document, const FrameClipboard& clipboard) {
    if (clipboard.kind() != FrameClipboard::FRAME) {
        return FACETO_TEXT("The clipboard holds no frame: copy one in the frame list first.");
    }
    const size_t held = clipboard.frame().positions.size();
    const size_t wanted = document.model().vertexInfos.size();
    if (held != wanted) {
        return "The frame on the clipboard has " + std::to_string(held) + " vertices; this model has " +
               std::to_string(wanted) + ".";
    }
    if (document.currentFrame() == nullptr ||
        !insertAfterFrame(document, clipboard.frame(), document.currentFramePosition(),
                          FACETO_TEXT("Paste as New Frame"))) {
        return FACETO_TEXT("Choose the frame to paste after in the frame list first.");
    }
    return {};
}

std::string importFramePose(CFacetoDoc& document, const std::string& path) {
    if (document.currentFrame() == nullptr) {
        return FACETO_TEXT("Choose the frame to put the pose into first.");
    }
    Result<ByteBuffer> bytes = readFile(path);
    if (!bytes) {
        return FACETO_TEXT("The pose could not be read.") + std::string("\n") + path + ": " + bytes.error();
    }
    Result<std::vector<FrameVertex>> positions = readObjPositions(*bytes);
    if (!positions) {
        return FACETO_TEXT("The pose could not be read.") + std::string("\n") + path + ": " +
               positions.error();
    }
    const size_t wanted = document.model().vertexInfos.size();
    if (positions->size() != wanted) {
        return "The pose has " + std::to_string(positions->size()) + " vertices; this model has " +
               std::to_string(wanted) + ".\n" + path +
               ": a pose comes back onto the model it was exported from, its vertices in the same order.";
    }
    std::vector<int32_t> vertices(wanted);
    for (size_t v = 0; v < wanted; ++v) {
        vertices[v] = int32_t(v);
    }
    document.run(std::make_unique<ChangePositions>(document, FACETO_TEXT("Import Frame"),
                                                   document.currentFramePosition(), std::move(vertices),
                                                   std::move(*positions)));
    return {};
}

void renameFrame(CFacetoDoc& document, int32_t index, const std::string& name) {
    if (index < 0 || size_t(index) >= document.frames().size() || name.empty() ||
        document.frames()[size_t(index)].name == name) {
        return;
    }
    FrameListEdit edit(document);
    edit.slots[size_t(index)].name = name;
    std::vector<std::string> names;
    for (const FrameListEdit::Slot& slot : edit.slots) {
        names.push_back(slot.name);
    }
    edit.animations = buildAnimations(names);
    for (size_t a = 0; a < edit.animations.size(); ++a) {
        const auto& entries = edit.animations[a].frameIndices;
        if (std::find(entries.begin(), entries.end(), index) != entries.end()) {
            edit.currentAnimationIndex = int32_t(a);
        }
    }
    edit.currentFrameIndex = index;
    edit.currentFrame = index;
    document.run(std::move(edit).finish(FACETO_TEXT("Rename Frame")));
}

std::vector<bool> groupsShown(const Model& model) {
    std::vector<bool> used(model.groups.size(), false);
    std::vector<bool> shown(model.groups.size(), false);
    for (const Triangle& t : model.triangles) {
        if (t.group < 0 || size_t(t.group) >= model.groups.size()) {
            continue;
        }
        used[size_t(t.group)] = true;
        for (int32_t v : t.v) {
            if (model.vertexInfos[size_t(v)].visible()) {
                shown[size_t(t.group)] = true;
            }
        }
    }
    for (size_t g = 0; g < shown.size(); ++g) {
        if (!used[g]) {
            shown[g] = (model.groups[g].flags & GROUP_VISIBLE) != 0;
        }
    }
    return shown;
}

void toggleGroupVisibility(CFacetoDoc& document, int groupIndex) {
    const Model& model = document.model();
    if (groupIndex < 0 || size_t(groupIndex) >= model.groups.size()) {
        return;
    }
    MeshEdit edit(document);
    std::vector<Group> groups = model.groups;
    const bool nowVisible = !groupsShown(model)[size_t(groupIndex)];
    Group& group = groups[size_t(groupIndex)];
    group.flags = nowVisible ? (group.flags | GROUP_VISIBLE) : (group.flags & ~GROUP_VISIBLE);
    std::vector<int32_t> flags(model.vertexInfos.size(), 0);
    std::vector<bool> touched(model.vertexInfos.size(), false);
    for (const Triangle& t : model.triangles) {
        if (t.group != groupIndex) {
            continue;
        }
        for (int32_t v : t.v) {
            const int32_t old = model.vertexInfos[size_t(v)].flags;
            flags[size_t(v)] = nowVisible ? (old | VERTEX_VISIBLE) : (old & ~VERTEX_VISIBLE);
            touched[size_t(v)] = true;
        }
    }
    for (size_t v = 0; v < touched.size(); ++v) {
        if (touched[v]) {
            edit.setFlags(int32_t(v), flags[v]);
        }
    }
    edit.setGroups(std::move(groups));
    document.run(std::move(edit).finish(nowVisible ? FACETO_TEXT("Show Group") : FACETO_TEXT("Hide Group")));
}

namespace {

// Puts the edit's frames in the order `order` (order[new place] = old place): the animations follow their
// frames, each in the order of the list, named after their places, and listed in the order of their
// first frames.
void reorder(FrameListEdit& edit, const std::vector<int32_t>& order) {
    std::vector<FrameListEdit::Slot> slots;
    slots.reserve(order.size());
    std::vector<int32_t> newPlace(order.size());
    for (size_t p = 0; p < order.size(); ++p) {
        slots.push_back(std::move(edit.slots[size_t(order[p])]));
        newPlace[size_t(order[p])] = int32_t(p);
    }
    edit.slots = std::move(slots);
    const Animation* current = size_t(edit.currentAnimationIndex) < edit.animations.size()
                                   ? &edit.animations[size_t(edit.currentAnimationIndex)]
                                   : nullptr;
    const std::string currentName = current ? current->name : std::string();
    for (Animation& a : edit.animations) {
        for (int32_t& f : a.frameIndices) {
            f = newPlace[size_t(f)];
        }
        // An animation plays its frames in the order of the list now: where that is another order, its
        // frames take the numbers of their new places.
        if (!std::is_sorted(a.frameIndices.begin(), a.frameIndices.end())) {
            std::sort(a.frameIndices.begin(), a.frameIndices.end());
            renameAnimationFrames(edit, a);
        }
    }
    std::stable_sort(edit.animations.begin(), edit.animations.end(),
                     [](const Animation& a, const Animation& b) {
                         const int32_t fa = a.frameIndices.empty() ? INT32_MAX : a.frameIndices.front();
                         const int32_t fb = b.frameIndices.empty() ? INT32_MAX : b.frameIndices.front();
                         return fa < fb;
                     });
    for (size_t a = 0; a < edit.animations.size(); ++a) {
        if (edit.animations[a].name == currentName) {
            edit.currentAnimationIndex = int32_t(a);
        }
    }
    if (edit.currentFrame >= 0) {
        edit.currentFrame = newPlace[size_t(edit.currentFrame)];
    }
    if (edit.currentFrameIndex >= 0 && size_t(edit.currentFrameIndex) < newPlace.size()) {
        edit.currentFrameIndex = newPlace[size_t(edit.currentFrameIndex)];
    }
}

std::vector<int32_t> identityOrder(size_t count) {
    std::vector<int32_t> order(count);
    for (size_t i = 0; i < count; ++i) {
        order[i] = int32_t(i);
    }
    return order;
}

// The frames of animation `a` when they lie together in the list: its first and one past its last.
std::optional<std::pair<int32_t, int32_t>> blockOf(const Animation& a) {
    if (a.frameIndices.empty()) {
        return std::nullopt;
    }
    std::vector<int32_t> sorted = a.frameIndices;
    std::sort(sorted.begin(), sorted.end());
    if (sorted.back() - sorted.front() + 1 != int32_t(sorted.size())) {
        return std::nullopt;
    }
    return std::pair{sorted.front(), sorted.back() + 1};
}

} // namespace

bool moveFrame(CFacetoDoc& document, int32_t index, int by) {
    const int32_t count = int32_t(document.frames().size());
    const int32_t to = index + by;
    if (index < 0 || index >= count || to < 0 || to >= count || by == 0) {
        return false;
    }
    FrameListEdit edit(document);
    std::vector<int32_t> order = identityOrder(size_t(count));
    order.erase(order.begin() + index);
    order.insert(order.begin() + to, index);
    edit.currentFrame = index;
    edit.currentFrameIndex = index;
    reorder(edit, order);
    document.run(std::move(edit).finish(FACETO_TEXT("Move Frame")));
    return true;
}

bool moveAnimation(CFacetoDoc& document, int animationIndex, int by) {
    const auto& animations = document.animations();
    const int neighbour = animationIndex + (by < 0 ? -1 : 1);
    if (animationIndex < 0 || size_t(animationIndex) >= animations.size() || neighbour < 0 ||
        size_t(neighbour) >= animations.size()) {
        return false;
    }
    const auto moved = blockOf(animations[size_t(animationIndex)]);
    const auto other = blockOf(animations[size_t(neighbour)]);
    if (!moved || !other) {
        return false; // an animation whose frames are spread over the list is moved frame by frame
    }
    const auto& first = by < 0 ? *other : *moved; // the block that comes first now
    const auto& second = by < 0 ? *moved : *other;
    if (first.second != second.first) {
        return false;
    }
    std::vector<int32_t> order = identityOrder(document.frames().size());
    std::rotate(order.begin() + first.first, order.begin() + second.first, order.begin() + second.second);
    FrameListEdit edit(document);
    edit.currentAnimationIndex = animationIndex;
    reorder(edit, order);
    document.run(std::move(edit).finish(FACETO_TEXT("Move Animation")));
    return true;
}

std::optional<int32_t> nextFrameOf(const CFacetoDoc& document, int32_t frame, bool loop) {
    const auto place = placeOf(document, frame);
    if (!place) {
        return std::nullopt;
    }
    const auto& entries = document.animations()[size_t(place->first)].frameIndices;
    if (size_t(place->second) + 1 < entries.size()) {
        return entries[size_t(place->second) + 1];
    }
    return loop ? std::optional<int32_t>(entries.front()) : std::nullopt;
}

bool sameAnimation(const CFacetoDoc& document, int32_t a, int32_t b) {
    for (const Animation& animation : document.animations()) {
        const auto& f = animation.frameIndices;
        if (std::find(f.begin(), f.end(), a) != f.end()) {
            return std::find(f.begin(), f.end(), b) != f.end();
        }
    }
    return false;
}

Frame interpolatedFrame(const Frame& from, const Frame& to, float t) {
    Frame out(from.name);
    out.positions.resize(from.positions.size());
    for (size_t v = 0; v < from.positions.size(); ++v) {
        const FrameVertex& a = from.positions[v];
        const FrameVertex& b = v < to.positions.size() ? to.positions[v] : a;
        out.positions[v] = {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
    }
    return out;
}

bool interpolateFrames(CFacetoDoc& document, int32_t from, int32_t to, int count) {
    const auto& frames = document.frames();
    const auto place = placeOf(document, from);
    if (count < 1 || from == to || !place || from < 0 || to < 0 || size_t(from) >= frames.size() ||
        size_t(to) >= frames.size()) {
        return false;
    }
    FrameListEdit edit(document);
    edit.currentAnimationIndex = place->first;
    for (int i = 1; i <= count; ++i) {
        const float t = float(i) / float(count + 1);
        insertInto(edit, interpolatedFrame(frames[size_t(from)], frames[size_t(to)], t), from + i,
                   place->second + i, from + i);
    }
    edit.currentFrame = from + 1;
    edit.currentFrameIndex = from + 1;
    document.run(std::move(edit).finish(FACETO_TEXT("Interpolate Frames")));
    return true;
}

} // namespace faceto
