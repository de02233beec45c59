#include "formats/ThreeDoReader.h"

#include "formats/Limits.h"
#include "model/DerivedData.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace faceto {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The number at the start of `text` (an optional sign, then digits; "0x" may lead a base-16 number).
// On success `consumed` moves past it.
bool parseInteger(std::string_view text, int base, long& value, size_t& consumed) {
    size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        negative = text[at] == '-';
        ++at;
    }
    if (base == 16 && text.size() >= at + 2 && text[at] == '0' &&
        (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        at += 2;
    }
    unsigned long magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data() + at, text.data() + text.size(), magnitude, base);
    if (end == text.data() + at) {
        return false;
    }
    const unsigned long limit = static_cast<unsigned long>(std::numeric_limits<long>::max());
    const long clamped =
        ec == std::errc() && magnitude <= limit ? long(magnitude) : std::numeric_limits<long>::max();
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
    size_t remaining() const { return pos_ < text_.size() ? text_.size() - pos_ : 0; }

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
float scaled(double value) {
    return float(value * 1000.0);
}

// The fewest bytes of text that describe one mesh, one vertex or one face: the storage reserved for a
// count is never more than the rest of the text could fill.
constexpr uint64_t MIN_MESH_TEXT = 16;
constexpr uint64_t MIN_ITEM_TEXT = 8;

size_t reservable(int count, size_t remaining) {
    return std::min<size_t>(size_t(count), remaining / MIN_ITEM_TEXT);
}

struct ReaderState {
    int selected = 0;
    int currentSet = -1;
    int currentMesh = -1;
    int32_t vertexBase = 0;
    bool geometrySeen = false;
    bool groupsMade = false;
    bool hierarchyRead = false;
    int meshesAnnounced = 0;   // of the geometry set read
    int meshesWithFaces = 0;   // of those, the meshes whose faces were read
    bool pastGeometry = false; // a section after the meshes began
};

class Reader {
public:
    Reader(std::string_view text, int geometrySet) : text_(text) { state_.selected = geometrySet; }

    // Nothing when the whole text was read, else why it could not be.
    std::optional<std::string> run(ModelData& data) {
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
                return error_.empty() ? std::string("a block ends before the file announces") : error_;
            }
        }
        if (!state_.geometrySeen) {
            return std::string("the file has no geometry");
        }
        // Every mesh ends with its faces: a file that stops before them, with nothing after, was cut short.
        if (state_.meshesWithFaces < state_.meshesAnnounced && !state_.pastGeometry) {
            return "the file ends before the faces of mesh " + std::to_string(state_.meshesWithFaces) +
                   " of " + std::to_string(state_.meshesAnnounced);
        }
        return std::nullopt;
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
        if (word == "SECTION:" || equalsIgnoreCase(word, "HIERARCHY")) {
            state_.pastGeometry = state_.pastGeometry || state_.geometrySeen;
        }
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
                // A mesh takes a dozen lines of text: a count the rest of the file cannot hold is refused
                // before a group is made for each.
                if (count < 0 || uint64_t(count) * MIN_MESH_TEXT > text_.remaining()) {
                    error_ = "the file announces more meshes than it holds";
                    return false;
                }
                if (!state_.groupsMade) {
                    state_.groupsMade = true;
                    state_.meshesAnnounced = count;
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
                ++state_.meshesWithFaces;
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
        frame.positions.reserve(frame.positions.size() + reservable(count, text_.remaining()));
        data.model.vertexInfos.reserve(data.model.vertexInfos.size() + reservable(count, text_.remaining()));
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
        model.triangles.reserve(model.triangles.size() + reservable(count, text_.remaining()));
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

    // One node line: flags, type, mesh, parent, child, sibling, child count, x y z, pitch yaw roll,
    // pivot x y z, name.
    bool readNode(int index, std::vector<SkeletonNode>& nodes) {
        if (!text_.skipTo(index)) {
            return false;
        }
        std::string_view words[16];
        for (std::string_view& w : words) {
            w = text_.word();
            if (w.empty()) {
                return false;
            }
        }
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
        return true;
    }

    // A parent that is no node, a loop of parents, or a chain deeper than any model has makes the file
    // unusable. Gives each node's ancestors' positions, summed walking up from its parent, and lists the
    // children of each node.
    std::optional<std::vector<std::array<float, 3>>> linkNodes(std::vector<SkeletonNode>& nodes) {
        const size_t n = nodes.size();
        std::vector<std::array<float, 3>> ancestors(n, {0, 0, 0});
        for (size_t i = 0; i < n; ++i) {
            int depth = 0;
            for (int32_t p = nodes[i].parent; p != -1; p = nodes[size_t(p)].parent) {
                if (p < 0 || size_t(p) >= n) {
                    return std::nullopt;
                }
                if (++depth > limits::MAX_HIERARCHY_DEPTH) {
                    error_ = "the hierarchy is deeper than " + std::to_string(limits::MAX_HIERARCHY_DEPTH) +
                             " nodes, or its parents form a loop";
                    return std::nullopt;
                }
                for (size_t a = 0; a < 3; ++a) {
                    ancestors[i][a] += nodes[size_t(p)].block[a];
                }
            }
            if (nodes[i].parent >= 0) {
                nodes[size_t(nodes[i].parent)].children.push_back(int32_t(i));
            }
        }
        return ancestors;
    }

    // A vertex moves by its node's position plus pivot, then by each ancestor's position in turn, walking
    // up from the parent: in float32 that order decides the last digit.
    static void moveIntoModelSpace(const std::vector<SkeletonNode>& nodes, const Model& model, Frame& frame) {
        const size_t n = nodes.size();
        std::vector<std::optional<std::array<float, 3>>> offsets(n);
        auto offsetOf = [&](size_t node) {
            if (!offsets[node]) {
                std::array<float, 3> offset;
                for (size_t a = 0; a < 3; ++a) {
                    offset[a] = nodes[node].block[a] + nodes[node].block[6 + a];
                }
                for (int32_t p = nodes[node].parent; p != -1; p = nodes[size_t(p)].parent) {
                    for (size_t a = 0; a < 3; ++a) {
                        offset[a] += nodes[size_t(p)].block[a];
                    }
                }
                offsets[node] = offset;
            }
            return *offsets[node];
        };
        for (size_t v = 0; v < frame.positions.size(); ++v) {
            const size_t node = size_t(model.vertexInfos[v].reserved[1]);
            if (node >= n) {
                continue;
            }
            const std::array<float, 3> offset = offsetOf(node);
            for (int a = 0; a < 3; ++a) {
                frame.positions[v][a] += offset[size_t(a)];
            }
        }
    }

    bool readHierarchy(int count, ModelData& data) {
        if (count < 0) {
            return false;
        }
        Model& model = data.model;
        std::vector<SkeletonNode> nodes;
        for (int i = 0; i < count; ++i) {
            if (!readNode(i, nodes)) {
                return false;
            }
        }
        const std::optional<std::vector<std::array<float, 3>>> ancestors = linkNodes(nodes);
        if (!ancestors) {
            return false;
        }
        // Every vertex belongs to the last node of its mesh.
        std::unordered_map<int32_t, int32_t> nodeOfMesh;
        for (size_t i = 0; i < nodes.size(); ++i) {
            nodeOfMesh[nodes[i].mesh] = int32_t(i);
        }
        for (VertexInfo& info : model.vertexInfos) {
            if (auto it = nodeOfMesh.find(info.reserved[0]); it != nodeOfMesh.end()) {
                info.reserved[1] = it->second;
            }
        }
        if (!nodes.empty() && !data.frames.empty()) {
            moveIntoModelSpace(nodes, model, data.frames.front());
        }
        // The nodes move into model space too: the first point becomes the joint, the second the pivot.
        for (size_t i = 0; i < nodes.size(); ++i) {
            for (size_t a = 0; a < 3; ++a) {
                nodes[i].block[a] += (*ancestors)[i][a];
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
    std::string error_; // why a block failed, when it is more than running out of text
};

} // namespace

Result<ModelData> parse3do(std::span<const uint8_t> bytes, int geometrySet) {
    ModelData data;
    Reader reader(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), geometrySet);
    if (std::optional<std::string> error = reader.run(data)) {
        return Failure{*error};
    }
    if (data.frames.empty()) {
        return Failure{"the file has no geometry"};
    }
    return data;
}

} // namespace faceto
