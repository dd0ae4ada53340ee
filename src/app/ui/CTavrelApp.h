#pragma once
// The application object: no document and no frame window, just the main window run modally.

#include <QApplication>

namespace tavrel {

class CTavrelApp : public QApplication {
    Q_OBJECT
public:
    CTavrelApp(int& argc, char** argv);
    // Runs the main window; the program ends when it closes.
    int Run();
};

}  // namespace tavrel
