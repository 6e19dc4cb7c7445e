// The application, ending after its first painted frame.

#include "FirstFrame.h"
#include "app/Application.h"

int main(int argc, char** argv) {
    return runApplication(argc, argv, [](QWidget& window) { halvo::bench::quitAfterFirstFrame(window); });
}
