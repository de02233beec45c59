#include "cli/IniProfile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace faceto {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

void appendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// A section or key name: %XX and %UXXXX are characters, '\' separates groups.
std::string unescapeName(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 5 < text.size() && text[i + 1] == 'U') {
            uint32_t code = 0;
            bool ok = true;
            for (size_t k = 2; k < 6; ++k) {
                const int d = hexDigit(text[i + k]);
                ok = ok && d >= 0;
                code = code * 16 + uint32_t(std::max(d, 0));
            }
            if (ok) {
                appendUtf8(out, code);
                i += 5;
                continue;
            }
        }
        if (c == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 && hexDigit(text[i + 2]) >= 0) {
            appendUtf8(out, uint32_t(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2])));
            i += 2;
        } else if (c == '\\') {
            out += '/';
        } else {
            out += c;
        }
    }
    return out;
}

std::string trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) {
        return {};
    }
    const size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

// Values of other types than text and numbers ("@Variant(...)", "@ByteArray(...)") are not settings
// this tool reads; a list reads as its text.
const std::string* nullValue() {
    return nullptr;
}

} // namespace

std::string IniProfile::unescapeValue(const std::string& raw) {
    const std::string text = trimmed(raw);
    std::string out;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (c != '\\' || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        const char e = text[++i];
        switch (e) {
        case 'a':
            out += '\a';
            break;
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'v':
            out += '\v';
            break;
        case 'x': {
            uint32_t code = 0;
            while (i + 1 < text.size() && hexDigit(text[i + 1]) >= 0) {
                code = code * 16 + uint32_t(hexDigit(text[++i]));
            }
            appendUtf8(out, code);
            break;
        }
        case '0':
        case '1':
        case '2':
        case '3':
        case '4':
        case '5':
        case '6':
        case '7': {
            uint32_t code = uint32_t(e - '0');
            while (i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7') {
                code = code * 8 + uint32_t(text[++i] - '0');
            }
            appendUtf8(out, code);
            break;
        }
        case '\n':
            break; // a line continued
        default:
            out += e; // \\, \", \', \? and any other
        }
    }
    return out;
}

IniProfile::IniProfile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return;
    }
    std::stringstream whole;
    whole << in.rdbuf();
    std::string section;
    std::string line;
    std::istringstream lines(whole.str());
    while (std::getline(lines, line)) {
        const std::string t = trimmed(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') {
            continue;
        }
        if (t.front() == '[' && t.back() == ']') {
            // "[General]" holds the top level; a group that is really called so is "[%General]".
            const std::string raw = t.substr(1, t.size() - 2);
            section = raw == "General"    ? std::string()
                      : raw == "%General" ? raw.substr(1)
                                          : unescapeName(raw);
            continue;
        }
        const size_t eq = t.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        const std::string key = unescapeName(trimmed(t.substr(0, eq)));
        values_[section.empty() ? key : section + "/" + key] = unescapeValue(t.substr(eq + 1));
    }
}

std::string IniProfile::userFile() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && *config == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home != nullptr ? home : "") + "/.config";
    }
    return folder + "/Hollowbark/Faceto.ini";
}

const std::string* IniProfile::find(const std::string& section, const std::string& entry) const {
    std::string key = section;
    for (char& c : key) {
        c = c == '\\' ? '/' : c;
    }
    auto it = values_.find(key + "/" + entry);
    return it == values_.end() ? nullValue() : &it->second;
}

std::string IniProfile::getString(const std::string& section, const std::string& entry,
                                  const std::string& defaultValue) const {
    const std::string* value = find(section, entry);
    return value != nullptr ? *value : defaultValue;
}

int IniProfile::getInt(const std::string& section, const std::string& entry, int defaultValue) const {
    const std::string* value = find(section, entry);
    if (value == nullptr) {
        return defaultValue;
    }
    // As the toolkit reads a number: the whole text, or 0.
    char* end = nullptr;
    const long number = std::strtol(value->c_str(), &end, 10);
    return end != value->c_str() && *end == '\0' && number >= INT32_MIN && number <= INT32_MAX ? int(number)
                                                                                               : 0;
}

bool IniProfile::writeString(const std::string& section, const std::string& entry, const std::string& value) {
    std::string key = section;
    for (char& c : key) {
        c = c == '\\' ? '/' : c;
    }
    values_[key + "/" + entry] = value;
    return true;
}

bool IniProfile::writeInt(const std::string& section, const std::string& entry, int value) {
    return writeString(section, entry, std::to_string(value));
}

} // namespace faceto
