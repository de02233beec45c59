// Must not compile with the model layer's include folder: the model knows nothing of file formats.
#include "model/Model.h"
#include "formats/FileIO.h"
