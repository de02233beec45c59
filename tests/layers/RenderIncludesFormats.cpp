// Must not compile with the renderer's include folder: it draws models and knows no file format.
#include "formats/Pcx.h"
#include "render/Rasterizer.h"
