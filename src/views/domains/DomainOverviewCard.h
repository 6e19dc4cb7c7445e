#pragma once

// The header band of a domain's detail: icon tile, name with transfer-lock and DNSSEC badges, owner and name
// servers, a line of facts, and the two buttons for the zone-file export and the AuthInfo/EPP code. The
// card shows one domain as it was when built; the view builds a new one when the domain changes.

#include "model/Records.h"

#include <QString>
#include <QWidget>

namespace halvo::domains {

/// The domain's zone as a master file: "$ORIGIN name.", "$TTL 3600", then one line per record (host, TTL,
/// "IN", type, target, separated by tabs), lines joined by line feeds, no line feed after the last record.
QString zoneFileText(const HalvoDomain& domain);

/// The AuthInfo/EPP code shown for a domain (see halvo::authInfoCode).
QString authInfoCode(const QString& domainName);

} // namespace halvo::domains

class DomainOverviewCard final : public QWidget {
    Q_OBJECT
public:
    explicit DomainOverviewCard(const HalvoDomain& domain, QWidget* parent = nullptr);

    const HalvoDomain& domain() const { return m_domain; }

Q_SIGNALS:
    /// The user pressed "BIND Zonen-Datei Export".
    void exportPressed(const QString& domain);
    /// The user pressed "AuthInfo / EPP-Code kopieren".
    void authInfoPressed(const QString& domain);

private:
    HalvoDomain m_domain;
};
