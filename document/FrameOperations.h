#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace faceto {

struct Model;
struct Frame;

class CFacetoDoc;
class FrameClipboard;

// The frame and animation commands of the project manager panel. Each redraws the document's views
// when it changes something; the panel refreshes itself afterwards.

// The first animation named `name` (ignoring case) becomes current, and its first frame the current
// frame (none when it has no frames). False when no animation has that name.
bool selectAnimationByName(CFacetoDoc& document, std::string_view name);
// Animation `index` becomes current, and its first frame the current frame (none when it has no frames).
bool selectAnimation(CFacetoDoc& document, int index);
// The first frame of the frame list named `name` (ignoring case) becomes current.
bool selectFrameByName(CFacetoDoc& document, std::string_view name);

// Appends an empty animation and makes it current.
void addAnimation(CFacetoDoc& document, const std::string& name);
// Removes every frame of the current animation, then the animation itself; the first remaining
// animation becomes current (with its first frame), or none when no animation is left.
void deleteCurrentAnimation(CFacetoDoc& document);

// Stores the current frame (with the document's mesh) in the clipboard. False without a current frame.
bool copyFrame(CFacetoDoc& document, FrameClipboard& clipboard);
// Stores frame `index` (with the document's mesh) in the clipboard. False for no such frame.
bool copyFrameAt(const CFacetoDoc& document, FrameClipboard& clipboard, int32_t index);
// Copies frame `index`, then removes it from its animation unless it is the animation's only frame;
// the frame that takes its place becomes current. The other frames keep their names.
void cutFrameAt(CFacetoDoc& document, FrameClipboard& clipboard, int32_t index);
// Removes the last frame of animation `animationIndex` named `name`; the frame that takes its place
// in the animation becomes current. The other frames keep their names.
void removeFrame(CFacetoDoc& document, int animationIndex, std::string_view name);

enum class InsertPlace { Before, After };
// Inserts a copy of the clipboard frame before or after the current animation's frame named
// `selectedName` (nothing selected: only possible when the animation has no frames) and makes it
// current; the animation's frames are named after their places (run1, run2... or, where its numbers
// were written with leading zeros, run001, run002...). Refused (false) unless the clipboard holds a frame
// with one position per model vertex.
bool insertFrame(CFacetoDoc& document, const FrameClipboard& clipboard, InsertPlace place,
                 std::optional<std::string_view> selectedName);

// A copy of the current frame after it, in its animation (whose frames are named after their places).
bool newFrameAfterCurrent(CFacetoDoc& document);
// Removes frame `index` from its animation and the frame list.
bool deleteFrameAt(CFacetoDoc& document, int32_t index);
// The clipboard's frame as a new frame after the current one. Empty when done, else why not.
std::string pasteAsNewFrame(CFacetoDoc& document, const FrameClipboard& clipboard);

// Puts the pose of an OBJ file (one written by Export Frame, or edited elsewhere since) into the current
// frame, as one step. Empty when done, else why not (the file cannot be read, or has another number of
// vertices than the model).
std::string importFramePose(CFacetoDoc& document, const std::string& path);

// Renames frame `index`; the animations are made again from the frame names, and the one of the frame
// becomes current. Nothing happens for an empty name or an index outside the frame list.
void renameFrame(CFacetoDoc& document, int32_t index, const std::string& name);

// Moves frame `index` `by` places up (negative) or down the frame list, as one step; the frames of its
// animation are named after their new places. False at either end of the list.
bool moveFrame(CFacetoDoc& document, int32_t index, int by);
// Moves the frames of animation `animationIndex` past those of the animation before it (by < 0) or after
// it in the list, as one step. False when there is none, or when either animation's frames do not lie
// together in the list.
bool moveAnimation(CFacetoDoc& document, int animationIndex, int by);

// The frame after `frame` in its animation; after the animation's last frame its first when `loop` (as
// the engines play), else none.
std::optional<int32_t> nextFrameOf(const CFacetoDoc& document, int32_t frame, bool loop = false);
// Whether frames `a` and `b` belong to one animation.
bool sameAnimation(const CFacetoDoc& document, int32_t a, int32_t b);
// The pose a fraction `t` of the way from `from` to `to`, vertex by vertex (as engines interpolate).
Frame interpolatedFrame(const Frame& from, const Frame& to, float t);
// Makes `count` frames between frame `from` and frame `to`, evenly spaced, after `from` in its animation
// (whose frames are named after their places), as one step. False for no such frames or no count.
bool interpolateFrames(CFacetoDoc& document, int32_t from, int32_t to, int count);

// Which groups show as visible: a group is hidden when every vertex of its triangles is (a group
// without triangles, when its own flag says so).
std::vector<bool> groupsShown(const Model& model);

// Shows or hides group `groupIndex` and the vertices of its triangles: hides it when it shows, shows
// it when it is hidden.
void toggleGroupVisibility(CFacetoDoc& document, int groupIndex);

} // namespace faceto
