#include "storage/SQLiteCacheEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <sqlite3.h>
#include <thread>

namespace {

/// A prepared statement that finalizes itself. Values are only ever bound, never spliced into SQL.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK) {
            sqlite3_finalize(m_stmt);
            m_stmt = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isValid() const { return m_stmt != nullptr; }

    /// Binds text that must stay alive until the statement has been stepped.
    bool bindText(int index, const QByteArray& utf8) {
        return sqlite3_bind_text(m_stmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_STATIC) ==
               SQLITE_OK;
    }
    bool bindInt(int index, qint64 value) { return sqlite3_bind_int64(m_stmt, index, value) == SQLITE_OK; }
    bool bindDouble(int index, double value) { return sqlite3_bind_double(m_stmt, index, value) == SQLITE_OK; }

    int step() { return sqlite3_step(m_stmt); }
    bool reset() { return sqlite3_reset(m_stmt) == SQLITE_OK && sqlite3_clear_bindings(m_stmt) == SQLITE_OK; }

    QByteArray columnText(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return text ? QByteArray(text, sqlite3_column_bytes(m_stmt, column)) : QByteArray();
    }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

bool exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

QByteArray uuidText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUtf8();
}

} // namespace

struct SQLiteCacheEngine::Private {
    sqlite3* db = nullptr;
    bool open = false;

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::function<void()>> queue;
    bool stopping = false;
    std::thread worker;

    bool openDatabase(const QString& filePath);
    void loop();
    void post(std::function<void()> job);

    /// Runs the job on the worker and waits for its result.
    template <class F> auto runAndWait(F job) -> decltype(job()) {
        using R = decltype(job());
        auto task = std::make_shared<std::packaged_task<R()>>(std::move(job));
        std::future<R> result = task->get_future();
        post([task] { (*task)(); });
        return result.get();
    }

    QList<HalvoAccount> readAccounts() const;
    QHash<QUuid, HalvoAccountSnapshot> readSnapshots() const;
    bool writeAccounts(const QList<HalvoAccount>& accounts);
    void writeSnapshot(const HalvoAccountSnapshot& snapshot);
    void removeSnapshot(const QUuid& accountId);
};

bool SQLiteCacheEngine::Private::openDatabase(const QString& filePath) {
    const QFileInfo info(filePath);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    const QByteArray path = QFile::encodeName(info.absoluteFilePath());
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        db = nullptr;
        return false;
    }
    // A second instance of the application may hold the write lock for a moment.
    sqlite3_busy_timeout(db, 3000);
    // The first statements read the file header: a file that is not a database fails here.
    const bool ready = exec(db, "PRAGMA journal_mode=WAL") && exec(db, "PRAGMA synchronous=NORMAL") &&
                       exec(db, "CREATE TABLE IF NOT EXISTS accounts ("
                                "position INTEGER PRIMARY KEY, id TEXT NOT NULL UNIQUE, json TEXT NOT NULL)") &&
                       exec(db, "CREATE TABLE IF NOT EXISTS snapshots ("
                                "account_id TEXT PRIMARY KEY, updated_at REAL NOT NULL, json TEXT NOT NULL)");
    if (!ready) {
        sqlite3_close_v2(db);
        db = nullptr;
        return false;
    }
    return true;
}

void SQLiteCacheEngine::Private::loop() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [this] { return stopping || !queue.empty(); });
            // Queued writes still run when the engine is being destroyed.
            if (queue.empty())
                return;
            job = std::move(queue.front());
            queue.pop_front();
        }
        job();
    }
}

void SQLiteCacheEngine::Private::post(std::function<void()> job) {
    {
        std::lock_guard lock(mutex);
        queue.push_back(std::move(job));
    }
    wake.notify_one();
}

QList<HalvoAccount> SQLiteCacheEngine::Private::readAccounts() const {
    QList<HalvoAccount> accounts;
    if (!open)
        return accounts;
    Statement select(db, "SELECT json FROM accounts ORDER BY position");
    if (!select.isValid())
        return accounts;
    while (select.step() == SQLITE_ROW) {
        if (auto account = halvo::json::fromJson<HalvoAccount>(select.columnText(0)))
            accounts.append(std::move(*account));
    }
    return accounts;
}

QHash<QUuid, HalvoAccountSnapshot> SQLiteCacheEngine::Private::readSnapshots() const {
    QHash<QUuid, HalvoAccountSnapshot> snapshots;
    if (!open)
        return snapshots;
    Statement select(db, "SELECT account_id, json FROM snapshots");
    if (!select.isValid())
        return snapshots;
    while (select.step() == SQLITE_ROW) {
        const QUuid rowId = QUuid::fromString(QString::fromUtf8(select.columnText(0)));
        auto snapshot = halvo::json::fromJson<HalvoAccountSnapshot>(select.columnText(1));
        // A row whose key and content disagree is as broken as one that does not decode.
        if (!snapshot || rowId.isNull() || snapshot->accountId != rowId)
            continue;
        snapshots.insert(rowId, std::move(*snapshot));
    }
    return snapshots;
}

bool SQLiteCacheEngine::Private::writeAccounts(const QList<HalvoAccount>& accounts) {
    if (!open || !exec(db, "BEGIN IMMEDIATE"))
        return false;
    bool ok = exec(db, "DELETE FROM accounts");
    Statement insert(db, "INSERT INTO accounts (position, id, json) VALUES (?1, ?2, ?3)");
    ok = ok && insert.isValid();
    for (qsizetype i = 0; ok && i < accounts.size(); ++i) {
        const QByteArray id = uuidText(accounts[i].id);
        const QByteArray json = halvo::json::toJson(accounts[i]);
        ok = insert.bindInt(1, i) && insert.bindText(2, id) && insert.bindText(3, json) &&
             insert.step() == SQLITE_DONE && insert.reset();
    }
    if (ok && exec(db, "COMMIT"))
        return true;
    exec(db, "ROLLBACK");
    return false;
}

void SQLiteCacheEngine::Private::writeSnapshot(const HalvoAccountSnapshot& snapshot) {
    if (!open)
        return;
    const QByteArray id = uuidText(snapshot.accountId);
    const QByteArray json = halvo::json::toJson(snapshot);
    Statement upsert(db, "INSERT OR REPLACE INTO snapshots (account_id, updated_at, json) VALUES (?1, ?2, ?3)");
    if (!upsert.isValid())
        return;
    const double updatedAt = static_cast<double>(snapshot.updatedAt.toMSecsSinceEpoch()) / 1000.0;
    if (upsert.bindText(1, id) && upsert.bindDouble(2, updatedAt) && upsert.bindText(3, json))
        upsert.step();
}

void SQLiteCacheEngine::Private::removeSnapshot(const QUuid& accountId) {
    if (!open)
        return;
    const QByteArray id = uuidText(accountId);
    Statement remove(db, "DELETE FROM snapshots WHERE account_id = ?1");
    if (remove.isValid() && remove.bindText(1, id))
        remove.step();
}

// ---- public ---------------------------------------------------------------------------------------------

QString SQLiteCacheEngine::defaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/HalvoPultorium/halvo_instant_cache.sqlite3");
}

SQLiteCacheEngine::SQLiteCacheEngine(const QString& filePath)
    : d(std::make_unique<Private>()) {
    d->open = d->openDatabase(filePath);
    // Started only now, so the connection is never used by two threads at once.
    d->worker = std::thread([p = d.get()] { p->loop(); });
}

SQLiteCacheEngine::~SQLiteCacheEngine() {
    {
        std::lock_guard lock(d->mutex);
        d->stopping = true;
    }
    d->wake.notify_one();
    d->worker.join();
    if (d->db)
        sqlite3_close_v2(d->db);
}

bool SQLiteCacheEngine::isOpen() const {
    return d->open;
}

QList<HalvoAccount> SQLiteCacheEngine::loadAccounts() const {
    return d->runAndWait([p = d.get()] { return p->readAccounts(); });
}

QHash<QUuid, HalvoAccountSnapshot> SQLiteCacheEngine::loadSnapshots() const {
    return d->runAndWait([p = d.get()] { return p->readSnapshots(); });
}

bool SQLiteCacheEngine::saveAccounts(const QList<HalvoAccount>& accounts) {
    return d->runAndWait([p = d.get(), accounts] { return p->writeAccounts(accounts); });
}

void SQLiteCacheEngine::saveSnapshot(const HalvoAccountSnapshot& snapshot) {
    // The copy shares its data with the caller's snapshot; the expensive JSON encoding runs on the worker.
    d->post([p = d.get(), snapshot] { p->writeSnapshot(snapshot); });
}

void SQLiteCacheEngine::deleteSnapshot(const QUuid& accountId) {
    d->post([p = d.get(), accountId] { p->removeSnapshot(accountId); });
}

void SQLiteCacheEngine::flush() {
    d->runAndWait([] { return true; });
}
