#pragma once

#include "document/UndoHistory.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace faceto {

class CFacetoDoc;

// The edits of the Edit menu and of the group and frame menus. Each changes the document through one
// step of its undo history (selection changes are no steps of their own); each does nothing when there
// is nothing to do.

// A triangle is selected when its three vertices are.
std::vector<int32_t> selectedTriangles(const CFacetoDoc& doc);

// Every visible vertex flips its selected state.
void invertSelection(CFacetoDoc& doc);
// Selects exactly these triangles' vertices among the visible ones (`add`: keeps what was selected).
void selectTriangles(CFacetoDoc& doc, const std::vector<int32_t>& triangles, bool add);

// Selected vertices become hidden and unselected ("Hide Selected").
void hideSelected(CFacetoDoc& doc);
// Every vertex and group visible again ("Show All").
void showAll(CFacetoDoc& doc);

// The step that removes the selected triangles and every vertex no remaining triangle uses (from every
// frame), and clears the selection and the marks.
std::unique_ptr<Command> deleteSelectedTriangles(const CFacetoDoc& doc, const std::string& name);
// Reverses the winding of the selected triangles (corners 1 and 2 trade places with their skin
// coordinates), so they face the other way.
void flipSelectedTriangles(CFacetoDoc& doc);
// Copies the selected triangles and their vertices, in every frame; the copies become the selection.
void cloneSelected(CFacetoDoc& doc);

// A new group of the selected triangles, named "group N"; false when no triangle is selected.
bool newGroupFromSelection(CFacetoDoc& doc);
void renameGroup(CFacetoDoc& doc, int group, const std::string& name);
// Removes the group's triangles (and every vertex no remaining triangle uses) and the group itself.
void deleteGroup(CFacetoDoc& doc, int group);

// The shapes of the primitives panel.
enum class Primitive { Triangle, Cube, Cone, Cylinder, Sphere };
// Adds the shape as a new group of selected triangles, the same in every frame, `size` units across
// about `centre`.
void addPrimitive(CFacetoDoc& doc, Primitive shape, const std::array<float, 3>& centre, float size);

} // namespace faceto
