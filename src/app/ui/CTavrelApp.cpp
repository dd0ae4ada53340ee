#include "app/ui/CTavrelApp.h"

#include <clocale>

#include "app/ui/CTavrelDlg.h"
#include "ui/AppIcons.h"

namespace tavrel {

CTavrelApp::CTavrelApp(int& argc, char** argv) : QApplication(argc, argv) {
    // The application object takes the user's locale for everything, numbers included; our
    // files are written and read with a decimal point whatever the desktop language is.
    std::setlocale(LC_NUMERIC, "C");
    setApplicationName(QStringLiteral("Tavrel"));
    setWindowIcon(AppIcon(128));
}

int CTavrelApp::Run() {
    CTavrelDlg dialog;
    dialog.exec();
    return 0;
}

}  // namespace tavrel
