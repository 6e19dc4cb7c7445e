// The baseline of the start-up benchmark: an empty Qt Widgets main window, ending after its first frame.

#include "FirstFrame.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(1440, 900);
    halvo::bench::quitAfterFirstFrame(window);
    window.show();
    return QApplication::exec();
}
