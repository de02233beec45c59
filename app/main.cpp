// Faceto, the editor.
#include "app/CFacetoApp.h"
#include "app/CMainFrame.h"
#include "formats/Temporaries.h"
#include "model/Version.h"

#include <QApplication>

int main(int argc, char** argv) {
    faceto::removeTemporariesOnSignals(); // a save cut short by a signal leaves no temporary file
    QApplication application(argc, argv);
    QApplication::setOrganizationName("Hollowbark");
    QApplication::setApplicationName("Faceto");
    QApplication::setApplicationVersion(faceto::VERSION);

    faceto::QtDialogs dialogs;
    faceto::CFacetoApp app(std::make_unique<faceto::QtProfile>(), dialogs);
    // Files named on the command line open as documents: it is how "open with" reaches the editor.
    QStringList files = QApplication::arguments();
    files.removeFirst();
    if (!app.startUp(files)) {
        return 1;
    }
    return QApplication::exec();
}
