// Faceto, the editor.
#include "app/CFacetoApp.h"
#include "app/CMainFrame.h"
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
    // The command line is read before any window (or display) is needed: --help, --version and a
    // wrong option are answered on the terminal.
    QStringList files;
    {
        QCoreApplication reading(argc, argv);
        QCommandLineParser parser;
        describe(parser);
        parser.process(reading); // prints the help, the version or what is wrong, and exits
        files = parser.positionalArguments();
    }
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName("org.faceto.Faceto");
    faceto::QtDialogs dialogs;
    faceto::CFacetoApp app(std::make_unique<faceto::QtProfile>(), dialogs);
    // Files named on the command line open as documents: it is how "open with" reaches the editor.
    if (!app.startUp(files)) {
        return 1;
    }
    return QApplication::exec();
}
