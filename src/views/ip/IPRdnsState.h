#pragma once

#include "views/ip/IPManagerSubTab.h"

#include <QString>
#include <QStringList>

#include <optional>

/// The view's own input state. It lives as long as the view; nothing is reset when another block is
/// selected.
struct IPRdnsState {
    std::optional<QString> selectedBlockId;
    IPManagerSubTab activeTab = IPManagerSubTab::subnetAndRdns;
    // details and reverse DNS
    QString descriptionInput;
    QString newReverseIP;
    QString newReverseHost;
    QString newDelegationNS;
    // virtual MACs and failover routing
    QString vmacIPInput;
    QString vmacVMNameInput;
    QString vmacType = QStringLiteral("halvo");
    QString targetMoveService;
    // edge firewall
    qint64 ruleSeq = 0;
    QString ruleAction = QStringLiteral("permit");
    QString ruleProto = QStringLiteral("tcp");
    QString ruleSource = QStringLiteral("any");
    QString rulePort = QStringLiteral("443");
    // game firewall
    QString gameProto = QStringLiteral("wireguard");
    QString gameStartPort = QStringLiteral("51820");
    QString gameEndPort = QStringLiteral("51820");

    /// The protocol profiles the game-firewall form offers, in this order.
    static inline const QStringList gameProtocols{
        QStringLiteral("wireguard"),  QStringLiteral("fiveM"), QStringLiteral("minecraftPocketEdition"),
        QStringLiteral("source"),     QStringLiteral("rust"),  QStringLiteral("arkSurvivalEvolved"),
        QStringLiteral("teamSpeak3"), QStringLiteral("other")};
};
