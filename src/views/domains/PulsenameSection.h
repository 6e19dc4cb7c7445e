#pragma once

// The domain's Pulsename tab: one card with the form that adds a dynamic-DNS entry and the domain's
// entries, each deletable after confirmation. The form edits the view's input fields.

#include "model/Records.h"

#include <QWidget>

class AppStateStore;
class DomainsView;

class PulsenameSection final : public QWidget {
    Q_OBJECT
public:
    PulsenameSection(AppStateStore& store, DomainsView& view, const HalvoDomain& domain, QWidget* parent = nullptr);

    /// Adds the entry of the form (nothing when the subdomain or the address is empty as typed).
    static void addPulsename(AppStateStore& store, DomainsView& view, const QString& domain);
    /// Asks before removing the entry from the local snapshot.
    static void confirmDeletePulsename(AppStateStore& store, const QString& domain, const HalvoPulsename& entry);
};
