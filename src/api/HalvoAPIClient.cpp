#include "api/HalvoAPIClient.h"

#include "api/HalvoRequest.h"
#include "model/Text.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QtNumeric>

namespace {

const QString kApiDomain = QStringLiteral("HalvoAPI");
const QString kTransportDomain = QStringLiteral("QNetworkReply");
const QString kUnknownError = QStringLiteral("Unknown Halvo API Error");

HalvoAPIError apiError(int code, const QString& description) {
    return HalvoAPIError{kApiDomain, code, description};
}

/// Unix seconds that a server clock can plausibly read: from 2000-01-01 to before 2200-01-01 (UTC).
constexpr qint64 kEarliestServerTime = 946'684'800;
constexpr qint64 kLatestServerTime = 7'258'118'400;

bool isPlausibleServerTime(qint64 seconds) {
    return seconds >= kEarliestServerTime && seconds < kLatestServerTime;
}

/// A size for a sentence: "64 MiB", "4 KiB" or "32 Bytes".
QString sizeText(qint64 bytes) {
    constexpr qint64 kKiB = 1024;
    constexpr qint64 kMiB = 1024 * kKiB;
    if (bytes >= kMiB && bytes % kMiB == 0)
        return QString::number(bytes / kMiB) + QStringLiteral(" MiB");
    if (bytes >= kKiB && bytes % kKiB == 0)
        return QString::number(bytes / kKiB) + QStringLiteral(" KiB");
    return QString::number(bytes) + QStringLiteral(" Bytes");
}

/// Seconds for a sentence, as "60" or "0.3".
QString secondsText(int milliseconds) {
    return QString::number(milliseconds / 1000.0);
}

/// The full address of `path` below `base`, or none when the result would leave the base address: another
/// scheme, host, port or user, a path outside the base path, or a "." / ".." segment that a server would
/// fold into a different resource.
std::optional<QUrl> addressBelow(const QUrl& base, const QString& path) {
    if (!base.isValid() || base.host().isEmpty() || !path.startsWith(QLatin1Char('/')))
        return std::nullopt;
    QByteArray baseText = base.toEncoded(QUrl::RemoveQuery | QUrl::RemoveFragment);
    while (baseText.endsWith('/'))
        baseText.chop(1);
    const QUrl url = QUrl::fromEncoded(baseText + path.toUtf8(), QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != base.scheme() || url.host() != base.host() || url.port() != base.port() ||
        !url.userInfo().isEmpty())
        return std::nullopt;
    const QString basePath = base.path(QUrl::FullyEncoded);
    const QString fullPath = url.path(QUrl::FullyEncoded);
    QString prefix = basePath;
    if (!prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/');
    if (!fullPath.startsWith(prefix))
        return std::nullopt;
    const QStringList segments = fullPath.split(QLatin1Char('/'));
    for (const QString& segment : segments) {
        if (segment == QLatin1String(".") || segment == QLatin1String(".."))
            return std::nullopt;
    }
    return url;
}

/// A header value must not be able to end its header line.
bool isSafeHeaderValue(const QString& value) {
    for (const QChar c : value) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}

bool isToken(const QString& method) {
    if (method.isEmpty())
        return false;
    for (const QChar c : method) {
        if (!(c >= QLatin1Char('A') && c <= QLatin1Char('Z')))
            return false;
    }
    return true;
}

} // namespace

struct HalvoAPIClient::Transfer {
    std::function<void(const HalvoAPIResult&)> done;
    qint64 maxBodyBytes = 0;
    QTimer* deadline = nullptr;
    QNetworkReply* reply = nullptr;
    /// The body as it arrived, in pieces: growing one array would copy it again and again, holding up to
    /// twice the limit while a refused answer streams in.
    QList<QByteArray> pieces;
    qint64 received = 0;
    bool over = false;

    QByteArray takeBody() {
        QByteArray body;
        body.reserve(received);
        for (const QByteArray& piece : std::as_const(pieces))
            body += piece;
        pieces.clear();
        received = 0;
        return body;
    }
};

struct HalvoAPIClient::Private {
    BaseUrls baseUrls;
    HalvoAPILimits limits;
    Clock clock = [] { return QDateTime::currentDateTimeUtc(); };
    int transferTimeout = 60'000;
    QNetworkAccessManager* network = nullptr;
    /// Server time minus local time, in seconds, per region that has answered "/auth/time".
    QHash<HalvoRegion, qint64> offsets;
    /// Requests waiting for a server-time answer that is on its way, per region.
    QHash<HalvoRegion, QList<std::function<void()>>> waitingForTime;
    /// Every transfer that has not ended.
    QHash<Transfer*, TransferPtr> open;
};

HalvoAPIClient::BaseUrls HalvoAPIClient::defaultBaseUrls() {
    BaseUrls urls;
    for (const HalvoRegion region : kAllRegions)
        urls.insert(region, defaultBaseUrl(region));
    return urls;
}

HalvoAPIClient::HalvoAPIClient(BaseUrls baseUrls, HalvoAPILimits limits, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>()) {
    d->baseUrls = std::move(baseUrls);
    d->limits = limits;
    d->network = new QNetworkAccessManager(this);
    // Nothing is remembered between requests: no cookies, no disk cache, no redirects.
    d->network->setCookieJar(nullptr);
    d->network->setCache(nullptr);
    d->network->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    d->network->setAutoDeleteReplies(false);
}

HalvoAPIClient::~HalvoAPIClient() {
    // Callers may already be gone; an abandoned request reports nothing.
    for (const TransferPtr& transfer : std::as_const(d->open)) {
        transfer->over = true;
        if (QNetworkReply* reply = transfer->reply) {
            reply->disconnect(this);
            reply->abort();
            delete reply;
            transfer->reply = nullptr;
        }
    }
    d->open.clear();
}

void HalvoAPIClient::setClock(Clock clock) {
    d->clock = std::move(clock);
}

void HalvoAPIClient::setTransferTimeout(int milliseconds) {
    d->transferTimeout = milliseconds;
}

QString HalvoAPIClient::signature(const QString& appSecret, const QString& consumerKey, const QString& method,
                                  const QByteArray& encodedUrl, const QByteArray& body, qint64 timestamp) {
    const QByteArray text = appSecret.toUtf8() + '+' + consumerKey.toUtf8() + '+' + method.toUtf8() + '+' + encodedUrl +
                            '+' + body + '+' + QByteArray::number(timestamp);
    return QStringLiteral("$1$") +
           QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Sha1).toHex());
}

namespace {

QNetworkRequest plainRequest(const QUrl& url, int transferTimeout) {
    QNetworkRequest request(url);
    request.setTransferTimeout(transferTimeout);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    return request;
}

/// The outcome of a finished reply, whose body has been read, in the client's error form.
HalvoAPIResult resultOf(QNetworkReply* reply, QByteArray body, int transferTimeout) {
    HalvoAPIResult result;
    result.body = std::move(body);
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        result.status = status.toInt();
        if (result.status < 200 || result.status > 299) {
            result.error =
                apiError(result.status, result.body.isEmpty() ? kUnknownError : QString::fromUtf8(result.body));
            return result;
        }
    }
    if (reply->error() == QNetworkReply::OperationCanceledError) {
        // The client's own cancels never get here; a cancelled transfer is the transfer timeout.
        result.error = HalvoAPIError{kTransportDomain, int(reply->error()),
                                     QStringLiteral("Zeitüberschreitung: %1 s lang keine Antwort vom Server.")
                                         .arg(secondsText(transferTimeout))};
    } else if (reply->error() != QNetworkReply::NoError) {
        result.error = HalvoAPIError{kTransportDomain, int(reply->error()), reply->errorString()};
    } else if (!status.isValid()) {
        result.error = apiError(500, result.body.isEmpty() ? kUnknownError : QString::fromUtf8(result.body));
    }
    return result;
}

HalvoAPIResult failure(const HalvoAPIError& error) {
    return HalvoAPIResult{error, 0, {}};
}

} // namespace

void HalvoAPIClient::signedRequest(const HalvoAccount& account, const QString& appSecret, const QString& consumerKey,
                                   const QString& method, const QString& path, const std::optional<QByteArray>& body,
                                   Completion done) {
    const auto fail = [this, &done](const HalvoAPIError& error) {
        // Reported on the next turn, like every other outcome.
        QMetaObject::invokeMethod(
            this, [done = std::move(done), error] { done(failure(error)); }, Qt::QueuedConnection);
    };

    if (const std::optional<QString> fault = halvo::api::pathFault(path)) {
        fail(apiError(400, *fault));
        return;
    }
    const QUrl base = d->baseUrls.value(account.region);
    const std::optional<QUrl> url = addressBelow(base, path);
    if (!url) {
        fail(apiError(400, QStringLiteral("Ungültiger Anfragepfad.")));
        return;
    }
    if (!isToken(method)) {
        fail(apiError(400, QStringLiteral("Ungültige Anfragemethode.")));
        return;
    }
    if (!isSafeHeaderValue(account.appKey) || !isSafeHeaderValue(consumerKey)) {
        fail(apiError(400, QStringLiteral("Ungültige Zeichen in den API-Zugangsdaten.")));
        return;
    }

    // The deadline runs from here, so it covers the server-time request too.
    const TransferPtr transfer = beginTransfer(d->limits.maxBodyBytes, std::move(done));
    const HalvoRegion region = account.region;
    withServerTime(
        region, [this, transfer, region, url = *url, appKey = account.appKey, appSecret, consumerKey, method, body] {
            if (transfer->over)
                return;
            const qint64 timestamp = timestampFor(region);
            const QByteArray encodedUrl = url.toEncoded();
            const QByteArray payload = body.value_or(QByteArray());

            QNetworkRequest request = plainRequest(url, d->transferTimeout);
            request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
            request.setRawHeader("X-Halvo-Application", appKey.toUtf8());
            request.setRawHeader("X-Halvo-Consumer", consumerKey.toUtf8());
            request.setRawHeader("X-Halvo-Timestamp", QByteArray::number(timestamp));
            request.setRawHeader("X-Halvo-Signature",
                                 signature(appSecret, consumerKey, method, encodedUrl, payload, timestamp).toLatin1());

            const QByteArray verb = method.toLatin1();
            const bool sendsBody = body.has_value() || verb == "POST" || verb == "PUT" || verb == "PATCH";
            attach(transfer, sendsBody ? d->network->sendCustomRequest(request, verb, payload)
                                       : d->network->sendCustomRequest(request, verb));
        });
}

qint64 HalvoAPIClient::timestampFor(HalvoRegion region) {
    const qint64 local = d->clock().toSecsSinceEpoch();
    const auto offset = d->offsets.constFind(region);
    if (offset == d->offsets.constEnd())
        return local;
    qint64 serverTime = 0;
    if (!qAddOverflow(local, *offset, &serverTime) && isPlausibleServerTime(serverTime))
        return serverTime;
    // The local clock has jumped too far for the offset to mean anything: sign with it and ask again.
    d->offsets.remove(region);
    return local;
}

HalvoAPIClient::TransferPtr HalvoAPIClient::beginTransfer(qint64 maxBodyBytes,
                                                          std::function<void(const HalvoAPIResult&)> done) {
    auto transfer = std::make_shared<Transfer>();
    transfer->done = std::move(done);
    transfer->maxBodyBytes = maxBodyBytes;
    transfer->deadline = new QTimer(this);
    transfer->deadline->setSingleShot(true);
    const int deadlineMs = d->limits.deadlineMs;
    // The timer belongs to the transfer; a weak reference keeps the two from holding each other.
    connect(transfer->deadline, &QTimer::timeout, this, [this, weak = std::weak_ptr<Transfer>(transfer), deadlineMs] {
        if (const TransferPtr expired = weak.lock()) {
            finish(expired, failure(HalvoAPIError{
                                kTransportDomain, int(QNetworkReply::OperationCanceledError),
                                QStringLiteral("Zeitüberschreitung: keine vollständige Antwort innerhalb von %1 s.")
                                    .arg(secondsText(deadlineMs))}));
        }
    });
    transfer->deadline->start(deadlineMs);
    d->open.insert(transfer.get(), transfer);
    return transfer;
}

void HalvoAPIClient::attach(const TransferPtr& transfer, QNetworkReply* reply) {
    transfer->reply = reply;
    // Qt stops reading from the connection while this much is unread, so memory stays bounded whatever
    // the server sends.
    reply->setReadBufferSize(qMin<qint64>(transfer->maxBodyBytes + 1, 1024 * 1024));

    const auto tooLarge = [this, transfer] {
        finish(transfer, failure(HalvoAPIError{kTransportDomain, int(QNetworkReply::OperationCanceledError),
                                               QStringLiteral("Antwort zu groß: mehr als %1, Übertragung abgebrochen.")
                                                   .arg(sizeText(transfer->maxBodyBytes))}));
    };
    // Reads what has arrived, never more than one byte beyond the limit; false once the limit is passed.
    const auto readWithinLimit = [transfer, reply] {
        const qint64 room = transfer->maxBodyBytes + 1 - transfer->received;
        if (room > 0 && reply->isOpen() && reply->bytesAvailable() > 0) {
            transfer->pieces.append(reply->read(qMin(room, reply->bytesAvailable())));
            transfer->received += transfer->pieces.constLast().size();
        }
        return transfer->received <= transfer->maxBodyBytes;
    };

    connect(reply, &QNetworkReply::metaDataChanged, this, [transfer, reply, tooLarge] {
        const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
        if (announced.isValid() && announced.toLongLong() > transfer->maxBodyBytes)
            tooLarge();
    });
    connect(reply, &QNetworkReply::readyRead, this, [readWithinLimit, tooLarge] {
        if (!readWithinLimit())
            tooLarge();
    });
    connect(reply, &QNetworkReply::finished, this, [this, transfer, reply, readWithinLimit, tooLarge] {
        if (!readWithinLimit()) {
            tooLarge();
            return;
        }
        finish(transfer, resultOf(reply, transfer->takeBody(), d->transferTimeout));
    });
}

void HalvoAPIClient::finish(const TransferPtr& transfer, const HalvoAPIResult& result) {
    if (transfer->over)
        return;
    transfer->over = true;
    d->open.remove(transfer.get());
    transfer->deadline->stop();
    transfer->deadline->deleteLater();
    if (QNetworkReply* reply = std::exchange(transfer->reply, nullptr)) {
        reply->disconnect(this);
        if (reply->isRunning())
            reply->abort();
        reply->deleteLater();
    }
    transfer->pieces.clear();
    const auto done = std::move(transfer->done);
    done(result);
}

void HalvoAPIClient::withServerTime(HalvoRegion region, std::function<void()> proceed) {
    if (d->offsets.contains(region)) {
        proceed();
        return;
    }
    // One question per region at a time; everything that arrives meanwhile waits for its answer.
    auto waiting = d->waitingForTime.find(region);
    if (waiting != d->waitingForTime.end()) {
        waiting->append(std::move(proceed));
        return;
    }
    d->waitingForTime.insert(region, {std::move(proceed)});

    const auto release = [this, region] {
        const QList<std::function<void()>> waiters = d->waitingForTime.take(region);
        for (const auto& waiter : waiters)
            waiter();
    };

    const std::optional<QUrl> url = addressBelow(d->baseUrls.value(region), QStringLiteral("/auth/time"));
    if (!url) {
        QMetaObject::invokeMethod(this, release, Qt::QueuedConnection);
        return;
    }
    const TransferPtr transfer =
        beginTransfer(d->limits.maxServerTimeBytes, [this, region, release](const HalvoAPIResult& result) {
            if (result.ok()) {
                // The body is protocol text, not user input: a trailing line break is no part of the number.
                const auto serverTime = halvo::parseWholeInteger(QString::fromLatin1(result.body.trimmed()));
                qint64 offset = 0;
                if (serverTime && isPlausibleServerTime(*serverTime) &&
                    !qSubOverflow(*serverTime, d->clock().toSecsSinceEpoch(), &offset))
                    d->offsets.insert(region, offset);
            }
            // Without a plausible answer the local clock signs, and the next request asks again.
            release();
        });
    attach(transfer, d->network->get(plainRequest(*url, d->transferTimeout)));
}
