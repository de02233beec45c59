#include "formats/ThreeDoReader.h"

#include "formats/FileIO.h"
#include "model/DerivedData.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <charconv>
#include <limits>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace faceto {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// The number at the start of `text` (an optional sign, then digits; "0x" may lead a base-16 number).
// On success `consumed` moves past it.
bool parseInteger(std::string_view text, int base, long& value, size_t& consumed) {
    size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        negative = text[at] == '-';
        ++at;
    }
    if (base == 16 && text.size() >= at + 2 && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        at += 2;
    }
    unsigned long magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data() + at, text.data() + text.size(), magnitude, base);
    if (end == text.data() + at) {
        return false;
    }
    const unsigned long limit = (unsigned long)std::numeric_limits<long>::max();
    const long clamped = ec == std::errc() && magnitude <= limit ? long(magnitude) : std::numeric_limits<long>::max();
    value = negative ? -clamped : clamped;
    consumed += size_t(end - text.data());
    return true;
}

bool parseReal(std::string_view text, double& value, size_t& consumed) {
    const size_t sign = !text.empty() && text[0] == '+' ? 1 : 0;
    const auto [end, ec] = std::from_chars(text.data() + sign, text.data() + text.size(), value);
    if (end == text.data() + sign) {
        return false;
    }
    if (ec != std::errc() || !std::isfinite(value)) {
        value = 0.0;
    }
    consumed += size_t(end - text.data());
    return true;
}

// The text of the file, read either line by line or as a stream of words and numbers that runs
// across line ends (as the blocks of vertices, faces and nodes are read).
class Text {
public:
    explicit Text(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    size_t size() const { return text_.size(); }

    // The rest of the current line; the position moves past its line end.
    std::string_view nextLine() {
        const size_t end = text_.find('\n', pos_);
        const size_t stop = end == std::string_view::npos ? text_.size() : end;
        std::string_view line = text_.substr(pos_, stop - pos_);
        pos_ = end == std::string_view::npos ? text_.size() : end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return line;
    }

    // The next run of non-space characters; empty at the end of the text.
    std::string_view word() {
        skipSpace();
        const size_t start = pos_;
        while (pos_ < text_.size() && !isSpace(text_[pos_])) {
            ++pos_;
        }
        return text_.substr(start, pos_ - start);
    }

    // Moves past the word "<index>:"; false when the text ends first.
    bool skipTo(int index) {
        char wanted[16];
        const auto [end, ec] = std::to_chars(wanted, wanted + sizeof wanted - 1, index);
        *end = ':';
        const std::string_view target(wanted, size_t(end - wanted) + 1);
        for (std::string_view w = word(); !w.empty(); w = word()) {
            if (w == target) {
                return true;
            }
        }
        return false;
    }

    // Numbers as the blocks hold them; `ok` turns false when one is missing or malformed.
    long integer(int base, bool& ok) {
        skipSpace();
        long value = 0;
        if (!parseInteger(text_.substr(pos_), base, value, pos_)) {
            ok = false;
        }
        return value;
    }
    double real(bool& ok) {
        skipSpace();
        double value = 0;
        if (!parseReal(text_.substr(pos_), value, pos_)) {
            ok = false;
        }
        return value;
    }
    void expect(char c, bool& ok) {
        if (ok && pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
        } else {
            ok = false;
        }
    }

private:
    void skipSpace() {
        while (pos_ < text_.size() && isSpace(text_[pos_])) {
            ++pos_;
        }
    }
    std::string_view text_;
    size_t pos_ = 0;
};

// A word of a vertex or node line as a number; a word that is not one reads as 0.
double numberOf(std::string_view word) {
    double value = 0;
    size_t consumed = 0;
    return parseReal(word, value, consumed) ? value : 0.0;
}

int32_t integerOf(std::string_view word) {
    long value = 0;
    size_t consumed = 0;
    if (!parseInteger(word, 10, value, consumed)) {
        return 0;
    }
    return int32_t(std::clamp<long>(value, long(INT32_MIN), long(INT32_MAX)));
}

// Coordinates are stored in metres; the editor works in thousandths.
float scaled(double value) { return float(value * 1000.0); }

struct ReaderState {
    int selected = 0;
    int currentSet = -1;
    int currentMesh = -1;
    int32_t vertexBase = 0;
    bool geometrySeen = false;
    bool groupsMade = false;
    bool hierarchyRead = false;
};

class Reader {
public:
    Reader(std::string_view text, int geometrySet) : text_(text) { state_.selected = geometrySet; }

    bool run(ModelData& data) {
        while (!text_.atEnd()) {
            std::string_view line = text_.nextLine();
            const size_t hash = line.find('#');
            if (hash != std::string_view::npos && hash > 0) {
                line = line.substr(0, hash);
            }
            while (!line.empty() && isSpace(line.front())) {
                line.remove_prefix(1);
            }
            if (line.empty()) {
                continue;
            }
            size_t wordEnd = 0;
            while (wordEnd < line.size() && !isSpace(line[wordEnd])) {
                ++wordEnd;
            }
            if (!handle(line.substr(0, wordEnd), line.substr(wordEnd), data)) {
                return false;
            }
        }
        return state_.geometrySeen;
    }

private:
    bool inSelectedSet() const { return state_.currentSet == state_.selected; }

    static int valueOf(std::string_view rest) {
        while (!rest.empty() && isSpace(rest.front())) {
            rest.remove_prefix(1);
        }
        return integerOf(rest);
    }

    bool handle(std::string_view word, std::string_view rest, ModelData& data) {
        Model& model = data.model;
        if (word == "SECTION:") {
            return true; // sections are not tracked
        }
        if (equalsIgnoreCase(word, "GEOSETS")) {
            if (!state_.geometrySeen) {
                state_.geometrySeen = true;
                model.triangles.clear();
                model.edges.clear();
                model.vertexInfos.clear();
                data.frames.emplace_back("frame" + std::to_string(state_.selected));
            }
        } else if (equalsIgnoreCase(word, "GEOSET")) {
            state_.currentSet = valueOf(rest);
        } else if (equalsIgnoreCase(word, "MESHES")) {
            if (inSelectedSet()) {
                const int count = valueOf(rest);
                if (count < 0 || size_t(count) > text_.size()) {
                    return false;
                }
                if (!state_.groupsMade) {
                    state_.groupsMade = true;
                    for (int g = 0; g < count; ++g) {
                        Group group;
                        group.name = "group " + std::to_string(g);
                        group.color = 128;
                        group.flags = 0;
                        group.tag = 0;
                        model.groups.push_back(std::move(group));
                    }
                }
            }
        } else if (equalsIgnoreCase(word, "MESH")) {
            if (inSelectedSet()) {
                state_.currentMesh = valueOf(rest);
            }
        } else if (equalsIgnoreCase(word, "NAME")) {
            if (inSelectedSet() && state_.groupsMade && state_.currentMesh >= 0 &&
                size_t(state_.currentMesh) < model.groups.size()) {
                Text value(rest);
                const std::string_view name = value.word();
                if (!name.empty()) {
                    model.groups[size_t(state_.currentMesh)].name = std::string(name);
                }
            }
        } else if (equalsIgnoreCase(word, "VERTICES")) {
            if (inSelectedSet()) {
                if (state_.currentMesh == 0) {
                    state_.vertexBase = 0;
                }
                return readVertices(valueOf(rest), data);
            }
        } else if (equalsIgnoreCase(word, "FACES")) {
            if (inSelectedSet()) {
                return readFaces(valueOf(rest), data);
            }
        } else if (equalsIgnoreCase(word, "HIERARCHY")) {
            if (!state_.hierarchyRead) {
                state_.hierarchyRead = true;
                Text value(rest);
                value.word(); // "NODES"
                return readHierarchy(integerOf(value.word()), data);
            }
        }
        // "TEXTURE", "VERTEX", "FACE" and every other word: nothing to do.
        return true;
    }

    bool readVertices(int count, ModelData& data) {
        if (data.frames.empty() || count < 0) {
            return false;
        }
        Frame& frame = data.frames.front();
        if (size_t(count) <= text_.size()) {
            frame.positions.reserve(frame.positions.size() + size_t(count));
            data.model.vertexInfos.reserve(data.model.vertexInfos.size() + size_t(count));
        }
        for (int i = 0; i < count; ++i) {
            if (!text_.skipTo(i)) {
                return false;
            }
            double c[4];
            for (double& value : c) {
                const std::string_view w = text_.word();
                if (w.empty()) {
                    return false;
                }
                value = numberOf(w);
            }
            VertexInfo info;
            info.reserved[0] = state_.currentMesh;
            data.model.vertexInfos.push_back(info);
            frame.positions.push_back({scaled(c[0]), scaled(c[1]), scaled(c[2])});
        }
        return true;
    }

    bool readFaces(int count, ModelData& data) {
        if (data.frames.empty() || count < 0) {
            return false;
        }
        Model& model = data.model;
        const int mesh = state_.currentMesh;
        if (mesh < 0 || size_t(mesh) >= model.groups.size()) {
            return false; // faces of a mesh that the mesh count did not announce
        }
        const int32_t vertexCount = int32_t(data.frames.front().positions.size());
        if (size_t(count) <= text_.size()) {
            model.triangles.reserve(model.triangles.size() + size_t(count) * 2); // most faces are quads
        }
        std::vector<int32_t> corners;
        for (int i = 0; i < count; ++i) {
            if (!text_.skipTo(i)) {
                return false;
            }
            bool ok = true;
            text_.integer(10, ok); // material
            text_.integer(16, ok); // type
            text_.integer(10, ok); // geometry mode
            text_.integer(10, ok); // lighting mode
            text_.integer(10, ok); // texture mode
            text_.real(ok);        // extra light
            const long k = text_.integer(10, ok);
            if (!ok || k < 0) {
                return false;
            }
            corners.clear();
            for (long c = 0; c < k; ++c) {
                const long vertex = text_.integer(10, ok);
                text_.expect(',', ok);
                text_.integer(10, ok); // texture vertex, not used
                if (!ok || vertex < 0 || vertex >= long(vertexCount) - state_.vertexBase) {
                    return false;
                }
                corners.push_back(int32_t(vertex + state_.vertexBase));
            }
            // The polygon becomes a fan around its first corner, wound the other way round.
            for (size_t j = 2; j < corners.size(); ++j) {
                Triangle t;
                t.v = {corners[0], corners[j], corners[j - 1]};
                t.group = mesh;
                t.color = GROUP_COLORS[size_t(mesh) % GROUP_COLORS.size()];
                model.triangles.push_back(t);
            }
        }
        state_.vertexBase = vertexCount;
        return true;
    }

    bool readHierarchy(int count, ModelData& data) {
        if (count < 0) {
            return false;
        }
        Model& model = data.model;
        std::vector<SkeletonNode> nodes;
        for (int i = 0; i < count; ++i) {
            if (!text_.skipTo(i)) {
                return false;
            }
            std::string_view words[16];
            for (std::string_view& w : words) {
                w = text_.word();
                if (w.empty()) {
                    return false;
                }
            }
            // flags, type, mesh, parent, child, sibling, child count, x y z, pitch yaw roll, pivot x y z
            SkeletonNode node;
            node.mesh = integerOf(words[2]);
            node.parent = integerOf(words[3]);
            for (int k = 0; k < 9; ++k) {
                const double value = numberOf(words[7 + k]);
                const bool isAngle = k >= 3 && k < 6;
                node.block[size_t(k)] = isAngle ? float(value) : scaled(value);
            }
            const std::string_view name = text_.word();
            if (name.empty()) {
                return false;
            }
            node.name = std::string(name);
            for (int d = 0; d < 4; ++d) {
                node.matrix[size_t(d)][size_t(d)] = 1.0f;
            }
            node.size = 10.0f;
            node.flags = 2;
            nodes.push_back(std::move(node));
        }

        // Each node's offset from the model's origin: its ancestors' positions; a parent that is no
        // node, or a loop of parents, makes the file unusable.
        const size_t n = nodes.size();
        std::vector<std::array<float, 3>> ancestors(n, {0, 0, 0});
        for (size_t i = 0; i < n; ++i) {
            size_t steps = 0;
            for (int32_t p = nodes[i].parent; p != -1; p = nodes[size_t(p)].parent) {
                if (p < 0 || size_t(p) >= n || ++steps > n) {
                    return false;
                }
                for (size_t a = 0; a < 3; ++a) {
                    ancestors[i][a] += nodes[size_t(p)].block[a];
                }
            }
            if (nodes[i].parent >= 0) {
                nodes[size_t(nodes[i].parent)].children.push_back(int32_t(i));
            }
        }
        for (size_t i = 0; i < n; ++i) {
            for (VertexInfo& info : model.vertexInfos) {
                if (info.reserved[0] == nodes[i].mesh) {
                    info.reserved[1] = int32_t(i);
                }
            }
        }
        if (n > 0 && !data.frames.empty()) {
            Frame& frame = data.frames.front();
            for (size_t v = 0; v < frame.positions.size(); ++v) {
                const size_t node = size_t(model.vertexInfos[v].reserved[1]);
                for (int a = 0; a < 3; ++a) {
                    frame.positions[v][a] +=
                        nodes[node].block[size_t(a)] + nodes[node].block[size_t(6 + a)] + ancestors[node][size_t(a)];
                }
            }
        }
        // The nodes move into model space too: the first point becomes the joint, the second the pivot.
        for (size_t i = 0; i < n; ++i) {
            for (size_t a = 0; a < 3; ++a) {
                nodes[i].block[a] += ancestors[i][a];
                nodes[i].block[6 + a] += nodes[i].block[a];
            }
        }
        for (SkeletonNode& node : nodes) {
            model.skeletonNodes.push_back(std::move(node));
        }
        return true;
    }

    Text text_;
    ReaderState state_;
};

} // namespace

bool parse3do(std::span<const uint8_t> bytes, ModelData& out, int geometrySet) {
    ModelData data;
    Reader reader(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), geometrySet);
    if (!reader.run(data) || data.frames.empty()) {
        return false;
    }
    out = std::move(data);
    return true;
}

bool read3do(const std::string& path, ModelData& out, int geometrySet) {
    auto bytes = readWholeFile(path);
    return bytes && parse3do(*bytes, out, geometrySet);
}

} // namespace faceto
