#pragma once

// The local cache: the account list and one snapshot per account, as JSON texts in an SQLite file
// (WAL journal, synchronous=NORMAL). The file is opened and its tables created on the constructing
// thread; every later database operation runs on one worker thread, which starts reading the file at once.
// Loading and rewriting the account list block the caller; saving or deleting a snapshot is queued and
// returns at once.
//
// Snapshot writes coalesce per account: while one waits on the worker, a newer snapshot (or removal) of the
// same account takes its place in the queue, and a save whose text is still being encoded is given up for
// the newer one. So at most one write per account runs and one waits, whatever the caller sends, and
// nothing older is written after something newer. A write that fails is kept and tried again, with the
// newest snapshot of its account, at the next save or removal of any account.
//
// Nothing is written to a file that could not be opened, and opening never writes before the file has been
// read as a database.

#include "model/Account.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

#include <functional>
#include <memory>

class SQLiteCacheEngine final {
public:
    /// How a queued snapshot write or removal ended.
    struct WriteResult {
        QUuid accountId;
        bool removal = false;
        /// 0 when it is on disk, else the SQLite result code (SQLITE_FULL, SQLITE_READONLY, ...).
        int error = 0;
    };
    /// Called on the worker thread after each queued write or removal that ran.
    using WriteListener = std::function<void(const WriteResult&)>;

    /// What the file holds, and what of it could not be read.
    struct Contents {
        /// The account rows that decode, in stored order.
        QList<HalvoAccount> accounts;
        /// All rows of the account table, decoded or not.
        qsizetype accountRows = 0;
        /// The snapshots that decode, by account id.
        QHash<QUuid, HalvoAccountSnapshot> snapshots;
        /// Accounts whose snapshot row is there but cannot be read or does not decode.
        QSet<QUuid> unreadableSnapshots;
        /// Accounts whose snapshot decoded only without some list elements, with their number.
        QHash<QUuid, qsizetype> skippedItems;
        /// Snapshot rows whose key is no account id at all.
        qsizetype unreadableRows = 0;
        /// 0, or the SQLite result code when the file could not be opened or its account list not be read;
        /// then nothing else is filled in.
        int error = 0;
    };

    enum class SeedResult { written, notEmpty, failed };

    /// What a failure (an SQLite result code) means, in terms the user can act on.
    enum class Fault { cannotOpen, notACache, damaged, readOnly, locked, diskFull, ioError, other };
    static Fault faultOf(int sqliteResult);

    struct Options {
        /// Above 0: the file may not grow beyond this many pages, and a write that needs more fails as on a
        /// full disk (SQLITE_FULL). For tests that cannot make a small file system.
        qint64 maxPageCount = 0;
    };

    /// The cache file in the user's data folder: ".../HalvoPultorium/halvo_instant_cache.sqlite3".
    static QString defaultFilePath();

    /// Opens (and creates, with its folder) the database at the given path.
    explicit SQLiteCacheEngine(const QString& filePath = defaultFilePath());
    SQLiteCacheEngine(const QString& filePath, Options options);
    /// Waits for the write that runs and the ones that wait (at most one of each per account).
    ~SQLiteCacheEngine();
    SQLiteCacheEngine(const SQLiteCacheEngine&) = delete;
    SQLiteCacheEngine& operator=(const SQLiteCacheEngine&) = delete;

    QString filePath() const;
    /// Whether the database could be opened and its tables exist.
    bool isOpen() const;
    /// 0 when open, else the SQLite result code of the failed open (SQLITE_CANTOPEN, SQLITE_NOTADB, ...).
    int openError() const;
    /// Whether the file was opened read-only (a write-protected file): reading works, writing fails.
    bool isReadOnly() const;

    /// Everything the file holds. The first call after opening takes what the worker has read meanwhile.
    Contents load() const;
    /// The stored accounts in stored order; rows that do not decode are skipped.
    QList<HalvoAccount> loadAccounts() const;
    /// Every stored snapshot by account id; rows that do not decode are skipped.
    QHash<QUuid, HalvoAccountSnapshot> loadSnapshots() const;

    /// Rewrites the whole account list in one transaction; all or nothing. Blocks until done.
    bool saveAccounts(const QList<HalvoAccount>& accounts);
    /// Writes the accounts and their snapshots in one transaction, all or nothing, but only when the account
    /// table has no rows at all (decoded or not). Blocks until done; `error` gets the SQLite result code of
    /// a failure.
    SeedResult seed(const QList<HalvoAccount>& accounts, const QList<HalvoAccountSnapshot>& snapshots,
                    int* error = nullptr);
    /// Queues the replacement of the account's snapshot row.
    void saveSnapshot(const HalvoAccountSnapshot& snapshot);
    /// Queues the removal of the account's snapshot row.
    void deleteSnapshot(const QUuid& accountId);
    /// Says that a newer snapshot (or removal) of the account follows at once, before the caller changes its
    /// copy: the engine gives up encoding the account's older snapshot and drops what it holds of the ones not
    /// written yet, so that the change does not copy data the engine would still share. The newer
    /// saveSnapshot() or deleteSnapshot() must follow right after. Returns once the engine holds none of them.
    void supersede(const QUuid& accountId);

    /// Waits until every queued write has run. True when every snapshot and removal handed over so far is on
    /// disk; false when the file is not open or a write failed and waits for its retry.
    bool flush();

    /// Replaces the listener (none: no listener). Once this returns, the previous one is not called again.
    void setWriteListener(WriteListener listener);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
