// Must not compile with the model layer's include folder: the model knows nothing of file formats.
#include "formats/FileIO.h"
#include "model/Model.h"
