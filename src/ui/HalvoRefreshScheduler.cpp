#include "ui/HalvoRefreshScheduler.h"

#include "store/AppStateStore.h"

#include <QTimer>

HalvoRefreshScheduler::HalvoRefreshScheduler(AppStateStore* store, QObject* owner, std::function<void()> refresh)
    : QObject(owner)
    , m_refresh(std::move(refresh)) {
    if (!store)
        return;
    connect(store, &AppStateStore::snapshotsChanged, this, &HalvoRefreshScheduler::schedule);
    connect(store, &AppStateStore::activeAccountChanged, this, &HalvoRefreshScheduler::schedule);
    connect(store, &AppStateStore::accountsChanged, this, &HalvoRefreshScheduler::schedule);
    connect(store, &AppStateStore::searchTextChanged, this, &HalvoRefreshScheduler::schedule);
}

void HalvoRefreshScheduler::schedule() {
    if (m_pending)
        return;
    m_pending = true;
    // A zero timer with this object as context: it runs after the handler that asked has returned, and never
    // after the view (our parent) is gone.
    QTimer::singleShot(0, this, [this] { flush(); });
}

void HalvoRefreshScheduler::flush() {
    if (!m_pending)
        return;
    m_pending = false;
    if (m_refresh)
        m_refresh();
}
