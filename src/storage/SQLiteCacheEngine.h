#pragma once

// The local cache: the account list and one snapshot per account, as JSON texts in an SQLite file
// (WAL journal, synchronous=NORMAL). The file is opened and its tables created on the constructing
// thread; every later database operation runs on one worker thread. Loading and rewriting the account
// list block the caller; saving or deleting a snapshot is queued and returns at once.
// Failures are not reported: they yield an empty result, a skipped row or false.

#include "model/Account.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QUuid>

#include <memory>

class SQLiteCacheEngine final {
public:
    /// The cache file in the user's data folder: ".../HalvoPultorium/halvo_instant_cache.sqlite3".
    static QString defaultFilePath();

    /// Opens (and creates, with its folder) the database at the given path.
    explicit SQLiteCacheEngine(const QString& filePath = defaultFilePath());
    ~SQLiteCacheEngine();
    SQLiteCacheEngine(const SQLiteCacheEngine&) = delete;
    SQLiteCacheEngine& operator=(const SQLiteCacheEngine&) = delete;

    /// Whether the database could be opened and its tables exist.
    bool isOpen() const;

    /// The stored accounts in stored order; rows that do not decode are skipped.
    QList<HalvoAccount> loadAccounts() const;
    /// Every stored snapshot by account id; rows that do not decode are skipped.
    QHash<QUuid, HalvoAccountSnapshot> loadSnapshots() const;

    /// Rewrites the whole account list in one transaction; all or nothing. Blocks until done.
    bool saveAccounts(const QList<HalvoAccount>& accounts);
    /// Queues the replacement of the account's snapshot row.
    void saveSnapshot(const HalvoAccountSnapshot& snapshot);
    /// Queues the removal of the account's snapshot row.
    void deleteSnapshot(const QUuid& accountId);

    /// Waits until every queued write has run.
    void flush();

private:
    struct Private;
    std::unique_ptr<Private> d;
};
