#pragma once

// The domain's Pulsename tab: one card with the form that adds a dynamic-DNS entry and the domain's
// entries, each deletable after confirmation. The form edits the view's input state.

#include "model/Records.h"
#include "views/domains/DomainsState.h"

#include <QWidget>

class AppStateStore;

class PulsenameSection final : public QWidget {
    Q_OBJECT
public:
    PulsenameSection(AppStateStore& store, DomainsState& state, const HalvoDomain& domain, QWidget* parent = nullptr);

    /// Adds the entry of the form (nothing when the subdomain or the address is empty as typed); whether it
    /// did, which cleared the address input.
    static bool addPulsename(AppStateStore& store, DomainsState& state, const QString& domain);
    /// Asks before removing the entry from the local snapshot.
    static void confirmDeletePulsename(AppStateStore& store, const QString& domain, const HalvoPulsename& entry);

Q_SIGNALS:
    /// An action cleared some of the inputs; the fields show the state again.
    void inputsCleared();
};
