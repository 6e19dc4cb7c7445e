#pragma once

// The domains view's own input state with its defaults; it lives as long as the view, and the tabs edit it.

#include "views/domains/DomainManagerSubTab.h"

#include <QString>

#include <optional>

struct DomainsState {
    std::optional<QString> selectedDomainId;
    DomainManagerSubTab activeTab = DomainManagerSubTab::dnsZone;
    QString newSubDomain;
    QString newRecordType = QStringLiteral("A");
    QString newTarget;
    qint64 newTTL = 3600;
    QString ns1Input;
    QString ns2Input;
    QString glueHostInput;
    QString glueIPInput;
    QString dynSubInput = QStringLiteral("home");
    QString dynIPInput;
    QString dynLoginInput = QStringLiteral("router-login");
    bool showBINDExportSheet = false;
};
