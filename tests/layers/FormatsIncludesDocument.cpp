// Must not compile with the formats layer's include folder: formats know no document.
#include "formats/FileIO.h"
#include "document/CFacetoDoc.h"
