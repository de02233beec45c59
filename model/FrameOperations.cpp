#include "model/FrameOperations.h"

#include "model/CFacetoDoc.h"
#include "model/DerivedData.h"
#include "model/FrameClipboard.h"

#include <algorithm>

namespace faceto {

namespace {

void renameAnimationFrames(CFacetoDoc& document, const Animation& animation) {
    for (size_t p = 0; p < animation.frameIndices.size(); ++p) {
        document.frames[size_t(animation.frameIndices[p])].name = animation.name + std::to_string(p + 1);
    }
}

void makeFirstFrameCurrent(CFacetoDoc& document) {
    const Animation* animation = document.currentAnimation();
    if (animation == nullptr || animation->frameIndices.empty()) {
        document.currentFrameIndex = -1;
        document.setCurrentFrame(-1);
    } else {
        document.currentFrameIndex = animation->frameIndices.front();
        document.setCurrentFrame(animation->frameIndices.front());
    }
}

} // namespace

bool selectAnimationByName(CFacetoDoc& document, std::string_view name) {
    auto& animations = document.animations;
    auto it = std::find_if(animations.begin(), animations.end(),
                           [&](const Animation& a) { return equalsIgnoreCase(a.name, name); });
    if (it == animations.end()) {
        return false;
    }
    document.currentAnimationIndex = int32_t(it - animations.begin());
    makeFirstFrameCurrent(document);
    document.changed(false);
    return true;
}

bool selectFrameByName(CFacetoDoc& document, std::string_view name) {
    auto& frames = document.frames;
    auto it = std::find_if(frames.begin(), frames.end(), [&](const Frame& f) { return equalsIgnoreCase(f.name, name); });
    if (it == frames.end()) {
        return false;
    }
    document.currentFrameIndex = int32_t(it - frames.begin());
    document.setCurrentFrame(document.currentFrameIndex);
    document.changed(false);
    return true;
}

void addAnimation(CFacetoDoc& document, const std::string& name) {
    document.animations.push_back(Animation{name, {}, {}});
    document.currentAnimationIndex = int32_t(document.animations.size()) - 1;
    document.changed(true);
}

void deleteCurrentAnimation(CFacetoDoc& document) {
    const int index = document.currentAnimationIndex;
    if (document.currentAnimation() == nullptr) {
        return;
    }
    while (!document.animations[size_t(index)].frameIndices.empty()) {
        const Animation& animation = document.animations[size_t(index)];
        const std::string name = document.frames[size_t(animation.frameIndices.back())].name;
        const size_t before = animation.frameIndices.size();
        removeFrame(document, index, name);
        if (document.animations[size_t(index)].frameIndices.size() == before) {
            break; // cannot happen: the last entry carries the name searched for
        }
    }
    document.animations.erase(document.animations.begin() + index);
    document.currentAnimationIndex = document.animations.empty() ? -1 : 0;
    makeFirstFrameCurrent(document);
    document.changed(true);
}

bool copyFrame(CFacetoDoc& document, FrameClipboard& clipboard) {
    const Frame* current = document.currentFrame();
    if (current == nullptr) {
        return false;
    }
    clipboard.storeFrame(document, *current);
    return true;
}

void cutFrame(CFacetoDoc& document, FrameClipboard& clipboard, std::string_view selectedName) {
    if (!copyFrame(document, clipboard)) {
        return;
    }
    const Animation* animation = document.currentAnimation();
    if (animation != nullptr && animation->frameIndices.size() > 1) {
        removeFrame(document, document.currentAnimationIndex, selectedName);
    }
    document.changed(false);
}

void removeFrame(CFacetoDoc& document, int animationIndex, std::string_view name) {
    if (animationIndex < 0 || size_t(animationIndex) >= document.animations.size()) {
        return;
    }
    Animation& animation = document.animations[size_t(animationIndex)];
    auto& entries = animation.frameIndices;
    int position = int(entries.size()) - 1;
    while (position >= 0 && !equalsIgnoreCase(document.frames[size_t(entries[size_t(position)])].name, name)) {
        --position;
    }
    if (position < 0) {
        return;
    }
    const int32_t removed = entries[size_t(position)];
    entries.erase(entries.begin() + position);
    document.frames.erase(document.frames.begin() + removed);
    for (Animation& a : document.animations) {
        for (int32_t& f : a.frameIndices) {
            if (f > removed) {
                --f;
            }
        }
    }
    document.currentFrameIndex = -1;
    document.setCurrentFrame(size_t(position) < entries.size() ? entries[size_t(position)] : -1);
    renameAnimationFrames(document, animation);
    document.changed(true);
}

bool insertFrame(CFacetoDoc& document, const FrameClipboard& clipboard, InsertPlace place,
                 std::optional<std::string_view> selectedName) {
    Animation* animation = document.currentAnimation();
    if (animation == nullptr || clipboard.kind() != FrameClipboard::FRAME ||
        clipboard.frame().positions.size() != document.model.vertexInfos.size()) {
        return false;
    }
    const bool after = place == InsertPlace::After;
    int32_t i = 0; // the selected frame's index in the frame list
    int32_t k = 0; // its position in the animation
    if (animation->frameIndices.empty()) {
        i = after ? int32_t(document.frames.size()) - 1 : int32_t(document.frames.size());
        k = after ? -1 : 0;
    } else {
        if (!selectedName) {
            return false;
        }
        auto& entries = animation->frameIndices;
        auto it = std::find_if(entries.begin(), entries.end(), [&](int32_t f) {
            return equalsIgnoreCase(document.frames[size_t(f)].name, *selectedName);
        });
        if (it == entries.end()) {
            return false;
        }
        i = *it;
        k = int32_t(it - entries.begin());
    }
    const int32_t n = after ? i + 1 : i;
    for (Animation& a : document.animations) {
        for (int32_t& f : a.frameIndices) {
            if (after ? f > i : f >= i) {
                ++f;
            }
        }
    }
    document.frames.insert(document.frames.begin() + n, clipboard.frame());
    document.currentFrameIndex = n;
    document.setCurrentFrame(n);
    animation->frameIndices.insert(animation->frameIndices.begin() + (after ? k + 1 : k), n);
    renameAnimationFrames(document, *animation);
    document.changed(true);
    return true;
}

void toggleGroupVisibility(CFacetoDoc& document, int groupIndex) {
    Model& model = document.model;
    if (groupIndex < 0 || size_t(groupIndex) >= model.groups.size()) {
        return;
    }
    Group& group = model.groups[size_t(groupIndex)];
    group.flags ^= GROUP_VISIBLE;
    const bool nowVisible = (group.flags & GROUP_VISIBLE) != 0;
    for (const Triangle& t : model.triangles) {
        if (t.group != groupIndex) {
            continue;
        }
        for (int32_t v : t.v) {
            int32_t& flags = model.vertexInfos[size_t(v)].flags;
            flags = nowVisible ? (flags | VERTEX_VISIBLE) : (flags & ~VERTEX_VISIBLE);
        }
    }
    document.changed(true);
}

} // namespace faceto
