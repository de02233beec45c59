// Faceto, the editor.
#include "app/CFacetoApp.h"
#include "app/CMainFrame.h"
#include "app/Translation.h"
#include "formats/Temporaries.h"
#include "model/Version.h"

#include <QApplication>
#include <QCommandLineParser>

namespace {

void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription("Editor for the animated triangle models of 1990s game engines.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("files", "The models to open (without any, the one open last).",
                                 "[FILE...]");
}

} // namespace

int main(int argc, char** argv) {
    faceto::removeTemporariesOnSignals(); // a save cut short by a signal leaves no temporary file
    QCoreApplication::setOrganizationName("Hollowbark");
    QCoreApplication::setApplicationName("Faceto");
    QCoreApplication::setApplicationVersion(faceto::VERSION);
    // --help and --version are answered before any window (or display) is needed.
    {
        QCoreApplication reading(argc, argv);
        QCommandLineParser parser;
        describe(parser);
        parser.parse(QCoreApplication::arguments()); // the toolkit's own options are not known here
        if (parser.isSet("help")) {
            parser.showHelp(); // exits
        }
        if (parser.isSet("version")) {
            parser.showVersion(); // exits
        }
    }
    QApplication application(argc, argv); // takes the toolkit's options (-platform, -style, ...) out
    QGuiApplication::setDesktopFileName("org.faceto.Faceto");
    faceto::installTranslations(application, QLocale::system());
    QCommandLineParser parser;
    describe(parser);
    parser.process(application); // a wrong option is told on stderr, with the status 1
    const QStringList files = parser.positionalArguments();
    faceto::QtDialogs dialogs;
    faceto::CFacetoApp app(std::make_unique<faceto::QtProfile>(), dialogs);
    // Files named on the command line open as documents: it is how "open with" reaches the editor.
    if (!app.startUp(files)) {
        return 1;
    }
    return QApplication::exec();
}
