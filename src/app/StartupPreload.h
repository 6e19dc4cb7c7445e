#pragma once

#include <QByteArray>

#include <thread>

/// Does the slow first steps of the first window's text and symbols on a thread of its own while the application
/// connects to the display, which leaves the main thread mostly waiting: reads the system's font configuration
/// (its files and font caches) and loads the image plugin the theme's symbols are drawn with. Both are kept once
/// per process, so the toolkit finds them ready when the window asks for them.
class StartupPreload {
public:
    /// Starts the thread. Runs before the application object exists, so the thread calls no Qt code: it only loads.
    StartupPreload();
    ~StartupPreload();
    StartupPreload(const StartupPreload&) = delete;
    StartupPreload& operator=(const StartupPreload&) = delete;

    /// Returns once both are done. Call it before anything draws or measures text: a request that comes while the
    /// font configuration is still being read reads it a second time.
    void wait();

    /// The file of the image plugin that is loaded: the vector-image plugin where the toolkit looks for it first.
    static QByteArray symbolImagePlugin();

private:
    std::thread m_thread;
};
