#pragma once

// The domain's security tab: transfer lock and DNSSEC switches, the authoritative name servers and the
// glue records registered at the registry. The section shows one domain as it was when built; the forms
// edit the view's input state. Every change goes through the store; the name-server change is confirmed by
// the view.

#include "model/Records.h"
#include "views/domains/DomainsState.h"

#include <QWidget>

class AppStateStore;

class DomainSecuritySection final : public QWidget {
    Q_OBJECT
public:
    DomainSecuritySection(AppStateStore& store, DomainsState& state, const HalvoDomain& domain,
                          QWidget* parent = nullptr);

    /// Whether the security card is shown: unless the lock is unavailable and DNSSEC is unsupported.
    static bool showsSecurityCard(const HalvoDomain& domain);

    /// Locks at once; unlocking asks first.
    static void toggleTransferLock(AppStateStore& store, const HalvoDomain& domain);
    /// Asks before switching DNSSEC to the other state.
    static void confirmToggleDNSSEC(AppStateStore& store, const HalvoDomain& domain);
    /// Registers the glue record of the form (nothing when either input is empty); whether it did, which
    /// cleared the inputs.
    static bool addGlueRecord(AppStateStore& store, DomainsState& state, const QString& domain);
    /// Asks before deleting the glue record.
    static void confirmDeleteGlueRecord(AppStateStore& store, const QString& domain, const QString& host);

Q_SIGNALS:
    /// The user asked to replace the domain's name servers by the filled inputs.
    void nameServerChangeRequested(const QString& domain);
    /// An action cleared some of the inputs; the fields show the state again.
    void inputsCleared();

private:
    QWidget* securityCard(AppStateStore& store, const HalvoDomain& domain);
    QWidget* nameServerCard(DomainsState& state, const HalvoDomain& domain);
    QWidget* glueCard(AppStateStore& store, DomainsState& state, const HalvoDomain& domain);
};
