#pragma once

// Coalesces the store's change signals into one refresh on the next turn of the event loop, so that no
// widget is rebuilt while its own signal is being handled.

#include <QObject>

#include <functional>

class AppStateStore;

class HalvoRefreshScheduler final : public QObject {
    Q_OBJECT
public:
    /// Listens to the store's snapshot, account and search changes; `owner` is the view (also the parent).
    HalvoRefreshScheduler(AppStateStore* store, QObject* owner, std::function<void()> refresh);

    /// Asks for one refresh on the next turn of the event loop (several asks run it once).
    void schedule();
    /// Runs a pending refresh now (tests and first show).
    void flush();
    bool isPending() const { return m_pending; }

private:
    std::function<void()> m_refresh;
    bool m_pending = false;
};
