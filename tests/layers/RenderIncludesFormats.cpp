// Must not compile with the renderer's include folder: it draws models and knows no file format.
#include "render/Rasterizer.h"
#include "formats/Pcx.h"
