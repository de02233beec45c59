#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace faceto {

// The toolbar's and panels' pictures, drawn for this program at start-up (16 x 16 unless stated).
namespace icons {
QIcon make(const QString& name);      // "new", "open", "save", "cut", "copy", "paste", "edit", "movezoom",
                                      // "scale", "rotate", "group", "triangle", "vertex", "skeleton",
                                      // "xlock", "ylock", "zlock", "grids", "camera", "resize", "blank"
QPixmap applicationPicture(int size); // the program's own picture (About box, window icon)
} // namespace icons

} // namespace faceto
