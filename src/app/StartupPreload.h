#pragma once

#include <thread>

/// Reads the system's font configuration (its files and font caches) on a thread of its own while the application
/// connects to the display, which leaves the main thread mostly waiting. It is the largest single step before the
/// first window's text can be measured; the configuration is kept once per process, so the toolkit finds it read.
class StartupPreload {
public:
    /// Starts the thread. Runs before the application object exists, so the thread calls no Qt code.
    StartupPreload();
    /// Waits for the thread.
    ~StartupPreload();
    StartupPreload(const StartupPreload&) = delete;
    StartupPreload& operator=(const StartupPreload&) = delete;

    /// Returns once the configuration is read. Call it before anything draws or measures text: a request that comes
    /// while it is still being read reads it a second time.
    void wait();

private:
    std::thread m_thread;
};
