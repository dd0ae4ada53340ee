// The desktop program: the application object runs the main window and ends with it.

#include "app/ui/CTavrelApp.h"

using namespace tavrel;

int main(int argc, char** argv) {
    CTavrelApp app(argc, argv);
    return app.Run();
}
