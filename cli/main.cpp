// faceto-cli: the editor's readers, writers and renderer for scripts. Built twice: faceto-cli itself
// needs no toolkit (it starts in a few milliseconds), and hands "render" and "thumbnail" to
// faceto-cli-render, the same program built with the toolkit's pictures and text.
#include "cli/CliCommands.h"
#include "cli/CliProfile.h"
#include "cli/CliRender.h"
#include "cli/Help.h"
#include "formats/FormatTable.h"
#include "formats/PaletteFiles.h"
#include "formats/Temporaries.h"
#include "model/Version.h"

#ifdef FACETO_CLI_RENDERS
#include "app/QtProfile.h"

#include <QCoreApplication>
#include <QGuiApplication>
#else
#include "cli/IniProfile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#endif

#include <cmath>
#include <cstdio>
#include <getopt.h>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

int run(faceto::cli::Context& context, const std::string& command, const std::vector<std::string>& positional,
        bool json, const std::optional<std::string>& toExtension, const std::string& folder, bool tree,
        const faceto::cli::RenderOptions& render);

int usageError(const std::string& why) {
    std::cerr << "faceto-cli: " << why << "\nusage: faceto-cli info|convert|render FILE... [OPTION...]\n"
              << "Try 'faceto-cli --help'.\n";
    return 2;
}

#ifndef FACETO_CLI_RENDERS
// Drawing is done by faceto-cli-render, with the same arguments: found in libexec/faceto beside the
// folder of this program (as installed, wherever that is), beside this program (a build), or where
// this build would install it.
int runRenderer(char** argv) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    std::vector<std::filesystem::path> places;
    if (!error) {
        places.push_back(self.parent_path().parent_path() / "libexec" / "faceto" / "faceto-cli-render");
        places.push_back(self.parent_path() / "faceto-cli-render");
    }
    places.emplace_back(FACETO_RENDERER_PATH);
    for (const std::filesystem::path& place : places) {
        if (::access(place.c_str(), X_OK) == 0) {
            ::execv(place.c_str(), argv);
            std::cerr << "faceto-cli: cannot start " << place.string() << ": " << std::strerror(errno)
                      << "\n";
            return 1;
        }
    }
    std::cerr << "faceto-cli: drawing needs faceto-cli-render, which is not installed (looked for "
              << places.back().string() << ")\n";
    return 1;
}
#endif

} // namespace

// Everything the command line says.
struct Arguments {
    std::vector<std::string> positional;
    std::optional<std::string> base;
    std::optional<std::string> settingsFile;
    std::optional<std::string> toExtension;
    std::string folder;
    bool json = false;
    bool force = false;
    bool tree = false;
    bool help = false;
    float scale = 1.0f;
    float importScale = 1.0f;
    int framesPerSecond = 10;
    bool linear = false;
    int skinDepth = 0;
    std::optional<std::string> modelPalette;
    faceto::cli::RenderOptions render;
};

enum LongOption {
    BASE = 1000,
    SETTINGS,
    TO,
    VIEW,
    FRAME,
    SIZE,
    SKIN,
    EDGES,
    VERTICES,
    MODE,
    SCALE,
    IMPORT_SCALE,
    FPS,
    INTERPOLATION,
    SKIN_DEPTH,
    PALETTE,
    FIT,
    MAP,
    SCALE_COORDS,
    JSON,
    FORCE,
    TREE,
    VERSION_OPTION,
};

const option LONG_OPTIONS[] = {
    {"base", required_argument, nullptr, BASE},
    {"settings", required_argument, nullptr, SETTINGS},
    {"to", required_argument, nullptr, TO},
    {"view", required_argument, nullptr, VIEW},
    {"frame", required_argument, nullptr, FRAME},
    {"size", required_argument, nullptr, SIZE},
    {"skin", required_argument, nullptr, SKIN},
    {"edges", no_argument, nullptr, EDGES},
    {"vertices", no_argument, nullptr, VERTICES},
    {"mode", required_argument, nullptr, MODE},
    {"scale", required_argument, nullptr, SCALE},
    {"import-scale", required_argument, nullptr, IMPORT_SCALE},
    {"fps", required_argument, nullptr, FPS},
    {"interpolation", required_argument, nullptr, INTERPOLATION},
    {"skin-depth", required_argument, nullptr, SKIN_DEPTH},
    {"palette", required_argument, nullptr, PALETTE},
    {"fit", no_argument, nullptr, FIT},
    {"map", no_argument, nullptr, MAP},
    {"scale-coords", no_argument, nullptr, SCALE_COORDS},
    {"json", no_argument, nullptr, JSON},
    {"force", no_argument, nullptr, FORCE},
    {"tree", no_argument, nullptr, TREE},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, VERSION_OPTION},
    {nullptr, 0, nullptr, 0},
};

// What an option lacking its value needs, as the usage error says it.
std::string missingValue(int option) {
    switch (option) {
    case BASE:
        return "--base needs a folder";
    case SETTINGS:
        return "--settings needs a file";
    case TO:
        return "--to needs an extension";
    case 'd':
        return "-d needs a folder";
    case VIEW:
        return "--view needs a view";
    case FRAME:
        return "--frame needs an index or a name";
    case SIZE:
        return "--size needs WIDTHxHEIGHT";
    case SKIN:
        return "--skin needs a number";
    case MODE:
        return "--mode needs a mode";
    case SCALE:
        return "--scale needs a positive number";
    case IMPORT_SCALE:
        return "--import-scale needs a positive number";
    case FPS:
        return "--fps needs a number from 1 to 1000";
    case INTERPOLATION:
        return "--interpolation is step or linear";
    case SKIN_DEPTH:
        return "--skin-depth is 8 or 24";
    case PALETTE:
        return "--palette is quake or hexen2";
    default:
        return "an option needs a value";
    }
}

bool positiveNumber(const char* text, float& out) {
    return std::sscanf(text, "%f", &out) == 1 && out > 0.0f && std::isfinite(out);
}

// Takes the value of an option that has one; an empty text when it is fine, else what is wrong.
std::string takeValue(int option, const char* text, Arguments& a) {
    faceto::cli::RenderOptions& render = a.render;
    bool ok = true;
    switch (option) {
    case BASE:
        a.base = text;
        break;
    case SETTINGS:
        a.settingsFile = text;
        break;
    case TO:
        a.toExtension = text;
        break;
    case 'd':
        a.folder = text;
        break;
    case VIEW:
        render.view = text;
        break;
    case FRAME:
        render.frame = text;
        break;
    case SIZE:
        ok = std::sscanf(text, "%dx%d", &render.width, &render.height) == 2;
        break;
    case SKIN:
        ok = std::sscanf(text, "%d", &render.skin) == 1;
        break;
    case MODE:
        render.mode = text;
        break;
    case SCALE:
        ok = positiveNumber(text, a.scale);
        break;
    case IMPORT_SCALE:
        ok = positiveNumber(text, a.importScale);
        break;
    case FPS:
        ok = std::sscanf(text, "%d", &a.framesPerSecond) == 1 && a.framesPerSecond >= 1 &&
             a.framesPerSecond <= 1000;
        break;
    case INTERPOLATION:
        ok = std::string_view(text) == "step" || std::string_view(text) == "linear";
        a.linear = std::string_view(text) == "linear";
        break;
    case SKIN_DEPTH:
        ok = std::string_view(text) == "8" || std::string_view(text) == "24";
        a.skinDepth = ok ? std::stoi(text) : 0;
        break;
    case PALETTE:
        a.modelPalette = text;
        ok = *a.modelPalette == "quake" || *a.modelPalette == "hexen2";
        break;
    default:
        break;
    }
    return ok ? std::string() : missingValue(option);
}

// Sets a switch; false when `option` is none.
bool takeSwitch(int option, Arguments& a) {
    switch (option) {
    case JSON:
        a.json = true;
        return true;
    case FORCE:
        a.force = true;
        return true;
    case TREE:
        a.tree = true;
        return true;
    case EDGES:
        a.render.edges = true;
        return true;
    case VERTICES:
        a.render.vertices = true;
        return true;
    case FIT:
        a.render.fit = true;
        return true;
    case MAP:
        a.render.withMap = true;
        return true;
    case SCALE_COORDS:
        a.render.scaleCoords = true;
        return true;
    default:
        return false;
    }
}

// Reads the command line (options anywhere, "--opt=value" or "--opt value", "--" before file names that
// begin with a dash). The exit status when the program is done (help, version, a usage error).
std::optional<int> parseArguments(int argc, char** argv, Arguments& a) {
    opterr = 0; // the usage errors are ours
    optind = 1;
    // "-.EXT" names standard output, not options: hidden from the option parser behind a mark.
    constexpr char STREAM_MARK = '\x01';
    std::vector<std::string> kept(argv, argv + argc);
    std::vector<char*> args;
    for (std::string& arg : kept) {
        if (arg.rfind("-.", 0) == 0) {
            arg.insert(arg.begin(), STREAM_MARK);
        }
        args.push_back(arg.data());
    }
    args.push_back(nullptr);
    argv = args.data();
    int option = 0;
    while ((option = getopt_long(argc, argv, ":hd:", LONG_OPTIONS, nullptr)) != -1) {
        if (option == 'h') {
            a.help = true; // the command, when one is named, is known only after every argument
            continue;
        }
        if (option == VERSION_OPTION) {
            std::cout << "faceto-cli " << faceto::VERSION << "\n";
            return 0;
        }
        if (option == ':') {
            return usageError(missingValue(optopt));
        }
        if (option == '?') {
            const std::string given = argv[optind - 1];
            return usageError("unknown option " + (optopt != 0 ? "-" + std::string(1, char(optopt)) : given));
        }
        if (takeSwitch(option, a)) {
            continue;
        }
        if (const std::string wrong = takeValue(option, optarg, a); !wrong.empty()) {
            return usageError(wrong);
        }
    }
    for (int i = optind; i < argc; ++i) {
        a.positional.emplace_back(argv[i][0] == STREAM_MARK ? argv[i] + 1 : argv[i]);
    }
    // "help", "help COMMAND", "--help" and "COMMAND --help".
    const bool helpCommand = !a.positional.empty() && a.positional.front() == "help";
    if (a.help || helpCommand) {
        const size_t named = helpCommand ? 1 : 0;
        if (a.positional.size() <= named) {
            std::cout << faceto::cli::generalHelp();
            return 0;
        }
        if (const auto text = faceto::cli::commandHelp(a.positional[named])) {
            std::cout << *text;
            return 0;
        }
        return usageError("no command " + a.positional[named]);
    }
    return std::nullopt;
}

int main(int argc, char** argv) {
    // Ctrl+C in the middle of a save leaves no temporary file behind.
    faceto::removeTemporariesOnSignals();

    Arguments arguments;
    if (const std::optional<int> done = parseArguments(argc, argv, arguments)) {
        return *done;
    }
    std::vector<std::string>& positional = arguments.positional;
    const std::optional<std::string>& settingsFile = arguments.settingsFile;
    if (positional.empty()) {
        return usageError("no command");
    }
    const std::string command = positional.front();
    positional.erase(positional.begin());

#ifdef FACETO_CLI_RENDERS
    // QSettings needs an application object; drawing text (the panes' names) needs a graphical one,
    // which renders off screen when no display is named.
    const bool rendering = command == "render"; // a thumbnail draws no text: no graphical application
    // The toolkit's own notes (about its runtime folder, fonts) are not the user's business here.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::cerr << text.toStdString() << "\n";
        }
    });
    if (rendering && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    std::unique_ptr<QCoreApplication> application = rendering
                                                        ? std::make_unique<QGuiApplication>(argc, argv)
                                                        : std::make_unique<QCoreApplication>(argc, argv);

    faceto::QtProfile settings =
        settingsFile ? faceto::QtProfile(QString::fromStdString(*settingsFile)) : faceto::QtProfile();
#else
    if (command == "render" || command == "thumbnail") {
        return runRenderer(argv);
    }
    const faceto::IniProfile settings(settingsFile ? *settingsFile : faceto::IniProfile::userFile());
#endif
    faceto::CliProfile profile(settings, arguments.base);
    if (arguments.modelPalette) {
        profile.set(faceto::settings::MODEL_PALETTE, *arguments.modelPalette);
    }
#ifdef FACETO_CLI_RENDERS
    faceto::PaletteTables palette = faceto::PaletteTables::builtIn();
    faceto::loadPalette(palette);
    faceto::loadColormap(palette);
#else
    // Reading and writing models needs the palette, not the light levels that only drawing uses.
    faceto::PaletteTables palette{faceto::builtInPalette(), {}};
    faceto::loadPalette(palette);
#endif
    const Arguments& a = arguments;
    faceto::cli::Context context{profile,  palette,           std::cout,   std::cerr,     a.force, a.scale,
                                 a.linear, a.framesPerSecond, a.skinDepth, a.importScale, {}};
    try {
        return run(context, command, positional, a.json, a.toExtension, a.folder, a.tree, a.render);
    } catch (const std::bad_alloc&) {
        std::cerr << "faceto-cli: not enough memory\n";
        return 1;
    }
}

namespace {

int run(faceto::cli::Context& context, const std::string& command, const std::vector<std::string>& positional,
        bool json, const std::optional<std::string>& toExtension, const std::string& folder, bool tree,
        const faceto::cli::RenderOptions& render) {

    if (command == "info") {
        if (positional.empty()) {
            return usageError("info needs at least one file");
        }
        return faceto::cli::info(context, positional, json);
    }
    if (command == "convert") {
        if (toExtension) {
            if (positional.empty()) {
                return usageError("convert --to needs at least one input");
            }
            return faceto::cli::convertBatch(context, positional, *toExtension, folder, tree);
        }
        if (positional.size() != 2) {
            return usageError("convert needs INPUT and OUTPUT");
        }
        return faceto::cli::convert(context, positional[0], positional[1]);
    }
#ifdef FACETO_CLI_RENDERS
    if (command == "render") {
        if (positional.size() != 2) {
            return usageError("render needs INPUT and OUTPUT.png");
        }
        return faceto::cli::render(context, positional[0], positional[1], render);
    }
#endif
    if (command == "set") {
        if (positional.size() < 3) {
            return usageError("set needs MODEL, at least one KEY=VALUE and OUTPUT");
        }
        return faceto::cli::setProperties(context, positional.front(),
                                          {positional.begin() + 1, positional.end() - 1}, positional.back());
    }
    if (command == "skin") {
        const std::string action = positional.empty() ? "" : positional[0];
        int index = -1;
        const bool numbered = positional.size() > 2 && std::sscanf(positional[2].c_str(), "%d", &index) == 1;
        if (action == "export" && positional.size() == 4 && numbered) {
            return faceto::cli::skinExport(context, positional[1], index, positional[3], render.withMap);
        }
        if (action == "import" && positional.size() == 5 && numbered) {
            return faceto::cli::skinImport(context, positional[1], index, positional[3], positional[4],
                                           render.scaleCoords);
        }
        return usageError("skin export MODEL N OUT.pcx|OUT.png, or skin import MODEL N PICTURE OUT_MODEL");
    }
#ifdef FACETO_CLI_RENDERS
    if (command == "thumbnail") {
        // As file managers call thumbnailers: INPUT OUTPUT.png [SIZE].
        int size = 256;
        if (positional.size() < 2 || positional.size() > 3 ||
            (positional.size() == 3 &&
             (std::sscanf(positional[2].c_str(), "%d", &size) != 1 || size < 16 || size > 2048))) {
            return usageError("thumbnail needs INPUT, OUTPUT.png and a size from 16 to 2048");
        }
        return faceto::cli::thumbnail(context, positional[0], positional[1], size);
    }
#endif
    return usageError("unknown command " + command);
}

} // namespace
