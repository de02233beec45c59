#include "formats/FrameNames.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>
#include <unordered_set>

namespace faceto {

namespace {

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// "~", "~b", "~c", ... "~z", "~ba": what sets a cut name apart from another cut alike.
std::string mark(size_t k) {
    std::string letters;
    for (size_t n = k - 1; n > 0; n /= 26) {
        letters.insert(letters.begin(), char('a' + n % 26));
    }
    return "~" + letters;
}

// The first of `text` cut to `room` characters, then cut further and marked, that `taken` does not
// hold (compared without regard to case); it is added to `taken`.
std::string uniqueCut(const std::string& text, size_t room, std::unordered_set<std::string>& taken) {
    std::string candidate = text.substr(0, room);
    for (size_t k = 1; taken.count(lowered(candidate)) != 0 && mark(k).size() <= room; ++k) {
        candidate = text.substr(0, room - mark(k).size()) + mark(k);
    }
    taken.insert(lowered(candidate));
    return candidate;
}

size_t firstDigit(const std::string& name) {
    const auto it =
        std::find_if(name.begin(), name.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
    return size_t(it - name.begin());
}

} // namespace

FittedNames fitFrameNames(const std::vector<Frame>& frames, size_t limit) {
    FittedNames out;
    out.names.reserve(frames.size());
    // Each animation by the text before its frames' numbers: the longest number that follows it.
    std::unordered_map<std::string, size_t> longestNumber;
    for (const Frame& f : frames) {
        const size_t p = firstDigit(f.name);
        if (p < f.name.size()) {
            size_t& longest = longestNumber[lowered(f.name.substr(0, p))];
            longest = std::max(longest, f.name.size() - p);
        }
    }
    auto fits = [&](const std::string& head) {
        const auto it = longestNumber.find(lowered(head));
        return it == longestNumber.end() || head.size() + it->second <= limit;
    };
    // Names and animation names that stay as they are cannot be taken by a shortened one.
    std::unordered_set<std::string> takenHeads;
    std::unordered_set<std::string> takenNames;
    for (const Frame& f : frames) {
        const size_t p = firstDigit(f.name);
        if (p < f.name.size() && fits(f.name.substr(0, p))) {
            takenHeads.insert(lowered(f.name.substr(0, p)));
        }
        if (f.name.size() <= limit) {
            takenNames.insert(lowered(f.name));
        }
    }
    std::unordered_map<std::string, std::string> shortened; // animation (lower case) -> its new name
    std::vector<std::string> changes;
    size_t renamed = 0;
    for (const Frame& f : frames) {
        const size_t p = firstDigit(f.name);
        std::string name = f.name;
        if (p == f.name.size()) {
            if (name.size() > limit) {
                name = uniqueCut(name, limit, takenNames);
            }
        } else if (!fits(f.name.substr(0, p))) {
            const std::string head = f.name.substr(0, p);
            const std::string number = f.name.substr(p);
            const size_t longest = longestNumber[lowered(head)];
            auto [it, added] = shortened.try_emplace(lowered(head));
            if (added) {
                it->second = longest < limit ? uniqueCut(head, limit - longest, takenHeads) : std::string();
                changes.push_back("\"" + head + "\" as \"" + it->second + "\"");
            }
            name = (it->second + number).substr(0, limit);
        }
        if (name != f.name) {
            ++renamed;
        }
        out.names.push_back(std::move(name));
    }
    if (renamed > 0) {
        out.notice = std::to_string(renamed) + (renamed == 1 ? " frame name was" : " frame names were") +
                     " shortened to " + std::to_string(limit) + " characters";
        for (size_t i = 0; i < changes.size(); ++i) {
            out.notice += (i == 0 ? ": animation " : ", ") + changes[i];
        }
    }
    return out;
}

} // namespace faceto
