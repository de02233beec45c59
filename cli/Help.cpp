#include "cli/Help.h"

#include "formats/FormatTable.h"

#include <sstream>

namespace faceto::cli {

namespace {

constexpr size_t WIDTH = 79;
constexpr size_t OPTION_COLUMN = 22;

struct Option {
    const char* name; // "--view VIEW"
    const char* text;
};

struct Command {
    const char* name;
    std::vector<const char*> synopsis; // after "faceto-cli "
    const char* summary;               // one line for the general help
    const char* text;                  // what it does, with {READ} and {WRITE} for the formats
    std::vector<Option> options;
};

// What set changes.
constexpr const char* SET_TEXT =
    "Changes the properties that the editor's Model Properties shows and writes the model as OUTPUT: "
    "flags=NAME,... (rocket, grenade, gib, rotate, tracer, zombie-gib, tracer2, tracer3) or a number, "
    "sync=sync|random, eye=X,Y,Z (a Quake model's), skins=NAME,... (the skin names a Quake 2 model "
    "stores). skin-group=FIRST:T,T,... makes skins FIRST onwards one animated skin of a Quake model, "
    "each picture shown until its time T (seconds, increasing); frame-group=FIRST:T,T,... does the "
    "same with frames; ungroup-skins=N and ungroup-frames=N break up the group of skin or frame N. "
    "info shows them, and what the original engines would not draw.";

const std::vector<Command>& commands() {
    static const std::vector<Command> list{
        {"info",
         {"info FILE... [--json]"},
         "describe models",
         "Format, vertex, triangle and frame counts, skins with their sizes and depths, groups, tags, "
         "animations with their frame counts, and each frame's name and bounding box. FILE - reads "
         "standard input.",
         {{"--json",
           "one JSON document: {\"faceto-cli\": VERSION, \"files\": [...]}, each file as the manual page "
           "describes it; a file that cannot be read as {\"file\", \"error\"}"}}},
        {"convert",
         {"convert INPUT OUTPUT", "convert --to EXT INPUT... [-d DIR] [--tree]"},
         "convert models between formats",
         "Reads INPUT ({READ}) and writes OUTPUT as the editor's Save As does, in the format of OUTPUT's "
         "extension: {WRITE}. An .md2 writes its skins as PCX files beside it, a .gltf its .bin and .png, "
         "an .obj (of the first frame) its .mtl and .png. A rigged, animated glTF becomes frames. INPUT - "
         "reads standard input; OUTPUT -.EXT writes standard output (formats of one file). With --to every "
         "INPUT is converted to EXT, one line per file; inputs that would write the same file are refused "
         "before anything is written.",
         {{"--to EXT", "convert every INPUT to EXT (with INPUT -: to standard output)"},
          {"-d DIR", "write into DIR (made when missing) instead of beside each input"},
          {"--tree", "keep each input's folder below DIR, relative to the inputs' common folder"},
          {"--fps N", "glTF animations become N frames a second (default 10)"},
          {"--import-scale S", "model units per unit of a glTF or OBJ file read (default 1)"},
          {"--scale S", "glTF and OBJ units per model unit written (default 1)"},
          {"--interpolation step|linear", "how written glTF animations move between frames (default step)"},
          {"--skin-depth 8|24",
           "true-colour skins of an .md2: 8 bits in Quake 2's palette (pics/colormap.pcx under the base "
           "folder) or 24 bits; by default 8 when that palette is there"},
          {"--force", "replace skin files of other content that an export writes over"}}},
        {"render",
         {"render INPUT OUTPUT.png [--view VIEW] [--mode MODE]",
          "       [--frame N|NAME] [--size WxH] [--skin N]", "       [--edges] [--vertices] [--fit]"},
         "draw a view of a model as a picture",
         "Draws the model as the editor's window of that size shows it and writes a PNG, JPEG or BMP "
         "picture by OUTPUT's extension (OUTPUT - writes a PNG to standard output).",
         {{"--view VIEW",
           "camera (default), preview (textured, as the animation player), top, side, front (the 2D "
           "panes), quad (all four panes) or skin (the skin at its size with its skin map)"},
          {"--mode MODE", "how the camera view draws: none, wireframe, vertex, flat, gouraud, textured or "
                          "textured-shaded (default: the editor's setting)"},
          {"--frame N|NAME", "the frame, by index or name (default: the first); 2.5: half way from frame 2 "
                             "to the next frame of its animation, as the engines interpolate"},
          {"--size WxH", "the window's client size (default 640x480)"},
          {"--skin N", "the skin of the preview and the textured modes"},
          {"--edges", "draw the preview's wire frame"},
          {"--vertices", "draw the preview's vertex dots"},
          {"--fit", "show the whole model"}}},
        {"thumbnail",
         {"thumbnail INPUT OUTPUT.png [SIZE]"},
         "a square picture of a model, for file managers",
         "A square picture of the whole model, SIZE pixels a side (16 to 2048, default 256), textured when "
         "it has a skin: what file managers show. OUTPUT - writes standard output.",
         {}},
        {"skin",
         {"skin export MODEL N OUTPUT.pcx|OUTPUT.png [--map]",
          "skin import MODEL N PICTURE OUTPUT_MODEL [--scale-coords]"},
         "export or replace a skin",
         "export writes skin N (from 0): as PCX (a skin read from a PCX file exactly as it was) or PNG (an "
         "8-bit skin keeps its indices and palette). import makes PICTURE (PCX, PNG, BMP or TGA) skin N, "
         "or a new skin when N is the skin count, and writes the model as OUTPUT_MODEL.",
         {{"--map", "draw the skin map's lines over the exported skin"},
          {"--scale-coords", "scale the skin coordinates to a picture of another size"}}},
        {"set", {"set MODEL KEY=VALUE... OUTPUT"}, "change a model's properties", SET_TEXT, {}},
        {"help",
         {"help [COMMAND]"},
         "this text, or a command's",
         "The help of COMMAND, or of every command.",
         {}},
    };
    return list;
}

const std::vector<Option>& commonOptions() {
    static const std::vector<Option> list{
        {"--base DIR",
         "the Quake 2 base folder that .md2 skin names are relative to (instead of the editor's "
         "\"games\\quake2\" \"base\" setting)"},
        {"--settings FILE", "read the editor's settings from FILE instead of the user's"},
        {"--palette quake|hexen2",
         "the palette of .mdl skins: Quake's (the default) or Hexen II's, as Game Setup names them"},
        {"-h, --help", "the help (after a command: that command's)"},
        {"--version", "the version"},
    };
    return list;
}

std::string withFormats(std::string text) {
    for (auto [mark, writable] :
         {std::pair{std::string("{READ}"), false}, std::pair{std::string("{WRITE}"), true}}) {
        if (const size_t at = text.find(mark); at != std::string::npos) {
            text.replace(at, mark.size(), extensionList(writable));
        }
    }
    return text;
}

// `text` in lines of at most WIDTH columns, the first starting at `first` columns of `out`'s current line
// (already written), the others indented by `indent`.
void wrap(std::ostream& out, const std::string& text, size_t first, size_t indent) {
    std::istringstream words(text);
    std::string word;
    size_t column = first;
    bool lineEmpty = true;
    while (words >> word) {
        if (!lineEmpty && column + 1 + word.size() > WIDTH) {
            out << "\n" << std::string(indent, ' ');
            column = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out << ' ';
            ++column;
        }
        out << word;
        column += word.size();
        lineEmpty = false;
    }
    out << "\n";
}

void writeOptions(std::ostream& out, const std::vector<Option>& options) {
    for (const Option& o : options) {
        const std::string name = std::string("  ") + o.name;
        out << name;
        if (name.size() + 2 > OPTION_COLUMN) {
            out << "\n" << std::string(OPTION_COLUMN, ' ');
        } else {
            out << std::string(OPTION_COLUMN - name.size(), ' ');
        }
        wrap(out, o.text, OPTION_COLUMN, OPTION_COLUMN);
    }
}

const char* const FOOTER =
    "The tool reads the editor's settings file (the Quake 2 base folder, the Quake palette) and, like the "
    "editor, loads palette.lmp and colormap.lmp from the current folder when they are there. Errors go to "
    "standard error as \"faceto-cli: FILE: reason\"; the exit status is 0 on success, 1 when a file "
    "failed, 2 for bad usage.";

} // namespace

std::vector<std::string> commandNames() {
    std::vector<std::string> names;
    for (const Command& c : commands()) {
        names.emplace_back(c.name);
    }
    return names;
}

std::optional<std::string> commandHelp(const std::string& command) {
    for (const Command& c : commands()) {
        if (command != c.name) {
            continue;
        }
        std::ostringstream out;
        out << "usage:\n";
        for (const char* line : c.synopsis) {
            // A continued synopsis lines up under the command's name.
            out << (line[0] == ' ' ? "             " : "  faceto-cli ") << line << "\n";
        }
        out << "\n  ";
        wrap(out, withFormats(c.text), 2, 2);
        if (!c.options.empty()) {
            out << "\noptions:\n";
            writeOptions(out, c.options);
        }
        out << "\noptions of every command:\n";
        writeOptions(out, commonOptions());
        return out.str();
    }
    return std::nullopt;
}

std::string generalHelp() {
    std::ostringstream out;
    out << "usage: faceto-cli COMMAND [OPTION...] FILE...\n\ncommands:\n";
    for (const Command& c : commands()) {
        for (const char* line : c.synopsis) {
            out << "  " << line << "\n";
        }
        out << "      ";
        wrap(out, c.summary, 6, 6);
    }
    for (const Command& c : commands()) {
        if (!c.options.empty()) {
            out << "\noptions of " << c.name << ":\n";
            writeOptions(out, c.options);
        }
    }
    out << "\noptions of every command:\n";
    writeOptions(out, commonOptions());
    out << "\n";
    wrap(out, "'faceto-cli help COMMAND' or 'faceto-cli COMMAND --help' tells more of a command.", 0, 0);
    out << "\n";
    wrap(out, FOOTER, 0, 0);
    return out.str();
}

} // namespace faceto::cli
