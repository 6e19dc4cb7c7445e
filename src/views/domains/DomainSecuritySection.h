#pragma once

// The domain's security tab: transfer lock and DNSSEC switches, the authoritative name servers and the
// glue records registered at the registry. The section shows one domain as it was when built; the forms
// edit the view's input fields. Every change goes through the store.

#include "model/Records.h"

#include <QWidget>

class AppStateStore;
class DomainsView;

class DomainSecuritySection final : public QWidget {
    Q_OBJECT
public:
    DomainSecuritySection(AppStateStore& store, DomainsView& view, const HalvoDomain& domain,
                          QWidget* parent = nullptr);

    /// Whether the security card is shown: unless the lock is unavailable and DNSSEC is unsupported.
    static bool showsSecurityCard(const HalvoDomain& domain);

    /// Locks at once; unlocking asks first.
    static void toggleTransferLock(AppStateStore& store, const HalvoDomain& domain);
    /// Asks before switching DNSSEC to the other state.
    static void confirmToggleDNSSEC(AppStateStore& store, const HalvoDomain& domain);
    /// Asks before replacing the name servers by the filled inputs (nothing when both are blank).
    static void confirmNameServerChange(AppStateStore& store, DomainsView& view, const QString& domain);
    /// Registers the glue record of the form (nothing when either input is empty).
    static void addGlueRecord(AppStateStore& store, DomainsView& view, const QString& domain);
    /// Asks before deleting the glue record.
    static void confirmDeleteGlueRecord(AppStateStore& store, const QString& domain, const QString& host);

private:
    QWidget* securityCard(AppStateStore& store, const HalvoDomain& domain);
    QWidget* nameServerCard(AppStateStore& store, DomainsView& view, const HalvoDomain& domain);
    QWidget* glueCard(AppStateStore& store, DomainsView& view, const HalvoDomain& domain);
};
