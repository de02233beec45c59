#pragma once

#include <cstdint>
#include <string>

namespace faceto::limits {

// What a reader accepts at most. No real model comes near: Quake and Quake 2 allow 32 skins of a few
// hundred pixels a side, and the largest models have a few thousand vertices in a few hundred frames.
// A file that asks for more is refused ("Error reading file." and which limit it passed) instead of
// making the program allocate what the file does not hold.
constexpr uint64_t MAX_DECODED_BYTES = uint64_t(1) << 30; // skins and frame positions of one model
constexpr int32_t MAX_SKIN_SIDE = 4096;                   // pixels, either side of a skin picture
constexpr int32_t MAX_SKINS = 256;                        // skins of one model, group members counted
constexpr int32_t MAX_HIERARCHY_DEPTH = 4096;             // nodes from a Jedi Knight node up to its root
constexpr double MAX_SAMPLED_FRAMES = 100000; // frames sampled from the animations of one glTF file
constexpr double MAX_SAMPLED_NODES = 1e7;     // frames sampled from a glTF file times its nodes
constexpr int MAX_JSON_DEPTH = 256;           // arrays and objects nested in a glTF file's JSON

// Adds up what a load decodes and says when it passes MAX_DECODED_BYTES.
class DecodeBudget {
public:
    // False (and stays false) once the total passes the limit.
    bool take(uint64_t bytes) {
        used_ += bytes;
        return within();
    }
    bool within() const { return used_ <= MAX_DECODED_BYTES; }
    uint64_t used() const { return used_; }

private:
    uint64_t used_ = 0;
};

inline std::string tooMuchToDecode() {
    return "the model would take more than 1 GiB of memory";
}
inline std::string tooManySkins() {
    return "the model has more than " + std::to_string(MAX_SKINS) + " skins";
}
inline std::string skinTooLarge(int64_t width, int64_t height) {
    return "a skin of " + std::to_string(width) + " x " + std::to_string(height) + " pixels is larger than " +
           std::to_string(MAX_SKIN_SIDE) + " x " + std::to_string(MAX_SKIN_SIDE);
}

} // namespace faceto::limits
