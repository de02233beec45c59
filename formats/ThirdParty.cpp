// The one place the header-only libraries the glTF and picture code use are compiled: the glTF reader
// with the picture decoder and PNG encoder it includes. Built with the rest of the code (and its
// sanitizers), not taken from shared libraries.
#define TINYGLTF_IMPLEMENTATION
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <tiny_gltf.h>
