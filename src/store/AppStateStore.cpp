#include "store/AppStateStore.h"

#include "api/HalvoAPIClient.h"
#include "api/HalvoRequest.h"
#include "model/Text.h"
#include "storage/CredentialStore.h"
#include "storage/SQLiteCacheEngine.h"
#include "store/DemoData.h"

#include <QJsonArray>
#include <QPointer>
#include <QRandomGenerator>
#include <QSet>

#include <algorithm>

using halvo::api::ApiPath;
using halvo::api::HalvoRequest;
using halvo::api::OrderedJsonObject;

namespace {

/// New DNS records get ids from this range, so they never meet the provider's own ids.
constexpr qint64 kFirstLocalRecordId = 900000;
constexpr quint32 kLocalRecordIdSpan = 100000;
/// New game-firewall rules get ids from this range.
constexpr qint64 kFirstGameRuleId = 1000;
constexpr quint32 kGameRuleIdSpan = 9000;
/// The netboot ids of the rescue system and of the local disk.
constexpr qint64 kRescueBootId = 1122;
constexpr qint64 kDiskBootId = 1;
/// The first three octets of a new virtual MAC (a locally administered address).
constexpr QLatin1StringView kVirtualMacPrefix("02:00:00");

QString onOff(bool on) {
    return on ? QStringLiteral("aktiviert") : QStringLiteral("deaktiviert");
}

QString withTrailingDot(const QString& host) {
    return host.endsWith(QLatin1Char('.')) ? host : host + QLatin1Char('.');
}

template <class Item, class Key, class Value>
qsizetype removeAllWith(QList<Item>& items, Key Item::*key, const Value& value) {
    return items.removeIf([&](const Item& item) { return item.*key == value; });
}

/// The ids in use in one list, with what drawing a new one from the range `base` to `base + span - 1` needs.
class UsedIds {
public:
    UsedIds(qint64 base, quint32 span)
        : m_base(base)
        , m_span(span)
        , m_highest(base - 1) {}

    void insert(qint64 id) {
        if (m_ids.contains(id))
            return;
        m_ids.insert(id);
        if (id >= m_base && id < m_base + m_span)
            ++m_inRange;
        m_highest = std::max(m_highest, id);
    }
    bool contains(qint64 id) const { return m_ids.contains(id); }
    bool isRangeFull() const { return m_inRange >= qsizetype(m_span); }
    qint64 base() const { return m_base; }
    quint32 span() const { return m_span; }
    qint64 highest() const { return m_highest; }

private:
    QSet<qint64> m_ids;
    qint64 m_base;
    quint32 m_span;
    qint64 m_highest;
    qsizetype m_inRange = 0;
};

// ---- sentences about the local cache ----

QString faultText(int sqliteResult) {
    switch (SQLiteCacheEngine::faultOf(sqliteResult)) {
    case SQLiteCacheEngine::Fault::cannotOpen:
        return QStringLiteral("Datei lässt sich nicht öffnen");
    case SQLiteCacheEngine::Fault::notACache:
        return QStringLiteral("keine Cache-Datei");
    case SQLiteCacheEngine::Fault::damaged:
        return QStringLiteral("Datei beschädigt");
    case SQLiteCacheEngine::Fault::readOnly:
        return QStringLiteral("keine Schreibrechte");
    case SQLiteCacheEngine::Fault::locked:
        return QStringLiteral("von einem anderen Programm gesperrt");
    case SQLiteCacheEngine::Fault::diskFull:
        return QStringLiteral("Datenträger voll");
    case SQLiteCacheEngine::Fault::ioError:
        return QStringLiteral("Lese- oder Schreibfehler");
    case SQLiteCacheEngine::Fault::other:
        break;
    }
    return QStringLiteral("SQLite-Fehler ") + QString::number(sqliteResult);
}

QString quoted(const QString& text) {
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

/// A credential shorter than this is not looked for in status texts: it would hide ordinary words, and the
/// provider's keys are far longer.
constexpr qsizetype kMinimumSecretLength = 6;

const QString kEllipsis = QStringLiteral("…");

bool breaksLine(QChar c) {
    switch (c.unicode()) {
    case u'\t':
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case 0x85:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

/// The text as one status line: line breaks and tabs become one blank, other control characters go, every
/// secret shows as "…", and a text longer than `limit` is cut to `limit` characters ending in "…". Only the
/// part of the text that can show is read (plus room to find a secret that starts within it).
QString statusLine(const QString& text, QList<QString> secrets, qsizetype limit) {
    // The longest first, so that a secret holding another one goes whole.
    std::sort(secrets.begin(), secrets.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
    const qsizetype window = limit + (secrets.isEmpty() ? 0 : secrets.first().size());

    QString line;
    line.reserve(std::min(text.size(), window));
    qsizetype next = 0;
    for (; next < text.size() && line.size() < window; ++next) {
        const QChar c = text[next];
        if (breaksLine(c)) {
            if (!line.endsWith(QLatin1Char(' ')))
                line += QLatin1Char(' ');
        } else if (c.category() != QChar::Other_Control) {
            line += c;
        }
    }
    for (const QString& secret : std::as_const(secrets))
        line.replace(secret, kEllipsis);
    if (next < text.size() || line.size() > limit) {
        qsizetype cut = limit - kEllipsis.size();
        if (cut > 0 && line[cut - 1].isHighSurrogate())
            --cut;
        line = line.left(cut) + kEllipsis;
    }
    return line;
}

/// The item an action changes, as the key of its request queue.
template <class Item> QString itemKey(const QUuid& account, const QString& id) {
    const char* kind = nullptr;
    if constexpr (std::is_same_v<Item, HalvoDomain>)
        kind = "domain";
    else if constexpr (std::is_same_v<Item, HalvoVPS>)
        kind = "vps";
    else if constexpr (std::is_same_v<Item, HalvoServer>)
        kind = "server";
    else if constexpr (std::is_same_v<Item, HalvoIPBlock>)
        kind = "ip";
    else
        static_assert(sizeof(Item) == 0, "an item kind without a request queue");
    return account.toString(QUuid::WithoutBraces) + QLatin1Char(' ') + QLatin1StringView(kind) + QLatin1Char(' ') + id;
}

} // namespace

/// One action's requests for the account whose snapshot it changed.
struct AppStateStore::QueuedAction {
    HalvoAccount account;
    QList<HalvoRequest> requests;
    /// The item's queue, or empty for a request step without an item.
    QString queue;
};

struct AppStateStore::Private {
    Private(SQLiteCacheEngine& cache, CredentialStore& credentials, HalvoAPIClient& api)
        : cache(cache)
        , credentials(credentials)
        , api(api) {}

    SQLiteCacheEngine& cache;
    CredentialStore& credentials;
    HalvoAPIClient& api;
    Clock clock = [] { return QDateTime::currentDateTimeUtc(); };
    Random random = [](quint32 bound) { return QRandomGenerator::global()->bounded(bound); };

    QList<HalvoAccount> accounts;
    std::optional<QUuid> activeAccountId;
    QHash<QUuid, HalvoAccountSnapshot> snapshots;
    NavigationSection selectedSection = NavigationSection::domains;
    QString searchText;
    QString lastActionMessage = kInitialMessage;
    MessageKind lastActionMessageKind = MessageKind::report;
    std::optional<HalvoConfirmRequest> pendingConfirmation;

    /// The item that the last `changeItem` changed, until `report` takes it.
    QString changedItem;
    /// Per item, the actions whose requests wait; the first one is under way.
    QHash<QString, QList<QueuedAction>> itemQueues;
    /// Actions from their report until their last answer.
    int pendingActions = 0;
    /// Credentials read from the keychain in this run, kept only to keep them out of the status line.
    QSet<QString> knownSecrets;

    QList<QString> secrets() const {
        QSet<QString> all = knownSecrets;
        for (const HalvoAccount& account : accounts)
            all.insert(account.appKey);
        QList<QString> result;
        for (const QString& secret : std::as_const(all)) {
            if (secret.size() >= kMinimumSecretLength)
                result.append(secret);
        }
        return result;
    }

    /// The accounts whose stored snapshot could not be read whole: their row is never overwritten.
    QSet<QUuid> unsavable;
    /// The demonstration data could not be written at the start; it is tried again at the next change.
    bool demonstrationUnsaved = false;
    /// Counts the changes of the snapshots.
    quint64 revision = 0;
    /// The record ids of the zone a record was last added to, kept for the next addition there while no
    /// other change came in between, so that adding to a large zone does not go through all its records.
    struct ZoneIds {
        QUuid account;
        QString domain;
        quint64 revision = 0;
        UsedIds ids;
    };
    std::optional<ZoneIds> zoneIds;

    /// A number of the range of `used` that no id in `used` has. Drawn again while taken; when every number
    /// of the range is taken, the one above the highest id.
    qint64 unusedId(const UsedIds& used) const {
        if (used.isRangeFull())
            return used.highest() + 1;
        qint64 id = 0;
        do {
            id = used.base() + random(used.span());
        } while (used.contains(id));
        return id;
    }

    QString labelOf(const QUuid& accountId) const {
        for (const HalvoAccount& account : accounts) {
            if (account.id == accountId)
                return account.label;
        }
        return accountId.toString(QUuid::WithoutBraces);
    }

    /// Takes what the cache holds; writes the demonstration data when it holds no account row at all.
    /// Answers the sentences of what could not be read or written, most important first.
    QStringList start(SQLiteCacheEngine::Contents contents);
    /// Writes the demonstration data again after it failed at the start.
    void retryDemonstration(AppStateStore& store);
};

QStringList AppStateStore::Private::start(SQLiteCacheEngine::Contents contents) {
    QStringList problems;
    if (contents.error != 0) {
        // Nothing can be told about the file's accounts; demonstration data would stand in for the user's own.
        problems << QStringLiteral("Lokaler Cache nicht verfügbar (") + faultText(contents.error) +
                        QStringLiteral("): ") + cache.filePath() +
                        QStringLiteral(" – Änderungen werden nicht gespeichert.");
        return problems;
    }
    if (contents.accountRows == 0) {
        const halvo::demo::DemoData demo = halvo::demo::build(clock());
        int error = 0;
        switch (cache.seed(demo.accounts, demo.snapshots, &error)) {
        case SQLiteCacheEngine::SeedResult::notEmpty:
            // Another writer filled the file meanwhile: what it holds now counts.
            return start(cache.load());
        case SQLiteCacheEngine::SeedResult::failed:
            demonstrationUnsaved = true;
            problems << QStringLiteral("Lokaler Cache: Demodaten nicht gespeichert (") + faultText(error) +
                            QStringLiteral(") – Änderungen werden nicht gespeichert, neuer Versuch bei der nächsten "
                                           "Änderung.");
            [[fallthrough]];
        case SQLiteCacheEngine::SeedResult::written:
            accounts = demo.accounts;
            for (const HalvoAccountSnapshot& snapshot : demo.snapshots)
                snapshots.insert(snapshot.accountId, snapshot);
            return problems;
        }
    }
    accounts = std::move(contents.accounts);
    snapshots = std::move(contents.snapshots);
    if (cache.isReadOnly())
        problems << QStringLiteral("Lokaler Cache schreibgeschützt: ") + cache.filePath() +
                        QStringLiteral(" – Änderungen werden nicht gespeichert.");
    if (const qsizetype unreadable = contents.accountRows - accounts.size(); unreadable > 0)
        problems << QStringLiteral("Lokaler Cache: ") + QString::number(unreadable) + QStringLiteral(" von ") +
                        QString::number(contents.accountRows) +
                        QStringLiteral(" Accounts nicht lesbar – nicht angezeigt, in der Datei unverändert.");
    // In the order of the account list, so that the active account's comes first.
    for (const HalvoAccount& account : std::as_const(accounts)) {
        if (contents.unreadableSnapshots.contains(account.id)) {
            unsavable.insert(account.id);
            problems << QStringLiteral("Lokaler Cache: Daten von ") + quoted(account.label) +
                            QStringLiteral(" nicht lesbar – nicht angezeigt; Änderungen an diesem Account werden "
                                           "nicht gespeichert.");
        } else if (const qsizetype skipped = contents.skippedItems.value(account.id); skipped > 0) {
            // Saving what could be read would drop the rest from the file for good.
            unsavable.insert(account.id);
            problems << QStringLiteral("Lokaler Cache: ") + QString::number(skipped) +
                            (skipped == 1 ? QStringLiteral(" Eintrag") : QStringLiteral(" Einträge")) +
                            QStringLiteral(" von ") + quoted(account.label) +
                            QStringLiteral(" nicht lesbar – ausgeblendet; Änderungen an diesem Account werden nicht "
                                           "gespeichert.");
        }
    }
    return problems;
}

void AppStateStore::Private::retryDemonstration(AppStateStore& store) {
    QList<HalvoAccountSnapshot> ordered;
    for (const HalvoAccount& account : std::as_const(accounts)) {
        if (const auto found = snapshots.constFind(account.id); found != snapshots.constEnd())
            ordered.append(*found);
    }
    int error = 0;
    switch (cache.seed(accounts, ordered, &error)) {
    case SQLiteCacheEngine::SeedResult::written:
        demonstrationUnsaved = false;
        return;
    case SQLiteCacheEngine::SeedResult::notEmpty:
        demonstrationUnsaved = false;
        for (const HalvoAccountSnapshot& snapshot : std::as_const(ordered))
            cache.saveSnapshot(snapshot);
        return;
    case SQLiteCacheEngine::SeedResult::failed:
        store.reportCacheProblem(QStringLiteral("Lokaler Cache: Änderungen nicht gespeichert (") + faultText(error) +
                                 QStringLiteral(") – neuer Versuch bei der nächsten Änderung."));
        return;
    }
}

AppStateStore::AppStateStore(SQLiteCacheEngine& cache, CredentialStore& credentials, HalvoAPIClient& api,
                             QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>(cache, credentials, api)) {
    const QStringList problems = d->start(cache.load());
    if (!problems.isEmpty()) {
        QString sentence = problems.first();
        if (problems.size() > 1)
            sentence += QStringLiteral(" (+") + QString::number(problems.size() - 1) +
                        QStringLiteral(" weitere Meldungen zum lokalen Cache)");
        setLastActionMessage(sentence, MessageKind::failure);
    }
    if (!d->accounts.isEmpty())
        d->activeAccountId = d->accounts.first().id;
    // Called on the cache's worker; the sentence is written on this object's thread.
    cache.setWriteListener([this](const SQLiteCacheEngine::WriteResult& result) {
        if (result.error == 0)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, result] {
                setLastActionMessage(QStringLiteral("Lokaler Cache: Änderungen an ") +
                                         quoted(d->labelOf(result.accountId)) + QStringLiteral(" nicht gespeichert (") +
                                         faultText(result.error) +
                                         QStringLiteral(") – neuer Versuch bei der nächsten Änderung."),
                                     MessageKind::failure);
            },
            Qt::QueuedConnection);
    });
}

AppStateStore::~AppStateStore() {
    d->cache.setWriteListener({});
}

void AppStateStore::setClock(Clock clock) {
    d->clock = std::move(clock);
}

void AppStateStore::setRandom(Random random) {
    d->random = std::move(random);
}

// ---- reading, navigation, confirmation ------------------------------------------------------------------

const QList<HalvoAccount>& AppStateStore::accounts() const {
    return d->accounts;
}

std::optional<QUuid> AppStateStore::activeAccountId() const {
    return d->activeAccountId;
}

std::optional<HalvoAccount> AppStateStore::activeAccount() const {
    if (!d->activeAccountId)
        return std::nullopt;
    for (const HalvoAccount& account : d->accounts) {
        if (account.id == *d->activeAccountId)
            return account;
    }
    return std::nullopt;
}

const QHash<QUuid, HalvoAccountSnapshot>& AppStateStore::snapshots() const {
    return d->snapshots;
}

HalvoAccountSnapshot AppStateStore::activeSnapshot() const {
    if (d->activeAccountId) {
        const auto found = d->snapshots.constFind(*d->activeAccountId);
        if (found != d->snapshots.constEnd())
            return *found;
    }
    HalvoAccountSnapshot empty;
    empty.accountId = d->activeAccountId.value_or(QUuid());
    empty.updatedAt = d->clock();
    return empty;
}

NavigationSection AppStateStore::selectedSection() const {
    return d->selectedSection;
}

void AppStateStore::setSelectedSection(NavigationSection section) {
    if (d->selectedSection == section)
        return;
    d->selectedSection = section;
    Q_EMIT selectedSectionChanged();
}

QString AppStateStore::searchText() const {
    return d->searchText;
}

void AppStateStore::setSearchText(const QString& text) {
    if (d->searchText == text)
        return;
    d->searchText = text;
    Q_EMIT searchTextChanged();
}

QString AppStateStore::lastActionMessage() const {
    return d->lastActionMessage;
}

AppStateStore::MessageKind AppStateStore::lastActionMessageKind() const {
    return d->lastActionMessageKind;
}

void AppStateStore::setLastActionMessage(const QString& message, MessageKind kind) {
    // Bounded here, where every status text passes, so that no text can hold up the window that shows it.
    const QString line = statusLine(message, d->secrets(), kMaxMessageLength);
    if (d->lastActionMessage == line && d->lastActionMessageKind == kind)
        return;
    d->lastActionMessage = line;
    d->lastActionMessageKind = kind;
    Q_EMIT lastActionMessageChanged();
}

const std::optional<HalvoConfirmRequest>& AppStateStore::pendingConfirmation() const {
    return d->pendingConfirmation;
}

void AppStateStore::requestConfirmation(HalvoConfirmRequest request) {
    d->pendingConfirmation = std::move(request);
    Q_EMIT pendingConfirmationChanged();
}

void AppStateStore::clearPendingConfirmation() {
    if (!d->pendingConfirmation)
        return;
    d->pendingConfirmation.reset();
    Q_EMIT pendingConfirmationChanged();
}

// ---- the request step -----------------------------------------------------------------------------------

void AppStateStore::performAPIAction(const QString& method, const QString& path,
                                     const std::optional<QByteArray>& body) {
    sendInOrder({HalvoRequest{method, path, body}}, {});
}

bool AppStateStore::hasPendingRequests() const {
    return d->pendingActions > 0;
}

void AppStateStore::sendInOrder(const QList<HalvoRequest>& requests, const QString& item) {
    if (requests.isEmpty() || d->accounts.isEmpty())
        return;
    // The requests belong to the account whose snapshot the action changed, even if another one becomes
    // active while they wait.
    const std::optional<HalvoAccount> account = activeAccount();
    if (!account)
        return;
    ++d->pendingActions;
    const QueuedAction action{*account, requests, item};
    if (item.isEmpty()) {
        start(action);
        return;
    }
    QList<QueuedAction>& queue = d->itemQueues[item];
    queue.append(action);
    if (queue.size() == 1)
        start(action);
}

void AppStateStore::start(const QueuedAction& action) {
    auto send = [self = QPointer(this), action](std::optional<KeychainCredentials> credentials) {
        if (!self)
            return;
        if (!credentials || !credentials->isComplete() || action.account.appKey.isEmpty()) {
            self->actionDone(action.queue);
            return;
        }
        self->d->knownSecrets.insert(credentials->appSecret);
        self->d->knownSecrets.insert(credentials->consumerKey);
        self->sendFrom(action, *credentials, 0);
    };
    d->credentials.read(action.account.id, std::move(send));
}

void AppStateStore::sendFrom(const QueuedAction& action, const KeychainCredentials& credentials, qsizetype index) {
    const HalvoRequest& request = action.requests.at(index);
    d->api.signedRequest(
        action.account, credentials.appSecret, credentials.consumerKey, request.method, request.path, request.body,
        [self = QPointer(this), action, credentials, index](const HalvoAPIResult& result) {
            if (!self)
                return;
            if (const auto& error = result.error) {
                const HalvoRequest& failed = action.requests.at(index);
                // An error body may be megabytes long; only its start can show (room is left for control
                // characters that go and for a credential that starts within the line).
                self->setLastActionMessage(QStringLiteral("API Rückmeldung (") + failed.method + QLatin1Char(' ') +
                                               halvo::api::readablePath(failed.path) + QStringLiteral("): ") +
                                               error->description.left(8 * kMaxMessageLength),
                                           MessageKind::failure);
            }
            // The next request of the action follows the answer to this one, whatever it was.
            if (index + 1 < action.requests.size())
                self->sendFrom(action, credentials, index + 1);
            else
                self->actionDone(action.queue);
        });
}

void AppStateStore::actionDone(const QString& queue) {
    if (!queue.isEmpty()) {
        const auto waiting = d->itemQueues.find(queue);
        if (waiting != d->itemQueues.end()) {
            waiting->removeFirst();
            if (waiting->isEmpty())
                d->itemQueues.erase(waiting);
            else
                start(waiting->constFirst());
        }
    }
    if (--d->pendingActions == 0)
        Q_EMIT requestsSettled();
}

// ---- changing the active snapshot -----------------------------------------------------------------------

template <class Item, class Change>
bool AppStateStore::changeItem(QList<Item> HalvoAccountSnapshot::*list, QString Item::*key, const QString& id,
                               Change&& change) {
    if (!d->activeAccountId)
        return false;
    const auto held = d->snapshots.constFind(*d->activeAccountId);
    if (held == d->snapshots.constEnd())
        return false;
    // Look up without detaching: views hold copies of the snapshot.
    const QList<Item>& items = (*held).*list;
    const auto found = std::find_if(items.cbegin(), items.cend(), [&](const Item& item) { return item.*key == id; });
    if (found == items.cend())
        return false;
    const qsizetype index = found - items.cbegin();

    const QUuid accountId = *d->activeAccountId;
    const bool save = !d->unsavable.contains(accountId) && !d->demonstrationUnsaved;
    // The cache lets go of the older snapshot it has not written yet, so that the change below copies
    // nothing it would still share (such as every record of a large zone).
    if (save)
        d->cache.supersede(accountId);
    HalvoAccountSnapshot& snapshot = d->snapshots[accountId];
    ++d->revision;
    change((snapshot.*list)[index]);
    snapshot.updatedAt = d->clock();
    if (d->unsavable.contains(accountId)) {
        reportCacheProblem(QStringLiteral("Lokaler Cache: Änderungen an ") + quoted(d->labelOf(accountId)) +
                           QStringLiteral(" werden nicht gespeichert, weil seine gespeicherten Daten nicht ganz "
                                          "lesbar sind."));
    } else if (d->demonstrationUnsaved) {
        d->retryDemonstration(*this);
    } else {
        d->cache.saveSnapshot(snapshot);
    }
    Q_EMIT snapshotsChanged();
    // Named after the signal, so that an action run by one of its receivers cannot take this item.
    d->changedItem = itemKey<Item>(accountId, id);
    return true;
}

void AppStateStore::reportCacheProblem(const QString& sentence) {
    // After the sentence of the action that is under way, which it must not hide.
    QMetaObject::invokeMethod(
        this, [this, sentence] { setLastActionMessage(sentence, MessageKind::failure); }, Qt::QueuedConnection);
}

void AppStateStore::report(const QString& sentence, const QList<HalvoRequest>& requests) {
    setLastActionMessage(sentence);
    sendInOrder(requests, std::exchange(d->changedItem, QString()));
}

// ---- domain actions -------------------------------------------------------------------------------------

namespace {

HalvoRequest zoneRefresh(const QString& domain) {
    return {QStringLiteral("POST"), ApiPath("domain/zone").value(domain).fixed("refresh"), std::nullopt};
}

} // namespace

void AppStateStore::addDNSRecord(const QString& domain, const QString& subDomain, const QString& fieldType,
                                 const QString& target, qint64 ttl) {
    const bool changed =
        changeItem(&HalvoAccountSnapshot::domains, &HalvoDomain::domain, domain, [&](HalvoDomain& item) {
            auto& known = d->zoneIds;
            if (!known || known->account != *d->activeAccountId || known->domain != domain ||
                known->revision != d->revision - 1) {
                known =
                    Private::ZoneIds{*d->activeAccountId, domain, 0, UsedIds(kFirstLocalRecordId, kLocalRecordIdSpan)};
                for (const HalvoDNSRecord& record : std::as_const(item.dnsRecords))
                    known->ids.insert(record.id);
            }
            const qint64 id = d->unusedId(known->ids);
            // Appended in place: the list is copied only while a view still holds it.
            item.dnsRecords.append(HalvoDNSRecord{id, domain, subDomain, fieldType, target, ttl});
            known->ids.insert(id);
            known->revision = d->revision;
        });
    if (!changed)
        return;
    const QString shownSub = subDomain.isEmpty() ? QStringLiteral("@") : subDomain;
    report(QStringLiteral("DNS-Eintrag (") + fieldType + QLatin1Char(' ') + shownSub + QStringLiteral(" -> ") + target +
               QStringLiteral(") gesendet & Zone aktualisiert."),
           {{QStringLiteral("POST"), ApiPath("domain/zone").value(domain).fixed("record"),
             OrderedJsonObject{{"fieldType", fieldType}, {"subDomain", subDomain}, {"target", target}, {"ttl", ttl}}},
            zoneRefresh(domain)});
}

void AppStateStore::deleteDNSRecord(const QString& domain, qint64 recordId) {
    const bool changed =
        changeItem(&HalvoAccountSnapshot::domains, &HalvoDomain::domain, domain,
                   [&](HalvoDomain& item) { removeAllWith(item.dnsRecords, &HalvoDNSRecord::id, recordId); });
    if (!changed)
        return;
    report(
        QStringLiteral("DNS-Record #") + QString::number(recordId) + QStringLiteral(" gelöscht & Zone aktualisiert."),
        {{QStringLiteral("DELETE"), ApiPath("domain/zone").value(domain).fixed("record").value(recordId), std::nullopt},
         zoneRefresh(domain)});
}

void AppStateStore::toggleDomainTransferLock(const QString& domain) {
    QString status;
    const bool changed =
        changeItem(&HalvoAccountSnapshot::domains, &HalvoDomain::domain, domain, [&](HalvoDomain& item) {
            status = item.transferLockStatus == QLatin1String("locked") ? QStringLiteral("unlocked")
                                                                        : QStringLiteral("locked");
            item.transferLockStatus = status;
        });
    if (!changed)
        return;
    report(
        QStringLiteral("Domain ") + domain + QStringLiteral(": Transfer-Lock auf '") + status +
            QStringLiteral("' gesetzt (PUT /domain/") + domain + QStringLiteral(")."),
        {{QStringLiteral("PUT"), ApiPath("domain").value(domain), OrderedJsonObject{{"transferLockStatus", status}}}});
}

void AppStateStore::toggleDNSSEC(const QString& domain) {
    bool enabled = false;
    const bool changed =
        changeItem(&HalvoAccountSnapshot::domains, &HalvoDomain::domain, domain, [&](HalvoDomain& item) {
            item.dnssecEnabled = !item.dnssecEnabled;
            enabled = item.dnssecEnabled;
        });
    if (!changed)
        return;
    const QString method = enabled ? QStringLiteral("POST") : QStringLiteral("DELETE");
    report(QStringLiteral("Domain ") + domain + QStringLiteral(": DNSSEC ") + onOff(enabled) + QStringLiteral(" (") +
               method + QStringLiteral(" /domain/zone/") + domain + QStringLiteral("/dnssec)."),
           {{method, ApiPath("domain/zone").value(domain).fixed("dnssec"), std::nullopt}});
}

void AppStateStore::updateNameServers(const QString& domain, const QStringList& nameServers) {
    const bool changed = changeItem(&HalvoAccountSnapshot::domains, &HalvoDomain::domain, domain,
                                    [&](HalvoDomain& item) { item.nameServers = nameServers; });
    if (!changed)
        return;
    QJsonArray hosts;
    for (const QString& name : nameServers)
        hosts.append(QJsonObject{{QStringLiteral("host"), name}});
    report(QStringLiteral("Nameserver für ") + domain + QStringLiteral(" aktualisiert (") +
               nameServers.join(QStringLiteral(", ")) + QStringLiteral(")."),
           {{QStringLiteral("POST"), ApiPath("domain").value(domain).fixed("nameServers/update"),
             OrderedJsonObject{{"nameServers", hosts}}}});
}

void AppStateStore::addGlueRecord(const QString& domain, const QString& host, const QString& ip) {
    // A host written absolute ("ns1.example.org.") is the same host; the domain is a suffix only at a label
    // boundary, so "evil-example.org" stays a host outside the zone "example.org".
    const QString name = host.endsWith(QLatin1Char('.')) ? host.chopped(1) : host;
    const bool inZone = name == domain || name.endsWith(QString(QLatin1Char('.') + domain));
    const QString fullHost = inZone ? name : name + QLatin1Char('.') + domain;
    const bool changed =
        changeItem(&HalvoAccountSnapshot::domains, &HalvoDomain::domain, domain, [&](HalvoDomain& item) {
            removeAllWith(item.glueRecords, &HalvoGlueRecord::host, fullHost);
            item.glueRecords.append(HalvoGlueRecord{fullHost, {ip}});
        });
    if (!changed)
        return;
    report(QStringLiteral("Glue-Record (") + fullHost + QStringLiteral(" -> ") + ip +
               QStringLiteral(") in Registry eingetragen (POST /domain/") + domain + QStringLiteral("/glueRecord)."),
           {{QStringLiteral("POST"), ApiPath("domain").value(domain).fixed("glueRecord"),
             OrderedJsonObject{{"host", fullHost}, {"ips", QJsonArray{ip}}}}});
}

void AppStateStore::deleteGlueRecord(const QString& domain, const QString& host) {
    const bool changed =
        changeItem(&HalvoAccountSnapshot::domains, &HalvoDomain::domain, domain,
                   [&](HalvoDomain& item) { removeAllWith(item.glueRecords, &HalvoGlueRecord::host, host); });
    if (!changed)
        return;
    report(QStringLiteral("Glue-Record ") + host + QStringLiteral(" entfernt (DELETE /domain/") + domain +
               QStringLiteral("/glueRecord/") + host + QStringLiteral(")."),
           {{QStringLiteral("DELETE"), ApiPath("domain").value(domain).fixed("glueRecord").value(host), std::nullopt}});
}

void AppStateStore::addPulsenameRecord(const QString& domain, const QString& subDomain, const QString& ip,
                                       const QString& login) {
    const bool changed =
        changeItem(&HalvoAccountSnapshot::domains, &HalvoDomain::domain, domain, [&](HalvoDomain& item) {
            removeAllWith(item.pulsenames, &HalvoPulsename::subDomain, subDomain);
            item.pulsenames.append(HalvoPulsename{subDomain, ip, login});
        });
    if (!changed)
        return;
    report(QStringLiteral("Pulsename (") + subDomain + QLatin1Char('.') + domain + QStringLiteral(" -> ") + ip +
               QStringLiteral(") angelegt & Zone aktualisiert."),
           {{QStringLiteral("POST"), ApiPath("domain/zone").value(domain).fixed("pulsename/record"),
             OrderedJsonObject{{"ip", ip}, {"subDomain", subDomain}}},
            zoneRefresh(domain)});
}

void AppStateStore::removePulsenameRecordLocally(const QString& domain, const QString& subDomain) {
    const bool changed =
        changeItem(&HalvoAccountSnapshot::domains, &HalvoDomain::domain, domain,
                   [&](HalvoDomain& item) { removeAllWith(item.pulsenames, &HalvoPulsename::subDomain, subDomain); });
    if (!changed)
        return;
    report(QStringLiteral("Pulsename ") + subDomain + QLatin1Char('.') + domain + QStringLiteral(" entfernt."), {});
}

// ---- VPS actions ----------------------------------------------------------------------------------------

QString AppStateStore::key(VPSPowerAction action) {
    switch (action) {
    case VPSPowerAction::start:
        return QStringLiteral("start");
    case VPSPowerAction::reboot:
        return QStringLiteral("reboot");
    case VPSPowerAction::rescue:
        return QStringLiteral("rescue");
    case VPSPowerAction::stop:
        return QStringLiteral("stop");
    }
    return {};
}

void AppStateStore::performVPSPowerAction(const QString& name, const QString& action) {
    for (VPSPowerAction known :
         {VPSPowerAction::start, VPSPowerAction::reboot, VPSPowerAction::rescue, VPSPowerAction::stop}) {
        if (action == key(known))
            return performVPSPowerAction(name, known);
    }
    // An unknown key would claim to have sent something it never sends.
}

void AppStateStore::performVPSPowerAction(const QString& name, VPSPowerAction action) {
    const QString post = QStringLiteral("POST");
    const QString put = QStringLiteral("PUT");
    const auto netboot = [&](const char* mode) {
        return HalvoRequest{put, ApiPath("vps").value(name), OrderedJsonObject{{"netbootMode", QLatin1String(mode)}}};
    };
    QString state;
    std::optional<QString> netbootMode;
    QList<HalvoRequest> requests;
    switch (action) {
    case VPSPowerAction::start:
        state = QStringLiteral("running");
        netbootMode = QStringLiteral("local");
        requests = {netboot("local"), {post, ApiPath("vps").value(name).fixed("start"), std::nullopt}};
        break;
    case VPSPowerAction::reboot:
        state = QStringLiteral("running");
        requests = {{post, ApiPath("vps").value(name).fixed("reboot"), std::nullopt}};
        break;
    case VPSPowerAction::rescue:
        state = QStringLiteral("rescued");
        netbootMode = QStringLiteral("rescue");
        requests = {netboot("rescue"), {post, ApiPath("vps").value(name).fixed("reboot"), std::nullopt}};
        break;
    case VPSPowerAction::stop:
        state = QStringLiteral("stopped");
        requests = {{post, ApiPath("vps").value(name).fixed("stop"), std::nullopt}};
        break;
    }
    const bool changed = changeItem(&HalvoAccountSnapshot::vpsList, &HalvoVPS::name, name, [&](HalvoVPS& vps) {
        vps.state = state;
        if (netbootMode)
            vps.netbootMode = *netbootMode;
    });
    if (!changed)
        return;
    report(QStringLiteral("VPS ") + name + QStringLiteral(": Aktion '") + key(action).toUpper() +
               QStringLiteral("' an Halvo API gesendet."),
           requests);
}

void AppStateStore::toggleVPSSLAMonitoring(const QString& name) {
    bool enabled = false;
    const bool changed = changeItem(&HalvoAccountSnapshot::vpsList, &HalvoVPS::name, name, [&](HalvoVPS& vps) {
        vps.slaMonitoring = !vps.slaMonitoring;
        enabled = vps.slaMonitoring;
    });
    if (!changed)
        return;
    report(QStringLiteral("VPS ") + name + QStringLiteral(": SLA-Monitoring ") + onOff(enabled) + QLatin1Char('.'),
           {{QStringLiteral("PUT"), ApiPath("vps").value(name), OrderedJsonObject{{"slaMonitoring", enabled}}}});
}

void AppStateStore::createVPSSnapshot(const QString& name, const QString& description) {
    // The pattern says UTC, so the time is taken in UTC whatever the machine's zone.
    const QString created = d->clock().toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'"));
    const bool changed = changeItem(&HalvoAccountSnapshot::vpsList, &HalvoVPS::name, name, [&](HalvoVPS& vps) {
        vps.snapshotDescription = description;
        vps.snapshotCreationDate = created;
    });
    if (!changed)
        return;
    report(QStringLiteral("VPS ") + name + QStringLiteral(": Snapshot '") + description +
               QStringLiteral("' angefordert (POST /vps/") + name + QStringLiteral("/createSnapshot)."),
           {{QStringLiteral("POST"), ApiPath("vps").value(name).fixed("createSnapshot"),
             OrderedJsonObject{{"description", description}}}});
}

// ---- dedicated-server actions ---------------------------------------------------------------------------

void AppStateStore::performDedicatedServerAction(const QString& name, const QString& action) {
    using Kind = DedicatedServerAction;
    static const QHash<QString, Kind> kinds{
        {QStringLiteral("reboot"), Kind::reboot},
        {QStringLiteral("boot-rescue"), Kind::bootRescue},
        {QStringLiteral("boot-disk"), Kind::bootDisk},
        {QStringLiteral("toggle-monitoring"), Kind::toggleMonitoring},
        {QStringLiteral("toggle-no-intervention"), Kind::toggleNoIntervention},
        {QStringLiteral("toggle-firewall"), Kind::toggleFirewall},
        {QStringLiteral("reset-backup-ftp-password"), Kind::resetBackupFTPPassword},
    };
    const auto kind = kinds.constFind(action);
    // An unknown key would claim to have done something it never does.
    if (kind != kinds.constEnd())
        performDedicatedServerAction(name, *kind);
}

void AppStateStore::performDedicatedServerAction(const QString& name, DedicatedServerAction action) {
    using Kind = DedicatedServerAction;

    const QString prefix = QStringLiteral("Dedicated Server ") + name + QStringLiteral(": ");
    const QString server = ApiPath("dedicated/server").value(name);
    const QString post = QStringLiteral("POST");
    const QString put = QStringLiteral("PUT");
    QString sentence;
    HalvoRequest request;
    const bool changed =
        changeItem(&HalvoAccountSnapshot::dedicatedServers, &HalvoServer::name, name, [&](HalvoServer& s) {
            switch (action) {
            case Kind::reboot:
                s.powerState = QStringLiteral("poweron");
                s.state = QStringLiteral("ok");
                sentence = prefix + QStringLiteral("Hardware-Reboot ausgelöst (POST /dedicated/server/") + name +
                           QStringLiteral("/reboot).");
                request = {post, server + QStringLiteral("/reboot"), std::nullopt};
                break;
            case Kind::bootRescue:
                s.bootType = QStringLiteral("rescue");
                s.bootId = kRescueBootId;
                sentence = prefix + QStringLiteral("Netboot auf Notanker umgestellt.");
                request = {put, server, OrderedJsonObject{{"bootId", s.bootId}}};
                break;
            case Kind::bootDisk:
                s.bootType = QStringLiteral("harddisk");
                s.bootId = kDiskBootId;
                sentence = prefix + QStringLiteral("Netboot auf lokale NVMe/Festplatte umgestellt.");
                request = {put, server, OrderedJsonObject{{"bootId", s.bootId}}};
                break;
            case Kind::toggleMonitoring:
                s.monitoring = !s.monitoring;
                sentence =
                    prefix + QStringLiteral("Halvo Intervention-Monitoring ") + onOff(s.monitoring) + QLatin1Char('.');
                request = {put, server, OrderedJsonObject{{"monitoring", s.monitoring}}};
                break;
            case Kind::toggleNoIntervention:
                s.noIntervention = !s.noIntervention;
                sentence =
                    prefix + QStringLiteral("Datacenter Techniker-Eingriff ") +
                    (s.noIntervention ? QStringLiteral("blockiert (No-Intervention AN)") : QStringLiteral("erlaubt")) +
                    QLatin1Char('.');
                request = {put, server, OrderedJsonObject{{"noIntervention", s.noIntervention}}};
                break;
            case Kind::toggleFirewall:
                s.firewallEnabled = !s.firewallEnabled;
                sentence =
                    prefix + QStringLiteral("Network Edge Firewall ") + onOff(s.firewallEnabled) + QLatin1Char('.');
                request = {put, server + QStringLiteral("/firewall"),
                           OrderedJsonObject{{"enabled", s.firewallEnabled}}};
                break;
            case Kind::resetBackupFTPPassword:
                sentence = prefix + QStringLiteral("Neues Backup-FTP Passwort generiert und per E-Mail versendet.");
                request = {post, server + QStringLiteral("/features/backupFTP/password"), std::nullopt};
                break;
            }
        });
    if (!changed)
        return;
    report(sentence, {request});
}

void AppStateStore::setDedicatedServerReverse(const QString& name, const QString& host) {
    const QString reverse = withTrailingDot(host);
    const bool changed = changeItem(&HalvoAccountSnapshot::dedicatedServers, &HalvoServer::name, name,
                                    [&](HalvoServer& s) { s.reverse = reverse; });
    if (!changed)
        return;
    report(QStringLiteral("Dedicated Server ") + name + QStringLiteral(": Server-Hostname / Reverse-DNS auf '") +
               reverse + QStringLiteral("' gesetzt."),
           {{QStringLiteral("PUT"), ApiPath("dedicated/server").value(name), OrderedJsonObject{{"reverse", reverse}}}});
}

void AppStateStore::setDedicatedRescueMail(const QString& name, const QString& mail) {
    const bool changed = changeItem(&HalvoAccountSnapshot::dedicatedServers, &HalvoServer::name, name,
                                    [&](HalvoServer& s) { s.rescueMail = mail; });
    if (!changed)
        return;
    report(QStringLiteral("Dedicated Server ") + name + QStringLiteral(": Rescue-Zugangsdaten E-Mail auf '") + mail +
               QStringLiteral("' geändert."),
           {{QStringLiteral("PUT"), ApiPath("dedicated/server").value(name), OrderedJsonObject{{"rescueMail", mail}}}});
}

void AppStateStore::toggleDedicatedServerMeshbay(const QString& name, const QString& meshbayService) {
    const bool attach = !meshbayService.isEmpty();
    const bool changed =
        changeItem(&HalvoAccountSnapshot::dedicatedServers, &HalvoServer::name, name, [&](HalvoServer& s) {
            if (attach)
                s.meshbayName = meshbayService;
            else
                s.meshbayName.reset();
        });
    if (!changed)
        return;
    if (!attach) {
        report(QStringLiteral("Dedicated Server ") + name + QStringLiteral(" aus Meshbay getrennt."), {});
        return;
    }
    report(QStringLiteral("Dedicated Server ") + name + QStringLiteral(" in Meshbay '") + meshbayService +
               QStringLiteral("' eingebunden (POST /meshbay/") + meshbayService + QStringLiteral("/dedicatedServer)."),
           {{QStringLiteral("POST"), ApiPath("meshbay").value(meshbayService).fixed("dedicatedServer"),
             OrderedJsonObject{{"dedicatedServer", name}}}});
}

void AppStateStore::addBackupFTPAccess(const QString& name, const QString& ipBlock) {
    const bool changed =
        changeItem(&HalvoAccountSnapshot::dedicatedServers, &HalvoServer::name, name, [&](HalvoServer& s) {
            if (!s.backupFTPAccessBlocks.contains(ipBlock))
                s.backupFTPAccessBlocks.append(ipBlock);
        });
    if (!changed)
        return;
    report(QStringLiteral("Backup-FTP ACL: Zugriff für ") + ipBlock +
               QStringLiteral(" freigeschaltet (NFS / CIFS / FTP)."),
           {{QStringLiteral("POST"), ApiPath("dedicated/server").value(name).fixed("features/backupFTP/access"),
             OrderedJsonObject{{"ipBlock", ipBlock}, {"ftp", true}, {"nfs", true}, {"cifs", true}}}});
}

// ---- IP-block actions -----------------------------------------------------------------------------------

namespace {

ApiPath ipPath(const QString& block) {
    ApiPath path("ip");
    path.value(block);
    return path;
}

QString networkAddressOf(const QString& block) {
    HalvoIPBlock probe;
    probe.ipBlock = block;
    return probe.networkAddress();
}

/// The path of the block's edge or game firewall: "/ip/<block>/<kind>/<network address>".
ApiPath firewallPath(const QString& block, const char* kind) {
    ApiPath path = ipPath(block);
    path.fixed(kind).value(networkAddressOf(block));
    return path;
}

QString virtualMacServer(const HalvoIPBlock& block) {
    // An empty service name would leave an empty segment in the path; it counts as no service.
    if (!block.routedToService || block.routedToService->isEmpty())
        return QStringLiteral("dedicated-server");
    return *block.routedToService;
}

} // namespace

void AppStateStore::updateIPBlockDescription(const QString& block, const QString& description) {
    const bool changed = changeItem(&HalvoAccountSnapshot::ipBlocks, &HalvoIPBlock::ipBlock, block,
                                    [&](HalvoIPBlock& b) { b.description = description; });
    if (!changed)
        return;
    report(QStringLiteral("IP-Block ") + block + QStringLiteral(": Beschreibung auf '") + description +
               QStringLiteral("' aktualisiert (PUT /ip/") + block + QStringLiteral(")."),
           {{QStringLiteral("PUT"), ipPath(block), OrderedJsonObject{{"description", description}}}});
}

void AppStateStore::setReverseDNS(const QString& block, const QString& ip, const QString& host) {
    const QString reverse = withTrailingDot(host);
    const bool changed =
        changeItem(&HalvoAccountSnapshot::ipBlocks, &HalvoIPBlock::ipBlock, block, [&](HalvoIPBlock& b) {
            bool updated = false;
            for (HalvoReverseRecord& entry : b.reverseEntries) {
                if (entry.ipReverse == ip) {
                    entry.reverse = reverse;
                    updated = true;
                }
            }
            if (!updated)
                b.reverseEntries.append(HalvoReverseRecord{ip, reverse});
        });
    if (!changed)
        return;
    report(QStringLiteral("rDNS (PTR) für ") + ip + QStringLiteral(" -> ") + reverse +
               QStringLiteral(" gespeichert (POST /ip/") + block + QStringLiteral("/reverse)."),
           {{QStringLiteral("POST"), ipPath(block).fixed("reverse"),
             OrderedJsonObject{{"ipReverse", ip}, {"reverse", reverse}}}});
}

void AppStateStore::deleteReverseDNS(const QString& block, const QString& ip) {
    const bool changed =
        changeItem(&HalvoAccountSnapshot::ipBlocks, &HalvoIPBlock::ipBlock, block,
                   [&](HalvoIPBlock& b) { removeAllWith(b.reverseEntries, &HalvoReverseRecord::ipReverse, ip); });
    if (!changed)
        return;
    report(QStringLiteral("rDNS (PTR) für ") + ip + QStringLiteral(" entfernt (DELETE /ip/") + block +
               QStringLiteral("/reverse/") + ip + QStringLiteral(")."),
           {{QStringLiteral("DELETE"), ipPath(block).fixed("reverse").value(ip), std::nullopt}});
}

void AppStateStore::delegateReverseSubnet(const QString& block, const QString& nameServer) {
    const bool changed =
        changeItem(&HalvoAccountSnapshot::ipBlocks, &HalvoIPBlock::ipBlock, block, [&](HalvoIPBlock& b) {
            if (!b.delegationTargets.contains(nameServer))
                b.delegationTargets.append(nameServer);
        });
    if (!changed)
        return;
    report(QStringLiteral("rDNS-Subnetz-Delegation für ") + block + QStringLiteral(" an Nameserver '") + nameServer +
               QStringLiteral("' eingerichtet."),
           {{QStringLiteral("POST"), ipPath(block).fixed("delegation"), OrderedJsonObject{{"target", nameServer}}}});
}

void AppStateStore::addVirtualMAC(const QString& block, const QString& ip, const QString& vmName, const QString& type) {
    QString mac = kVirtualMacPrefix;
    QString server;
    const bool changed =
        changeItem(&HalvoAccountSnapshot::ipBlocks, &HalvoIPBlock::ipBlock, block, [&](HalvoIPBlock& b) {
            for (int i = 0; i < 3; ++i)
                mac += QLatin1Char(':') + QString::number(d->random(256), 16).rightJustified(2, QLatin1Char('0'));
            removeAllWith(b.virtualMacs, &HalvoVirtualMac::ipAddress, ip);
            b.virtualMacs.append(HalvoVirtualMac{mac, type, vmName, ip});
            server = virtualMacServer(b);
        });
    if (!changed)
        return;
    report(QStringLiteral("Virtual MAC (") + mac + QStringLiteral(", Typ: ") + type + QStringLiteral(") für ") + ip +
               QStringLiteral(" (VM: ") + vmName + QStringLiteral(") zugewiesen."),
           {{QStringLiteral("POST"), ApiPath("dedicated/server").value(server).fixed("virtualMac"),
             OrderedJsonObject{{"ipAddress", ip}, {"type", type}, {"virtualMachineName", vmName}}}});
}

void AppStateStore::deleteVirtualMAC(const QString& block, const QString& ip, const QString& mac) {
    QString server;
    const bool changed =
        changeItem(&HalvoAccountSnapshot::ipBlocks, &HalvoIPBlock::ipBlock, block, [&](HalvoIPBlock& b) {
            removeAllWith(b.virtualMacs, &HalvoVirtualMac::ipAddress, ip);
            server = virtualMacServer(b);
        });
    if (!changed)
        return;
    report(QStringLiteral("Virtual MAC ") + mac + QStringLiteral(" von ") + ip + QStringLiteral(" entfernt."),
           {{QStringLiteral("DELETE"),
             ApiPath("dedicated/server").value(server).fixed("virtualMac").value(mac).fixed("virtualAddress").value(ip),
             std::nullopt}});
}

void AppStateStore::moveFailoverIP(const QString& block, const QString& target) {
    const bool changed = changeItem(&HalvoAccountSnapshot::ipBlocks, &HalvoIPBlock::ipBlock, block,
                                    [&](HalvoIPBlock& b) { b.routedToService = target; });
    if (!changed)
        return;
    report(QStringLiteral("Additional/Failover IP ") + block + QStringLiteral(" auf '") + target +
               QStringLiteral("' geroutet (POST /ip/") + block + QStringLiteral("/move)."),
           {{QStringLiteral("POST"), ipPath(block).fixed("move"), OrderedJsonObject{{"to", target}}}});
}

void AppStateStore::toggleEdgeFirewall(const QString& block) {
    bool enabled = false;
    const bool changed =
        changeItem(&HalvoAccountSnapshot::ipBlocks, &HalvoIPBlock::ipBlock, block, [&](HalvoIPBlock& b) {
            b.firewallEnabled = !b.firewallEnabled;
            enabled = b.firewallEnabled;
        });
    if (!changed)
        return;
    report(QStringLiteral("IP-Block ") + block + QStringLiteral(": Edge-Firewall ") + onOff(enabled) + QLatin1Char('.'),
           {{QStringLiteral("PUT"), firewallPath(block, "firewall"), OrderedJsonObject{{"enabled", enabled}}}});
}

void AppStateStore::setTidewallMitigation(const QString& block) {
    QString mode;
    const bool changed =
        changeItem(&HalvoAccountSnapshot::ipBlocks, &HalvoIPBlock::ipBlock, block, [&](HalvoIPBlock& b) {
            mode =
                b.mitigationMode == QLatin1String("permanent") ? QStringLiteral("auto") : QStringLiteral("permanent");
            b.mitigationMode = mode;
        });
    if (!changed)
        return;
    report(QStringLiteral("IP-Block ") + block + QStringLiteral(": Anti-DDoS Tidewall Mitigation auf '") +
               mode.toUpper() + QStringLiteral("' umgeschaltet."),
           {});
}

void AppStateStore::addFirewallRule(const QString& block, qint64 sequence, const QString& action,
                                    const QString& protocol, const QString& source,
                                    const std::optional<QString>& port) {
    const QString ruleSource = source.isEmpty() ? QStringLiteral("any") : source;
    // An empty port is no port, as the form treats it.
    const std::optional<QString> destinationPort = port && !port->isEmpty() ? port : std::nullopt;
    const bool changed =
        changeItem(&HalvoAccountSnapshot::ipBlocks, &HalvoIPBlock::ipBlock, block, [&](HalvoIPBlock& b) {
            removeAllWith(b.firewallRules, &HalvoFirewallRule::sequence, sequence);
            b.firewallRules.append(HalvoFirewallRule{sequence, action, protocol, ruleSource, std::nullopt,
                                                     destinationPort, std::nullopt, false, QStringLiteral("ok")});
            std::stable_sort(
                b.firewallRules.begin(), b.firewallRules.end(),
                [](const HalvoFirewallRule& a, const HalvoFirewallRule& c) { return a.sequence < c.sequence; });
        });
    if (!changed)
        return;
    // The provider gets the rule the user sees: its source and its port go along.
    OrderedJsonObject body{{"action", action}, {"protocol", protocol}, {"sequence", sequence}};
    if (ruleSource != QLatin1String("any"))
        body.insert("source", ruleSource);
    if (destinationPort) {
        if (const auto number = halvo::parseWholeInteger(*destinationPort))
            body.insert("destinationPort", *number);
        else
            body.insert("destinationPort", *destinationPort);
    }
    report(QStringLiteral("Firewall-Regel #") + QString::number(sequence) + QStringLiteral(" (") + action.toUpper() +
               QLatin1Char(' ') + protocol.toUpper() + QStringLiteral(") zu ") + block +
               QStringLiteral(" hinzugefügt."),
           {{QStringLiteral("POST"), firewallPath(block, "firewall").fixed("rule"), body}});
}

void AppStateStore::deleteFirewallRule(const QString& block, qint64 sequence) {
    const bool changed =
        changeItem(&HalvoAccountSnapshot::ipBlocks, &HalvoIPBlock::ipBlock, block,
                   [&](HalvoIPBlock& b) { removeAllWith(b.firewallRules, &HalvoFirewallRule::sequence, sequence); });
    if (!changed)
        return;
    report(QStringLiteral("Firewall-Regel #") + QString::number(sequence) + QStringLiteral(" aus ") + block +
               QStringLiteral(" entfernt."),
           {{QStringLiteral("DELETE"), firewallPath(block, "firewall").fixed("rule").value(sequence), std::nullopt}});
}

void AppStateStore::unblockARPIP(const QString& block, const QString& blockedIp) {
    const bool changed =
        changeItem(&HalvoAccountSnapshot::ipBlocks, &HalvoIPBlock::ipBlock, block, [&](HalvoIPBlock& b) {
            b.arpBlockedIPs.removeAll(blockedIp);
            b.spamBlockedIPs.removeAll(blockedIp);
        });
    if (!changed)
        return;
    report(QStringLiteral("IP ") + blockedIp + QStringLiteral(" aus Anti-Spam / ARP-Sperre entsperrt."),
           {{QStringLiteral("POST"), ipPath(block).fixed("arp").value(blockedIp).fixed("unblock"), std::nullopt}});
}

void AppStateStore::addGameFirewallRule(const QString& block, const QString& profile, qint64 startPort,
                                        qint64 endPort) {
    const bool changed =
        changeItem(&HalvoAccountSnapshot::ipBlocks, &HalvoIPBlock::ipBlock, block, [&](HalvoIPBlock& b) {
            b.gameMitigationEnabled = true;
            UsedIds used(kFirstGameRuleId, kGameRuleIdSpan);
            for (const HalvoGameFirewallRule& rule : std::as_const(b.gameRules))
                used.insert(rule.id);
            const qint64 id = d->unusedId(used);
            b.gameRules.append(HalvoGameFirewallRule{id, profile, startPort, endPort, QStringLiteral("ok")});
        });
    if (!changed)
        return;
    report(QStringLiteral("Halvo Game-DDoS-Schutz: Protokoll '") + profile + QStringLiteral("' (UDP Ports ") +
               QString::number(startPort) + QLatin1Char('-') + QString::number(endPort) + QStringLiteral(") auf ") +
               networkAddressOf(block) + QStringLiteral(" aktiviert."),
           {{QStringLiteral("POST"), firewallPath(block, "game").fixed("rule"),
             OrderedJsonObject{{"protocol", profile}}.insert(
                 "ports", OrderedJsonObject{{"from", startPort}, {"to", endPort}})}});
}

void AppStateStore::removeGameFirewallRuleLocally(const QString& block, qint64 ruleId) {
    const bool changed =
        changeItem(&HalvoAccountSnapshot::ipBlocks, &HalvoIPBlock::ipBlock, block,
                   [&](HalvoIPBlock& b) { removeAllWith(b.gameRules, &HalvoGameFirewallRule::id, ruleId); });
    if (!changed)
        return;
    report(QStringLiteral("Game-Firewall-Regel #") + QString::number(ruleId) + QStringLiteral(" gelöscht."), {});
}
