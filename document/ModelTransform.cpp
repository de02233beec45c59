#include "document/ModelTransform.h"

#include "document/CFacetoDoc.h"
#include "document/DocumentEdit.h"
#include "model/Texts.h"

#include <cmath>
#include <numbers>

namespace faceto {

namespace {

// Every frame's positions replaced, and (for a mirroring) every triangle turned round; the old positions
// are kept for undo, so undoing gives back exactly the positions there were.
class ReplaceAllPositions : public Command {
public:
    ReplaceAllPositions(std::string name, std::vector<Positions> after, bool flipTriangles)
        : Command(std::move(name)), other_(std::move(after)), flip_(flipTriangles) {}
    void redo(CFacetoDoc& doc) override { swap(doc); }
    void undo(CFacetoDoc& doc) override { swap(doc); }
    size_t memoryBytes() const override {
        size_t bytes = sizeof(*this);
        for (const Positions& p : other_) {
            bytes += p.capacity() * sizeof(FrameVertex);
        }
        return bytes;
    }
    ChangeNotice changes() const override {
        return {flip_ ? change::POSITIONS | change::TOPOLOGY | change::SKINS : change::POSITIONS};
    }

private:
    void swap(CFacetoDoc& doc) {
        for (size_t f = 0; f < other_.size() && f < doc.frames().size(); ++f) {
            std::swap(DocumentEdit::frames(doc)[f].positions, other_[f]);
        }
        if (flip_) {
            for (Triangle& t : DocumentEdit::model(doc).triangles) {
                std::swap(t.v[1], t.v[2]);
                std::swap(t.st[1], t.st[2]);
                std::swap(t.cornerAux[1], t.cornerAux[2]);
            }
        }
    }

    std::vector<Positions> other_; // the new positions until done, then the old ones
    bool flip_;
};

// The centre of the bounds of every finite position of every frame; the origin for a model without any.
std::array<double, 3> centreOf(const CFacetoDoc& doc) {
    std::array<double, 3> lo{0, 0, 0};
    std::array<double, 3> hi{0, 0, 0};
    bool any = false;
    for (const Frame& frame : doc.frames()) {
        for (const FrameVertex& p : frame.positions) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
                continue;
            }
            for (int a = 0; a < 3; ++a) {
                lo[size_t(a)] = any ? std::min(lo[size_t(a)], double(p[a])) : double(p[a]);
                hi[size_t(a)] = any ? std::max(hi[size_t(a)], double(p[a])) : double(p[a]);
            }
            any = true;
        }
    }
    return {(lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2};
}

using Mat3 = std::array<std::array<double, 3>, 3>;

Mat3 multiply(const Mat3& a, const Mat3& b) {
    Mat3 r{};
    for (size_t i = 0; i < 3; ++i) {
        for (size_t j = 0; j < 3; ++j) {
            r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
        }
    }
    return r;
}

Mat3 rotation(int axis, double degrees) {
    const double r = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(r);
    const double s = std::sin(r);
    switch (axis) {
    case 0:
        return {{{1, 0, 0}, {0, c, -s}, {0, s, c}}};
    case 1:
        return {{{c, 0, s}, {0, 1, 0}, {-s, 0, c}}};
    default:
        return {{{c, -s, 0}, {s, c, 0}, {0, 0, 1}}};
    }
}

} // namespace

bool transformModel(CFacetoDoc& doc, const ModelTransform& t, const std::string& name) {
    const bool identity = t.scale == std::array<float, 3>{1, 1, 1} &&
                          t.degrees == std::array<float, 3>{0, 0, 0} &&
                          t.move == std::array<float, 3>{0, 0, 0};
    if (doc.frames().empty() || identity) {
        return false;
    }
    Mat3 m{{{double(t.scale[0]), 0, 0}, {0, double(t.scale[1]), 0}, {0, 0, double(t.scale[2])}}};
    for (int axis = 0; axis < 3; ++axis) {
        if (t.degrees[size_t(axis)] != 0.0f) {
            m = multiply(rotation(axis, double(t.degrees[size_t(axis)])), m);
        }
    }
    const std::array<double, 3> about = t.aboutCentre ? centreOf(doc) : std::array<double, 3>{0, 0, 0};
    std::vector<Positions> after;
    after.reserve(doc.frames().size());
    for (const Frame& frame : doc.frames()) {
        Positions moved(frame.positions.size());
        for (size_t v = 0; v < moved.size(); ++v) {
            const FrameVertex& p = frame.positions[v];
            const double d[3] = {double(p.x) - about[0], double(p.y) - about[1], double(p.z) - about[2]};
            for (size_t a = 0; a < 3; ++a) {
                moved[v][int(a)] =
                    float(m[a][0] * d[0] + m[a][1] * d[1] + m[a][2] * d[2] + about[a] + double(t.move[a]));
            }
        }
        after.push_back(std::move(moved));
    }
    const int negative = int(t.scale[0] < 0) + int(t.scale[1] < 0) + int(t.scale[2] < 0);
    const bool mirrors = negative % 2 == 1;
    doc.run(std::make_unique<ReplaceAllPositions>(name, std::move(after), mirrors));
    return true;
}

bool mirrorModel(CFacetoDoc& doc, int axis) {
    ModelTransform t;
    t.scale[size_t(axis)] = -1;
    t.aboutCentre = true;
    static const char* const NAMES[] = {FACETO_TEXT("Mirror X"), FACETO_TEXT("Mirror Y"),
                                        FACETO_TEXT("Mirror Z")};
    return transformModel(doc, t, NAMES[axis]);
}

bool centreModelOnOrigin(CFacetoDoc& doc) {
    const std::array<double, 3> c = centreOf(doc);
    ModelTransform t;
    t.move = {float(-c[0]), float(-c[1]), float(-c[2])};
    return transformModel(doc, t, FACETO_TEXT("Centre on Origin"));
}

} // namespace faceto
