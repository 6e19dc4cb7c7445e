#include "storage/KeychainService.h"

#include <QPointer>
#include <QTimer>
#include <qt6keychain/keychain.h>

#include <deque>

namespace {

/// Nothing legitimately takes this long without a prompt on screen; past it the backend is taken as gone,
/// so that one stuck call cannot hold every later job of the queue.
constexpr int kJobTimeoutMs = 15000;

QString keyFor(const QUuid& accountId) {
    return accountId.toString(QUuid::WithoutBraces);
}

} // namespace

struct KeychainService::Private {
    QString service;
    /// Each entry starts one operation and, when it ends, calls `finishCurrent`.
    std::deque<std::function<void()>> pending;
    bool busy = false;
};

KeychainService::KeychainService(QString serviceName, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>()) {
    d->service = std::move(serviceName);
}

KeychainService::~KeychainService() = default;

namespace {

/// Starts a job and calls `finished` exactly once: with the job when it ends, or with none when it has
/// not ended in time. A job that ends after its time is ignored.
template <class Job> void runJob(QObject* context, Job* job, std::function<void(Job*)> finished) {
    job->setAutoDelete(true);
    // Secrets never go to a plaintext file, whatever the platform offers.
    job->setInsecureFallback(false);

    auto done = std::make_shared<bool>(false);
    auto* timer = new QTimer(context);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, context, [timer, done, finished] {
        timer->deleteLater();
        if (*done)
            return;
        *done = true;
        finished(nullptr);
    });
    QObject::connect(job, &QKeychain::Job::finished, context, [timer, done, finished](QKeychain::Job* ended) {
        timer->stop();
        timer->deleteLater();
        if (*done)
            return;
        *done = true;
        finished(static_cast<Job*>(ended));
    });
    timer->start(kJobTimeoutMs);
    job->start();
}

} // namespace

void KeychainService::save(const QUuid& accountId, const Credentials& credentials, std::function<void(bool)> done) {
    const QString key = keyFor(accountId);
    const QString payload = QString::fromUtf8(halvo::json::toJson(credentials));
    enqueue([this, key, payload, done = std::move(done)] {
        auto* remove = new QKeychain::DeletePasswordJob(d->service, this);
        remove->setKey(key);
        // Replace, never update in place: delete (a missing item is fine), then add.
        runJob<QKeychain::DeletePasswordJob>(this, remove, [this, key, payload, done](QKeychain::DeletePasswordJob*) {
            auto* write = new QKeychain::WritePasswordJob(d->service, this);
            write->setKey(key);
            write->setTextData(payload);
            runJob<QKeychain::WritePasswordJob>(this, write, [this, done](QKeychain::WritePasswordJob* ended) {
                const bool ok = ended && ended->error() == QKeychain::NoError;
                finishCurrent([done, ok] { done(ok); });
            });
        });
    });
}

void KeychainService::read(const QUuid& accountId, std::function<void(std::optional<Credentials>)> done) {
    const QString key = keyFor(accountId);
    enqueue([this, key, done = std::move(done)] {
        auto* job = new QKeychain::ReadPasswordJob(d->service, this);
        job->setKey(key);
        runJob<QKeychain::ReadPasswordJob>(this, job, [this, done](QKeychain::ReadPasswordJob* ended) {
            std::optional<Credentials> result;
            if (ended && ended->error() == QKeychain::NoError)
                result = halvo::json::fromJson<Credentials>(ended->textData().toUtf8());
            finishCurrent([done, result] { done(result); });
        });
    });
}

void KeychainService::remove(const QUuid& accountId, std::function<void(bool)> done) {
    const QString key = keyFor(accountId);
    enqueue([this, key, done = std::move(done)] {
        auto* job = new QKeychain::DeletePasswordJob(d->service, this);
        job->setKey(key);
        runJob<QKeychain::DeletePasswordJob>(this, job, [this, done](QKeychain::DeletePasswordJob* ended) {
            // Backends differ on a missing item; either way the account has no item afterwards.
            const bool ok =
                ended && (ended->error() == QKeychain::NoError || ended->error() == QKeychain::EntryNotFound);
            finishCurrent([done, ok] { done(ok); });
        });
    });
}

void KeychainService::enqueue(std::function<void()> start) {
    d->pending.push_back(std::move(start));
    // Started on the next turn of the event loop, so even a backend that fails at once cannot call back
    // inside the caller's call.
    if (!d->busy) {
        d->busy = true;
        QMetaObject::invokeMethod(
            this, [this] { startNext(); }, Qt::QueuedConnection);
    }
}

void KeychainService::startNext() {
    if (d->pending.empty()) {
        d->busy = false;
        return;
    }
    auto start = std::move(d->pending.front());
    d->pending.pop_front();
    start();
}

void KeychainService::finishCurrent(std::function<void()> callback) {
    // The caller hears of the result on a later turn; the next job starts only after this one has ended.
    QMetaObject::invokeMethod(
        this,
        [this, callback = std::move(callback)] {
            callback();
            startNext();
        },
        Qt::QueuedConnection);
}
