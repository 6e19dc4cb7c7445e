#include "storage/SQLiteCacheEngine.h"

#include "model/JsonRead.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <sqlite3.h>
#include <thread>
#include <vector>

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

    /// The column's text, with room behind its end for the JSON reader so that it is not copied again.
    QByteArray columnText(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        if (!text)
            return {};
        const int size = sqlite3_column_bytes(m_stmt, column);
        QByteArray result;
        result.reserve(size + qsizetype(simdjson::SIMDJSON_PADDING));
        result.append(text, size);
        return result;
    }
    qint64 columnInt(int column) const { return sqlite3_column_int64(m_stmt, column); }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

QByteArray uuidText(const QUuid& id) {
    return id.toByteArray(QUuid::WithoutBraces);
}

/// A write of one account's snapshot row: its replacement or its removal.
struct SnapshotJob {
    QUuid accountId;
    bool removal = false;
    /// The snapshot until it has been encoded; then its text, which a retry writes again. Dropping the
    /// snapshot early lets the caller change its own copy without copying what it still shares.
    std::optional<HalvoAccountSnapshot> snapshot;
    QByteArray json;
    double updatedAt = 0;

    /// Neither a snapshot nor its text nor a removal: a place kept for a newer write that follows at once.
    bool isPlaceholder() const { return !removal && !snapshot && json.isNull(); }
};

/// One entry of the worker's queue: a snapshot write or any other task.
struct Job {
    std::optional<SnapshotJob> write;
    std::function<void()> task;
};

} // namespace

struct SQLiteCacheEngine::Private {
    QString filePath;
    sqlite3* db = nullptr;
    bool open = false;
    bool readOnly = false;
    /// Whether texts are stored as UTF-8 (the default), so that their bytes can be read as they are.
    bool utf8Database = false;
    int openError = 0;

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::unique_ptr<Job>> queue;
    /// The snapshot write of each account that waits in the queue and has not started.
    QHash<QUuid, Job*> waiting;
    /// The account whose snapshot the worker is encoding now, and the flag that gives that save up.
    std::optional<QUuid> encoding;
    std::atomic<bool> giveUpEncoding = false;
    /// Counts the encodings that have ended, so that a caller of supersede() can see the end without the lock.
    std::atomic<quint64> encodingsEnded = 0;
    /// Tells a caller of supersede() that the worker has given the snapshot up.
    std::condition_variable encodingEnded;
    /// Writes that failed, by account, kept for their retry; a newer write of the account replaces them.
    QHash<QUuid, SnapshotJob> failed;
    /// Snapshots replaced in the queue; they are released on the worker, which may free large lists. While
    /// the worker is held up, the oldest beyond a few go at once, so that nothing piles up.
    std::vector<SnapshotJob> replaced;
    static constexpr std::size_t kMaxReplaced = 8;
    bool stopping = false;
    std::thread worker;

    /// What the worker read at the start, until the first load takes it; dropped once a write is queued.
    std::optional<std::shared_future<Contents>> startContents;

    std::mutex listenerMutex;
    WriteListener listener;

    bool openDatabase(const QString& path, const Options& options);
    void loop();
    void post(std::function<void()> task);
    /// Queues the write under the lock, replacing the account's waiting one; what must be released at once
    /// goes to `releaseNow`, for the caller to drop after unlocking.
    void queueWrite(SnapshotJob write, std::vector<SnapshotJob>& releaseNow);
    void replace(SnapshotJob old, std::vector<SnapshotJob>& releaseNow);
    void run(Job& job);
    int runWrite(SnapshotJob& write);
    void report(const WriteResult& result);

    /// Runs the task on the worker and waits for its result.
    template <class F> auto runAndWait(F task) -> decltype(task()) {
        using R = decltype(task());
        auto packaged = std::make_shared<std::packaged_task<R()>>(std::move(task));
        std::future<R> result = packaged->get_future();
        post([packaged] { (*packaged)(); });
        return result.get();
    }

    Contents readContents() const;
    Contents readRows() const;
    /// The snapshot texts of the last read, released only after the read has handed over its result: freeing
    /// megabytes takes a moment.
    mutable std::vector<QByteArray> readTexts;
    /// The stored bytes of a snapshot row's text, read in one go; none when they cannot be taken as they are.
    std::optional<QByteArray> readSnapshotText(qint64 rowId) const;
    bool writeAccounts(const QList<HalvoAccount>& accounts);
    SeedResult writeSeed(const QList<HalvoAccount>& accounts, const QList<HalvoAccountSnapshot>& snapshots, int& error);
    int execute(const char* sql) const { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
    /// The result code of the last failure on the connection, with its extension left off; an I/O error
    /// that the system reports as a full or read-only disk counts as that.
    int lastError() const {
        const int code = sqlite3_errcode(db) & 0xff;
        if (code == SQLITE_IOERR || code == SQLITE_CANTOPEN) {
            switch (sqlite3_system_errno(db)) {
            case ENOSPC:
            case EDQUOT:
                return SQLITE_FULL;
            case EROFS:
            case EACCES:
            case EPERM:
                return SQLITE_READONLY;
            default:
                break;
            }
        }
        return code;
    }
};

bool SQLiteCacheEngine::Private::openDatabase(const QString& path, const Options& options) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        openError = SQLITE_CANTOPEN;
        return false;
    }
    const QByteArray name = QFile::encodeName(info.absoluteFilePath());
    const int opened = sqlite3_open_v2(name.constData(), &db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (opened != SQLITE_OK) {
        openError = db ? lastError() : opened;
        sqlite3_close_v2(db);
        db = nullptr;
        return false;
    }
    // A second instance of the application may hold the write lock for a moment.
    sqlite3_busy_timeout(db, 3000);
    // Read before anything is written: a file that is not a database, or whose schema is damaged, fails
    // here and stays exactly as it is.
    int rc = execute("SELECT count(*) FROM sqlite_master");
    if (rc == SQLITE_OK)
        rc = execute("PRAGMA journal_mode=WAL");
    if (rc == SQLITE_OK)
        rc = execute("PRAGMA synchronous=NORMAL");
    if (rc == SQLITE_OK)
        rc = execute("CREATE TABLE IF NOT EXISTS accounts ("
                     "position INTEGER PRIMARY KEY, id TEXT NOT NULL UNIQUE, json TEXT NOT NULL)");
    if (rc == SQLITE_OK)
        rc = execute("CREATE TABLE IF NOT EXISTS snapshots ("
                     "account_id TEXT PRIMARY KEY, updated_at REAL NOT NULL, json TEXT NOT NULL)");
    if (rc == SQLITE_OK && options.maxPageCount > 0)
        rc = execute(QByteArray("PRAGMA max_page_count=" + QByteArray::number(options.maxPageCount)).constData());
    if (rc != SQLITE_OK) {
        openError = lastError();
        // A write-protected file or folder opens read-only, and then its journal cannot be opened.
        if (openError == SQLITE_CANTOPEN && sqlite3_db_readonly(db, "main") == 1)
            openError = SQLITE_READONLY;
        sqlite3_close_v2(db);
        db = nullptr;
        return false;
    }
    readOnly = sqlite3_db_readonly(db, "main") == 1;
    Statement encoding(db, "PRAGMA encoding");
    utf8Database = encoding.isValid() && encoding.step() == SQLITE_ROW && encoding.columnText(0) == "UTF-8";
    return true;
}

void SQLiteCacheEngine::Private::loop() {
    for (;;) {
        std::unique_ptr<Job> job;
        std::vector<SnapshotJob> release;
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [this] { return stopping || !queue.empty() || !replaced.empty(); });
            release.swap(replaced);
            // Queued writes still run when the engine is being destroyed.
            if (queue.empty() && stopping)
                return;
            if (!queue.empty()) {
                job = std::move(queue.front());
                queue.pop_front();
                if (job->write) {
                    waiting.remove(job->write->accountId);
                    if (job->write->snapshot) {
                        encoding = job->write->accountId;
                        giveUpEncoding = false;
                    }
                }
            }
        }
        release.clear();
        if (job)
            run(*job);
        // After the task has handed over its result, so that the one waiting for it does not wait for this.
        readTexts.clear();
    }
}

void SQLiteCacheEngine::Private::post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex);
        auto job = std::make_unique<Job>();
        job->task = std::move(task);
        queue.push_back(std::move(job));
    }
    wake.notify_one();
}

void SQLiteCacheEngine::Private::replace(SnapshotJob old, std::vector<SnapshotJob>& releaseNow) {
    if (old.isPlaceholder())
        return;
    if (replaced.size() >= kMaxReplaced) {
        releaseNow.push_back(std::move(replaced.front()));
        replaced.erase(replaced.begin());
    }
    replaced.push_back(std::move(old));
}

void SQLiteCacheEngine::Private::queueWrite(SnapshotJob write, std::vector<SnapshotJob>& releaseNow) {
    const QUuid id = write.accountId;
    // The text of an older snapshot of the account that is still being encoded would be written for
    // nothing: that save gives up, and this one follows.
    if (encoding == id)
        giveUpEncoding = true;
    if (const auto old = failed.find(id); old != failed.end()) {
        replace(std::move(*old), releaseNow);
        failed.erase(old);
    }
    if (Job* queued = waiting.value(id)) {
        replace(std::move(*queued->write), releaseNow);
        queued->write = std::move(write);
    } else {
        auto job = std::make_unique<Job>();
        job->write = std::move(write);
        waiting.insert(id, job.get());
        queue.push_back(std::move(job));
    }
    // A failed write of another account is tried again now, with the newest snapshot of that account.
    for (auto it = failed.begin(); it != failed.end(); it = failed.erase(it)) {
        auto retry = std::make_unique<Job>();
        retry->write = std::move(*it);
        waiting.insert(it.key(), retry.get());
        queue.push_back(std::move(retry));
    }
    startContents.reset();
}

void SQLiteCacheEngine::Private::run(Job& job) {
    if (!job.write) {
        job.task();
        return;
    }
    if (job.write->isPlaceholder())
        return; // the newer write it was kept for came later, as a job of its own
    std::unique_ptr<Job> newer;
    const WriteResult result{job.write->accountId, job.write->removal, runWrite(*job.write)};
    {
        std::lock_guard lock(mutex);
        if (result.error < 0) {
            // Given up for a newer write of the account, which now runs in this one's place, so that nothing
            // queued after the older one (a flush) runs before the newer one.
            Job* waitingJob = waiting.take(result.accountId);
            const auto at = std::find_if(queue.begin(), queue.end(), [&](const std::unique_ptr<Job>& queued) {
                return queued.get() == waitingJob;
            });
            if (at != queue.end()) {
                newer = std::move(*at);
                queue.erase(at);
                if (newer->write->snapshot) {
                    encoding = result.accountId;
                    giveUpEncoding = false;
                }
            }
        } else if (result.error != SQLITE_OK && !waiting.contains(result.accountId)) {
            // Kept for the retry, unless a newer write of the account is queued already.
            failed.insert(result.accountId, std::move(*job.write));
        }
    }
    if (newer) {
        run(*newer);
        return;
    }
    if (result.error >= 0)
        report(result);
}

int SQLiteCacheEngine::Private::runWrite(SnapshotJob& write) {
    const QByteArray id = uuidText(write.accountId);
    if (write.removal) {
        if (!open)
            return openError;
        Statement remove(db, "DELETE FROM snapshots WHERE account_id = ?1");
        if (!remove.isValid() || !remove.bindText(1, id) || remove.step() != SQLITE_DONE)
            return lastError();
        return SQLITE_OK;
    }
    if (write.snapshot) {
        halvo::json::JsonWriter writer(&giveUpEncoding);
        writer.write(*write.snapshot);
        // Given up: dropped before the caller of supersede() is told, who then owns its data alone.
        if (writer.stopped())
            write.snapshot.reset();
        {
            std::lock_guard lock(mutex);
            encoding.reset();
            encodingsEnded.fetch_add(1, std::memory_order_release);
        }
        encodingEnded.notify_all();
        if (writer.stopped())
            return -1;
        write.json = writer.take();
        write.updatedAt = static_cast<double>(write.snapshot->updatedAt.toMSecsSinceEpoch()) / 1000.0;
        write.snapshot.reset();
    }
    if (!open)
        return openError;
    Statement upsert(db, "INSERT OR REPLACE INTO snapshots (account_id, updated_at, json) VALUES (?1, ?2, ?3)");
    if (!upsert.isValid())
        return lastError();
    if (!upsert.bindText(1, id) || !upsert.bindDouble(2, write.updatedAt) || !upsert.bindText(3, write.json) ||
        upsert.step() != SQLITE_DONE)
        return lastError();
    return SQLITE_OK;
}

void SQLiteCacheEngine::Private::report(const WriteResult& result) {
    std::lock_guard lock(listenerMutex);
    if (listener)
        listener(result);
}

SQLiteCacheEngine::Contents SQLiteCacheEngine::Private::readContents() const {
    if (!open) {
        Contents contents;
        contents.error = openError;
        return contents;
    }
    // One read transaction, so that the accounts and snapshots are read as they stood together. The file is
    // mapped into memory for this read only: the snapshot texts run over many pages, which SQLite then copies
    // from the map instead of reading each with a call of its own. Writes never go through the map.
    execute("PRAGMA mmap_size=1073741824");
    execute("BEGIN");
    Contents contents = readRows();
    execute("COMMIT");
    execute("PRAGMA mmap_size=0");
    return contents;
}

SQLiteCacheEngine::Contents SQLiteCacheEngine::Private::readRows() const {
    Contents contents;
    {
        Statement select(db, "SELECT json FROM accounts ORDER BY position");
        int rc = select.isValid() ? SQLITE_ROW : lastError();
        while (rc == SQLITE_ROW && (rc = select.step()) == SQLITE_ROW) {
            ++contents.accountRows;
            if (auto account = halvo::json::readJson<HalvoAccount>(select.columnText(0)))
                contents.accounts.append(std::move(*account));
        }
        if (rc != SQLITE_DONE) {
            // Without the whole account list nothing can be told apart from a cache without accounts.
            contents = Contents{};
            contents.error = rc & 0xff;
            return contents;
        }
    }
    // The keys first, then each row by itself: a row that cannot be read does not hide the ones after it.
    QList<QByteArray> keys;
    {
        Statement select(db, "SELECT account_id FROM snapshots");
        int rc = select.isValid() ? SQLITE_ROW : lastError();
        while (rc == SQLITE_ROW && (rc = select.step()) == SQLITE_ROW)
            keys.append(select.columnText(0));
        if (rc != SQLITE_DONE) {
            contents = Contents{};
            contents.error = rc & 0xff;
            return contents;
        }
    }
    Statement select(db, "SELECT rowid FROM snapshots WHERE account_id = ?1");
    Statement selectText(db, "SELECT json FROM snapshots WHERE account_id = ?1");
    for (const QByteArray& key : keys) {
        const QUuid rowId = QUuid::fromString(QLatin1StringView(key));
        if (rowId.isNull()) {
            ++contents.unreadableRows;
            continue;
        }
        std::optional<QByteArray> text;
        if (select.isValid() && select.bindText(1, key) && select.step() == SQLITE_ROW)
            text = readSnapshotText(select.columnInt(0));
        select.reset();
        // Through SQLite's own conversion when the bytes cannot be taken as they are stored.
        if (!text && selectText.isValid() && selectText.bindText(1, key) && selectText.step() == SQLITE_ROW)
            text = selectText.columnText(0);
        selectText.reset();
        std::optional<HalvoAccountSnapshot> snapshot;
        qsizetype skipped = 0;
        if (text) {
            snapshot = halvo::json::readJson<HalvoAccountSnapshot>(*text, &skipped);
            readTexts.push_back(std::move(*text));
        }
        // A row whose key and content disagree is as broken as one that does not decode.
        if (!snapshot || snapshot->accountId != rowId) {
            contents.unreadableSnapshots.insert(rowId);
            continue;
        }
        if (skipped > 0)
            contents.skippedItems.insert(rowId, skipped);
        contents.snapshots.insert(rowId, std::move(*snapshot));
    }
    return contents;
}

std::optional<QByteArray> SQLiteCacheEngine::Private::readSnapshotText(qint64 rowId) const {
    // The stored bytes are the text only in a UTF-8 database; SQLite converts those of any other encoding.
    if (!utf8Database)
        return std::nullopt;
    sqlite3_blob* blob = nullptr;
    if (sqlite3_blob_open(db, "main", "snapshots", "json", rowId, 0, &blob) != SQLITE_OK) {
        // Not a text at all (a number, say); the caller reads it through SQLite's conversion.
        sqlite3_blob_close(blob);
        return std::nullopt;
    }
    // Straight into a buffer with room for the JSON reader behind its end: no copy of several megabytes.
    const int size = sqlite3_blob_bytes(blob);
    QByteArray text;
    text.reserve(size + qsizetype(simdjson::SIMDJSON_PADDING));
    text.resize(size);
    const int rc = sqlite3_blob_read(blob, text.data(), size, 0);
    sqlite3_blob_close(blob);
    if (rc != SQLITE_OK)
        return std::nullopt;
    return text;
}

bool SQLiteCacheEngine::Private::writeAccounts(const QList<HalvoAccount>& accounts) {
    if (!open || execute("BEGIN IMMEDIATE") != SQLITE_OK)
        return false;
    bool ok = execute("DELETE FROM accounts") == SQLITE_OK;
    Statement insert(db, "INSERT INTO accounts (position, id, json) VALUES (?1, ?2, ?3)");
    ok = ok && insert.isValid();
    for (qsizetype i = 0; ok && i < accounts.size(); ++i) {
        const QByteArray id = uuidText(accounts[i].id);
        const QByteArray json = halvo::json::toJson(accounts[i]);
        ok = insert.bindInt(1, i) && insert.bindText(2, id) && insert.bindText(3, json) &&
             insert.step() == SQLITE_DONE && insert.reset();
    }
    if (ok && execute("COMMIT") == SQLITE_OK)
        return true;
    execute("ROLLBACK");
    return false;
}

SQLiteCacheEngine::SeedResult SQLiteCacheEngine::Private::writeSeed(const QList<HalvoAccount>& accounts,
                                                                    const QList<HalvoAccountSnapshot>& snapshots,
                                                                    int& error) {
    if (!open) {
        error = openError;
        return SeedResult::failed;
    }
    if (execute("BEGIN IMMEDIATE") != SQLITE_OK) {
        error = lastError();
        return SeedResult::failed;
    }
    const auto fail = [&] {
        error = lastError();
        execute("ROLLBACK");
        return SeedResult::failed;
    };
    {
        Statement count(db, "SELECT count(*) FROM accounts");
        if (!count.isValid() || count.step() != SQLITE_ROW)
            return fail();
        if (count.columnInt(0) > 0) {
            execute("ROLLBACK");
            return SeedResult::notEmpty;
        }
    }
    Statement insert(db, "INSERT INTO accounts (position, id, json) VALUES (?1, ?2, ?3)");
    if (!insert.isValid())
        return fail();
    for (qsizetype i = 0; i < accounts.size(); ++i) {
        const QByteArray id = uuidText(accounts[i].id);
        const QByteArray json = halvo::json::toJson(accounts[i]);
        if (!insert.bindInt(1, i) || !insert.bindText(2, id) || !insert.bindText(3, json) ||
            insert.step() != SQLITE_DONE || !insert.reset())
            return fail();
    }
    Statement upsert(db, "INSERT OR REPLACE INTO snapshots (account_id, updated_at, json) VALUES (?1, ?2, ?3)");
    if (!upsert.isValid())
        return fail();
    for (const HalvoAccountSnapshot& snapshot : snapshots) {
        const QByteArray id = uuidText(snapshot.accountId);
        const QByteArray json = halvo::json::toJson(snapshot);
        const double updatedAt = static_cast<double>(snapshot.updatedAt.toMSecsSinceEpoch()) / 1000.0;
        if (!upsert.bindText(1, id) || !upsert.bindDouble(2, updatedAt) || !upsert.bindText(3, json) ||
            upsert.step() != SQLITE_DONE || !upsert.reset())
            return fail();
    }
    if (execute("COMMIT") != SQLITE_OK)
        return fail();
    return SeedResult::written;
}

// ---- public ---------------------------------------------------------------------------------------------

QString SQLiteCacheEngine::defaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/HalvoPultorium/halvo_instant_cache.sqlite3");
}

SQLiteCacheEngine::Fault SQLiteCacheEngine::faultOf(int sqliteResult) {
    switch (sqliteResult & 0xff) {
    case SQLITE_CANTOPEN:
        return Fault::cannotOpen;
    case SQLITE_NOTADB:
        return Fault::notACache;
    case SQLITE_CORRUPT:
        return Fault::damaged;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return Fault::readOnly;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Fault::locked;
    case SQLITE_FULL:
        return Fault::diskFull;
    case SQLITE_IOERR:
        return Fault::ioError;
    default:
        return Fault::other;
    }
}

SQLiteCacheEngine::SQLiteCacheEngine(const QString& filePath)
    : SQLiteCacheEngine(filePath, Options{}) {}

SQLiteCacheEngine::SQLiteCacheEngine(const QString& filePath, Options options)
    : d(std::make_unique<Private>()) {
    d->filePath = filePath;
    d->open = d->openDatabase(filePath, options);
    // Started only now, so the connection is never used by two threads at once. Its first task reads the
    // file, while the caller goes on preparing the rest of the start.
    d->worker = std::thread([p = d.get()] { p->loop(); });
    auto read = std::make_shared<std::packaged_task<Contents()>>([p = d.get()] { return p->readContents(); });
    d->startContents = read->get_future().share();
    d->post([read] { (*read)(); });
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

QString SQLiteCacheEngine::filePath() const {
    return d->filePath;
}

bool SQLiteCacheEngine::isOpen() const {
    return d->open;
}

int SQLiteCacheEngine::openError() const {
    return d->openError;
}

bool SQLiteCacheEngine::isReadOnly() const {
    return d->readOnly;
}

SQLiteCacheEngine::Contents SQLiteCacheEngine::load() const {
    std::optional<std::shared_future<Contents>> start;
    {
        std::lock_guard lock(d->mutex);
        start.swap(d->startContents);
    }
    if (start)
        return start->get();
    return d->runAndWait([p = d.get()] { return p->readContents(); });
}

QList<HalvoAccount> SQLiteCacheEngine::loadAccounts() const {
    return load().accounts;
}

QHash<QUuid, HalvoAccountSnapshot> SQLiteCacheEngine::loadSnapshots() const {
    return load().snapshots;
}

bool SQLiteCacheEngine::saveAccounts(const QList<HalvoAccount>& accounts) {
    {
        std::lock_guard lock(d->mutex);
        d->startContents.reset();
    }
    return d->runAndWait([p = d.get(), accounts] { return p->writeAccounts(accounts); });
}

SQLiteCacheEngine::SeedResult SQLiteCacheEngine::seed(const QList<HalvoAccount>& accounts,
                                                      const QList<HalvoAccountSnapshot>& snapshots, int* error) {
    {
        std::lock_guard lock(d->mutex);
        d->startContents.reset();
    }
    int code = SQLITE_OK;
    const SeedResult result =
        d->runAndWait([p = d.get(), &accounts, &snapshots, &code] { return p->writeSeed(accounts, snapshots, code); });
    if (error)
        *error = code;
    return result;
}

void SQLiteCacheEngine::saveSnapshot(const HalvoAccountSnapshot& snapshot) {
    std::vector<SnapshotJob> releaseNow;
    {
        // The copy shares its data with the caller's snapshot; the expensive JSON encoding runs on the worker.
        std::lock_guard lock(d->mutex);
        d->queueWrite({snapshot.accountId, false, snapshot, {}, 0}, releaseNow);
    }
    d->wake.notify_one();
}

void SQLiteCacheEngine::deleteSnapshot(const QUuid& accountId) {
    std::vector<SnapshotJob> releaseNow;
    {
        std::lock_guard lock(d->mutex);
        d->queueWrite({accountId, true, std::nullopt, {}, 0}, releaseNow);
    }
    d->wake.notify_one();
}

void SQLiteCacheEngine::supersede(const QUuid& accountId) {
    std::vector<SnapshotJob> drop;
    {
        std::unique_lock lock(d->mutex);
        if (Job* queued = d->waiting.value(accountId); queued && !queued->write->isPlaceholder()) {
            drop.push_back(std::move(*queued->write));
            *queued->write = SnapshotJob{accountId, false, std::nullopt, {}, 0};
        }
        for (auto it = d->replaced.begin(); it != d->replaced.end();) {
            if (it->accountId == accountId) {
                drop.push_back(std::move(*it));
                it = d->replaced.erase(it);
            } else {
                ++it;
            }
        }
        if (d->encoding == accountId) {
            d->giveUpEncoding = true;
            // The encoder looks at the flag after every record and so stops within microseconds; waiting for
            // that with the lock released beats being put to sleep and woken again, which costs far more than
            // the change the caller is about to make. A worker that is not running gets the usual wait.
            const quint64 ended = d->encodingsEnded.load(std::memory_order_acquire);
            lock.unlock();
            const auto spinUntil = std::chrono::steady_clock::now() + std::chrono::microseconds(200);
            while (d->encodingsEnded.load(std::memory_order_acquire) == ended &&
                   std::chrono::steady_clock::now() < spinUntil)
                std::this_thread::yield();
            lock.lock();
            d->encodingEnded.wait(lock, [&] { return d->encoding != accountId; });
        }
    }
    // Dropped here, after unlocking: mostly the caller's own data, which stays alive.
}

bool SQLiteCacheEngine::flush() {
    return d->runAndWait([p = d.get()] {
        std::lock_guard lock(p->mutex);
        return p->open && p->failed.isEmpty();
    });
}

void SQLiteCacheEngine::setWriteListener(WriteListener listener) {
    std::lock_guard lock(d->listenerMutex);
    d->listener = std::move(listener);
}
