#pragma once

// The application's run from start to quit: one instance per data folder, the theme, the cache, the
// keychain, the API client, the store and the main window.

#include <functional>

class QWidget;

/// Runs the application and returns its exit code. `windowCreated`, when given, sees the main window before
/// it is shown (the start-up benchmark watches for its first frame this way).
int runApplication(int argc, char** argv, const std::function<void(QWidget& window)>& windowCreated = {});
