// Must not compile with the formats layer's include folder: formats know no document.
#include "document/CFacetoDoc.h"
#include "formats/FileIO.h"
