#pragma once

// The one observable store of the application. It lives on the main thread; every published property has
// its change signal. Actions change the active account's snapshot at once (saved to the cache on its
// worker), write a German sentence to the status line and then send the signed request, if the account
// has credentials. No action returns a result or reports a failure to its caller.

#include "model/Account.h"
#include "store/NavigationSection.h"
#include "ui/HalvoConfirmRequest.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>

class SQLiteCacheEngine;
class CredentialStore;
class HalvoAPIClient;
struct KeychainCredentials;
namespace halvo::api {
struct HalvoRequest;
}

class AppStateStore final : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    /// Returns a uniformly drawn integer from 0 to `bound` - 1.
    using Random = std::function<quint32(quint32 bound)>;

    static inline const QString kInitialMessage = QStringLiteral("Bereit – Halvo Live API v1 & SQLite3 Instant-Cache");

    /// Loads accounts and snapshots from the cache; when its account table has no rows at all, writes the
    /// demonstration data into it (all or nothing) and uses that. The first account becomes active. What
    /// cannot be read or written ends as a sentence in the status line; an account whose stored snapshot
    /// cannot be read whole is shown with what could be read and is never saved over.
    AppStateStore(SQLiteCacheEngine& cache, CredentialStore& credentials, HalvoAPIClient& api,
                  QObject* parent = nullptr);
    ~AppStateStore() override;

    void setClock(Clock clock);
    void setRandom(Random random);

    // ---- reading, navigation, confirmation ----

    const QList<HalvoAccount>& accounts() const;
    std::optional<QUuid> activeAccountId() const;
    /// The active account, or none.
    std::optional<HalvoAccount> activeAccount() const;
    const QHash<QUuid, HalvoAccountSnapshot>& snapshots() const;
    /// The active account's snapshot, or an empty snapshot dated now when none is held. Cheap to copy.
    HalvoAccountSnapshot activeSnapshot() const;

    NavigationSection selectedSection() const;
    void setSelectedSection(NavigationSection section);

    /// Exactly as the search field holds it, not trimmed.
    QString searchText() const;
    void setSearchText(const QString& text);

    /// What a status sentence reports: an action or a copy as done, or a request that failed.
    enum class MessageKind { report, failure };
    /// The longest status sentence in characters; a longer text is cut with "…".
    static constexpr qsizetype kMaxMessageLength = 500;

    QString lastActionMessage() const;
    MessageKind lastActionMessageKind() const;
    /// Replaces the status sentence. It is kept as one line (line breaks become a blank, other control
    /// characters go), at most `kMaxMessageLength` characters, and every credential of the accounts that
    /// the store knows shows as "…". However long the text, this costs what one line costs.
    void setLastActionMessage(const QString& message, MessageKind kind = MessageKind::report);

    const std::optional<HalvoConfirmRequest>& pendingConfirmation() const;
    /// Publishes the request, replacing any pending one.
    void requestConfirmation(HalvoConfirmRequest request);
    /// Takes the pending request away (the sheet calls this when it closes).
    void clearPendingConfirmation();

    // ---- the request step ----

    /// Sends the signed request for the active account when it has complete credentials; otherwise does
    /// nothing. On failure writes "API Rückmeldung (METHOD PATH): description" with the path's raw values,
    /// as a failure.
    void performAPIAction(const QString& method, const QString& path, const std::optional<QByteArray>& body);

    /// Whether requests of earlier actions are still waiting for the keychain, their turn or their answer.
    bool hasPendingRequests() const;

    // ---- domain actions ----
    void addDNSRecord(const QString& domain, const QString& subDomain, const QString& fieldType, const QString& target,
                      qint64 ttl);
    void deleteDNSRecord(const QString& domain, qint64 recordId);
    void toggleDomainTransferLock(const QString& domain);
    void toggleDNSSEC(const QString& domain);
    void updateNameServers(const QString& domain, const QStringList& nameServers);
    void addGlueRecord(const QString& domain, const QString& host, const QString& ip);
    void deleteGlueRecord(const QString& domain, const QString& host);
    void addPulsenameRecord(const QString& domain, const QString& subDomain, const QString& ip, const QString& login);
    void removePulsenameRecordLocally(const QString& domain, const QString& subDomain);

    // ---- VPS actions ----
    enum class VPSPowerAction { start, reboot, rescue, stop };
    /// The key of the action as the status line names it: "start", "reboot", "rescue" or "stop".
    static QString key(VPSPowerAction action);
    void performVPSPowerAction(const QString& name, VPSPowerAction action);
    /// The same by key; an unknown key does nothing.
    void performVPSPowerAction(const QString& name, const QString& action);
    void toggleVPSSLAMonitoring(const QString& name);
    void createVPSSnapshot(const QString& name, const QString& description);

    // ---- dedicated-server actions ----
    enum class DedicatedServerAction {
        reboot,
        bootRescue,
        bootDisk,
        toggleMonitoring,
        toggleNoIntervention,
        toggleFirewall,
        resetBackupFTPPassword
    };
    void performDedicatedServerAction(const QString& name, DedicatedServerAction action);
    /// The same by key: "reboot", "boot-rescue", "boot-disk", "toggle-monitoring", "toggle-no-intervention",
    /// "toggle-firewall" or "reset-backup-ftp-password"; an unknown key does nothing.
    void performDedicatedServerAction(const QString& name, const QString& action);
    void setDedicatedServerReverse(const QString& name, const QString& host);
    void setDedicatedRescueMail(const QString& name, const QString& mail);
    /// An empty service name detaches the server locally.
    void toggleDedicatedServerMeshbay(const QString& name, const QString& meshbayService);
    void addBackupFTPAccess(const QString& name, const QString& ipBlock);

    // ---- IP-block actions ----
    void updateIPBlockDescription(const QString& block, const QString& description);
    void setReverseDNS(const QString& block, const QString& ip, const QString& host);
    void deleteReverseDNS(const QString& block, const QString& ip);
    void delegateReverseSubnet(const QString& block, const QString& nameServer);
    void addVirtualMAC(const QString& block, const QString& ip, const QString& vmName, const QString& type);
    void deleteVirtualMAC(const QString& block, const QString& ip, const QString& mac);
    void moveFailoverIP(const QString& block, const QString& target);
    void toggleEdgeFirewall(const QString& block);
    void setTidewallMitigation(const QString& block);
    void addFirewallRule(const QString& block, qint64 sequence, const QString& action, const QString& protocol,
                         const QString& source, const std::optional<QString>& port);
    void deleteFirewallRule(const QString& block, qint64 sequence);
    void unblockARPIP(const QString& block, const QString& blockedIp);
    void addGameFirewallRule(const QString& block, const QString& profile, qint64 startPort, qint64 endPort);
    void removeGameFirewallRuleLocally(const QString& block, qint64 ruleId);

Q_SIGNALS:
    void accountsChanged();
    void activeAccountChanged();
    void snapshotsChanged();
    void selectedSectionChanged();
    void searchTextChanged();
    /// The sentence or its kind changed.
    void lastActionMessageChanged();
    void pendingConfirmationChanged();
    /// Every request of the actions so far has been answered or found that it cannot be sent.
    void requestsSettled();

private:
    struct QueuedAction;

    /// Sends the requests of one action for the active account, each after the previous one's answer. With
    /// an item, the action waits until every request of the earlier actions on that item has been answered.
    void sendInOrder(const QList<halvo::api::HalvoRequest>& requests, const QString& item);
    /// Reads the credentials and sends the action's requests; the item's next action follows its end.
    void start(const QueuedAction& action);
    void sendFrom(const QueuedAction& action, const KeychainCredentials& credentials, qsizetype index);
    void actionDone(const QString& queue);
    /// Applies `change` to the first item of the active snapshot's list whose key equals `id`, stamps, keeps
    /// and queues the snapshot for the cache, and names the item for the requests that `report` sends.
    /// False, with nothing changed, when there is no such item.
    template <class Item, class Change>
    bool changeItem(QList<Item> HalvoAccountSnapshot::*list, QString Item::*key, const QString& id, Change&& change);
    /// Writes the status sentence, then sends the requests, in order after the earlier ones on the item
    /// that `changeItem` changed.
    void report(const QString& sentence, const QList<halvo::api::HalvoRequest>& requests);
    /// Writes a sentence about the local cache on the next turn of the event loop.
    void reportCacheProblem(const QString& sentence);

    struct Private;
    std::unique_ptr<Private> d;
};
