#include "model/DerivedData.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdint>
#include <limits>
#include <unordered_map>

namespace faceto {

namespace {

// Open-addressing set of unordered vertex pairs; replaces a linear search over the edges found
// so far, which made edge building quadratic.
class PairSet {
public:
    explicit PairSet(size_t expected) {
        size_t capacity = std::bit_ceil(std::max<size_t>(16, expected * 2));
        slots_.assign(capacity, EMPTY);
        mask_ = capacity - 1;
    }

    // Inserts the pair; false when it was already present.
    bool insert(int32_t a, int32_t b) {
        const uint64_t lo = uint32_t(std::min(a, b));
        const uint64_t hi = uint32_t(std::max(a, b));
        const uint64_t key = (hi << 32) | lo;
        size_t slot = hash(key) & mask_;
        while (slots_[slot] != EMPTY) {
            if (slots_[slot] == key) {
                return false;
            }
            slot = (slot + 1) & mask_;
        }
        slots_[slot] = key;
        return true;
    }

private:
    static constexpr uint64_t EMPTY = std::numeric_limits<uint64_t>::max();
    static uint64_t hash(uint64_t key) {
        key ^= key >> 33;
        key *= 0xff51afd7ed558ccdULL;
        key ^= key >> 33;
        return key;
    }
    std::vector<uint64_t> slots_;
    size_t mask_ = 0;
};

// Labels of the connectivity grouping. A label value is a vertex index; "every triangle with label
// e takes label d" is a union of label classes, after which the value e starts a fresh, empty class
// (a vertex that still carries e hands it to later triangles, which must not join d).
class LabelClasses {
public:
    explicit LabelClasses(int32_t labelCount) : nodeOfLabel_(size_t(labelCount), -1) {}

    int32_t nodeFor(int32_t label) {
        int32_t& node = nodeOfLabel_[size_t(label)];
        if (node < 0) {
            node = int32_t(parent_.size());
            parent_.push_back(node);
            labelOfRoot_.push_back(label);
            size_.push_back(1);
        }
        return node;
    }

    int32_t labelOf(int32_t node) { return labelOfRoot_[size_t(find(node))]; }

    // Every triangle whose label is `from` takes label `to`.
    void relabel(int32_t from, int32_t to) {
        const int32_t fromNode = nodeOfLabel_[size_t(from)];
        if (fromNode < 0) {
            return;
        }
        nodeOfLabel_[size_t(from)] = -1;
        int32_t a = find(fromNode);
        int32_t b = find(nodeFor(to));
        if (size_[size_t(a)] > size_[size_t(b)]) {
            std::swap(a, b);
        }
        parent_[size_t(a)] = b;
        size_[size_t(b)] += size_[size_t(a)];
        labelOfRoot_[size_t(b)] = to;
        nodeOfLabel_[size_t(to)] = b;
    }

private:
    int32_t find(int32_t node) {
        while (parent_[size_t(node)] != node) {
            parent_[size_t(node)] = parent_[size_t(parent_[size_t(node)])];
            node = parent_[size_t(node)];
        }
        return node;
    }

    std::vector<int32_t> nodeOfLabel_;
    std::vector<int32_t> parent_;
    std::vector<int32_t> labelOfRoot_;
    std::vector<int32_t> size_;
};

} // namespace

void buildEdges(Model& model) {
    model.edges.clear();
    model.edges.reserve(model.triangles.size() * 3 / 2 + 3);
    PairSet seen(model.triangles.size() * 3 / 2 + 3);
    for (const Triangle& t : model.triangles) {
        for (int c = 0; c < 3; ++c) {
            const int32_t a = t.v[size_t(c)];
            const int32_t b = t.v[size_t((c + 1) % 3)];
            if (seen.insert(a, b)) {
                model.edges.push_back(Edge{a, b, 0, t.color});
            }
        }
    }
}

namespace {

// The triangles of each vertex in index order, each listed once however many corners it has there:
// those of vertex v are incident[start[v] .. start[v + 1]).
struct Incidence {
    std::vector<int32_t> start;
    std::vector<int32_t> incident;
};

Incidence incidence(const Model& model) {
    const int32_t vertexCount = model.vertexCount();
    Incidence out{std::vector<int32_t>(size_t(vertexCount) + 1, 0), {}};
    auto forEachDistinctCorner = [&](const Triangle& t, auto&& fn) {
        for (int c = 0; c < 3; ++c) {
            const int32_t v = t.v[size_t(c)];
            if (v >= 0 && v < vertexCount && (c < 1 || t.v[0] != v) && (c < 2 || t.v[1] != v)) {
                fn(v);
            }
        }
    };
    for (const Triangle& t : model.triangles) {
        forEachDistinctCorner(t, [&](int32_t v) { ++out.start[size_t(v) + 1]; });
    }
    for (size_t i = 1; i < out.start.size(); ++i) {
        out.start[i] += out.start[i - 1];
    }
    out.incident.resize(size_t(out.start.back()));
    std::vector<int32_t> fill(out.start.begin(), out.start.end() - 1);
    for (int32_t ti = 0; ti < model.triangleCount(); ++ti) {
        forEachDistinctCorner(model.triangles[size_t(ti)],
                              [&](int32_t v) { out.incident[size_t(fill[size_t(v)]++)] = ti; });
    }
    return out;
}

// Each triangle's node in `classes` (-1: no valid vertex reaches it): vertices pass their labels on
// through the triangles they share, the lower label winning.
std::vector<int32_t> labelTriangles(const Model& model, const Incidence& in, LabelClasses& classes) {
    const int32_t vertexCount = model.vertexCount();
    std::vector<int32_t> vertexLabel(static_cast<size_t>(vertexCount));
    std::vector<int32_t> verticesWithLabel(size_t(vertexCount), 1);
    for (int32_t i = 0; i < vertexCount; ++i) {
        vertexLabel[size_t(i)] = i;
    }
    std::vector<int32_t> triangleNode(size_t(model.triangleCount()), -1);
    for (int32_t i = 0; i < vertexCount; ++i) {
        for (int32_t k = in.start[size_t(i)]; k < in.start[size_t(i) + 1]; ++k) {
            const int32_t t = in.incident[size_t(k)];
            const int32_t own = vertexLabel[size_t(i)];
            if (triangleNode[size_t(t)] < 0) {
                triangleNode[size_t(t)] = classes.nodeFor(own);
                continue;
            }
            const int32_t d = classes.labelOf(triangleNode[size_t(t)]);
            const int32_t e = std::max(d, own);
            if (e == d) {
                // Relabelling d to d changes nothing; vertex i takes d only while some vertex has label d.
                if (d != own && verticesWithLabel[size_t(d)] > 0) {
                    --verticesWithLabel[size_t(own)];
                    ++verticesWithLabel[size_t(d)];
                    vertexLabel[size_t(i)] = d;
                }
            } else {
                // e is vertex i's own label, so vertex i always takes d.
                classes.relabel(e, d);
                --verticesWithLabel[size_t(own)];
                ++verticesWithLabel[size_t(d)];
                vertexLabel[size_t(i)] = d;
            }
        }
    }
    return triangleNode;
}

} // namespace

void buildGroupsByConnectivity(Model& model) {
    const int32_t vertexCount = model.vertexCount();
    LabelClasses classes(vertexCount);
    const std::vector<int32_t> triangleNode = labelTriangles(model, incidence(model), classes);

    model.groups.clear();
    std::vector<int32_t> groupOfLabel(size_t(vertexCount), -1);
    int32_t groupOfUnlabelled = -1; // triangles no valid vertex reached
    for (int32_t t = 0; t < model.triangleCount(); ++t) {
        const int32_t node = triangleNode[size_t(t)];
        int32_t& group = node < 0 ? groupOfUnlabelled : groupOfLabel[size_t(classes.labelOf(node))];
        if (group < 0) {
            group = int32_t(model.groups.size());
            Group g;
            g.name = "group " + std::to_string(group + 1);
            g.flags = GROUP_VISIBLE;
            g.tag = 0;
            g.color = GROUP_COLORS[size_t(group) % GROUP_COLORS.size()];
            model.groups.push_back(std::move(g));
        }
        Triangle& tri = model.triangles[size_t(t)];
        tri.group = group;
        tri.color = model.groups[size_t(group)].color;
    }
}

std::string animationBaseName(std::string_view frameName) {
    size_t p = 0;
    while (p < frameName.size() && !std::isdigit(static_cast<unsigned char>(frameName[p]))) {
        ++p;
    }
    if (p == frameName.size()) {
        return {}; // no digit: the whole name parses as 0
    }
    // The number's value only matters for being at least 100, so saturate instead of overflowing.
    int64_t number = 0;
    for (size_t i = p; i < frameName.size() && std::isdigit(static_cast<unsigned char>(frameName[i])); ++i) {
        number = std::min<int64_t>(number * 10 + (frameName[i] - '0'), 1'000'000'000);
    }
    return std::string(frameName.substr(0, number / 100 > 0 ? p + 1 : p));
}

std::string trimmed(std::string_view text) {
    const char* space = " \t\r\n\f\v";
    const size_t first = text.find_first_not_of(space);
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(space) - first + 1));
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

namespace {

// The number in a frame's name (its first digits), saturated; 0 for a name without digits.
int64_t frameNumber(std::string_view name) {
    size_t p = 0;
    while (p < name.size() && !std::isdigit(static_cast<unsigned char>(name[p]))) {
        ++p;
    }
    int64_t number = 0;
    for (; p < name.size() && std::isdigit(static_cast<unsigned char>(name[p])); ++p) {
        number = std::min<int64_t>(number * 10 + (name[p] - '0'), 1'000'000'000'000);
    }
    return number;
}

template <typename NameOf> std::vector<Animation> animationsOf(size_t count, NameOf nameOf) {
    std::vector<Animation> animations;
    // Animations by their lower-case name: the first one of a name is the one a frame joins.
    std::unordered_map<std::string, size_t> byName;
    byName.reserve(count);
    for (size_t f = 0; f < count; ++f) {
        std::string base = animationBaseName(nameOf(f));
        std::string key = base;
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        auto [it, added] = byName.try_emplace(std::move(key), animations.size());
        if (added) {
            animations.push_back(Animation{std::move(base), {int32_t(f)}, {}});
        } else {
            animations[it->second].frameIndices.push_back(int32_t(f));
        }
    }
    // An animation's frames go in the order of their numbers (walk2 before walk10, a frame renamed to
    // wave5 after wave4), frames of one number in the order of the list.
    for (Animation& animation : animations) {
        std::vector<std::pair<int64_t, int32_t>> numbered;
        numbered.reserve(animation.frameIndices.size());
        for (int32_t f : animation.frameIndices) {
            numbered.emplace_back(frameNumber(nameOf(size_t(f))), f);
        }
        if (!std::is_sorted(numbered.begin(), numbered.end())) {
            std::stable_sort(numbered.begin(), numbered.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (size_t k = 0; k < numbered.size(); ++k) {
                animation.frameIndices[k] = numbered[k].second;
            }
        }
    }
    return animations;
}

} // namespace

std::vector<Animation> buildAnimations(const std::vector<Frame>& frames) {
    return animationsOf(frames.size(), [&](size_t f) -> const std::string& { return frames[f].name; });
}

std::vector<Animation> buildAnimations(const std::vector<std::string>& frameNames) {
    return animationsOf(frameNames.size(), [&](size_t f) -> const std::string& { return frameNames[f]; });
}

} // namespace faceto
