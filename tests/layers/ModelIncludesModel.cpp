// Compiles with the model layer's include folder: the control case of the layer test.
#include "model/Model.h"
