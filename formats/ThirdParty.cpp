// The one place the header-only libraries the glTF and picture code use are compiled: the glTF reader
// with the picture decoder and PNG encoder it includes. Built with the rest of the code (and its
// sanitizers), not taken from shared libraries.
#define TINYGLTF_IMPLEMENTATION
#define STB_IMAGE_IMPLEMENTATION
// Only the picture formats skins come in: the decoder's other readers (PNM, PSD, HDR, GIF, PIC) are
// left out, with what they would bring of their own faults.
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <tiny_gltf.h>
