#include "api/HalvoAPIClient.h"

#include "model/Text.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSet>

namespace {

const QString kApiDomain = QStringLiteral("HalvoAPI");
const QString kTransportDomain = QStringLiteral("QNetworkReply");
const QString kUnknownError = QStringLiteral("Unknown Halvo API Error");

HalvoAPIError apiError(int code, const QString& description) {
    return HalvoAPIError{kApiDomain, code, description};
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

struct HalvoAPIClient::Private {
    BaseUrls baseUrls;
    Clock clock = [] { return QDateTime::currentDateTimeUtc(); };
    int transferTimeout = 60'000;
    QNetworkAccessManager* network = nullptr;
    /// Server time minus local time, in seconds, per region that has answered "/auth/time".
    QHash<HalvoRegion, qint64> offsets;
    /// Requests waiting for a server-time answer that is on its way, per region.
    QHash<HalvoRegion, QList<std::function<void()>>> waitingForTime;
    QSet<QNetworkReply*> inFlight;
};

HalvoAPIClient::BaseUrls HalvoAPIClient::defaultBaseUrls() {
    BaseUrls urls;
    for (const HalvoRegion region : kAllRegions)
        urls.insert(region, defaultBaseUrl(region));
    return urls;
}

HalvoAPIClient::HalvoAPIClient(BaseUrls baseUrls, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>()) {
    d->baseUrls = std::move(baseUrls);
    d->network = new QNetworkAccessManager(this);
    // Nothing is remembered between requests: no cookies, no disk cache, no redirects.
    d->network->setCookieJar(nullptr);
    d->network->setCache(nullptr);
    d->network->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    d->network->setAutoDeleteReplies(false);
}

HalvoAPIClient::~HalvoAPIClient() {
    // Callers may already be gone; an abandoned request reports nothing.
    for (QNetworkReply* reply : std::as_const(d->inFlight)) {
        reply->disconnect(this);
        reply->abort();
        delete reply;
    }
    d->inFlight.clear();
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

/// The outcome of a finished reply in the client's error form.
HalvoAPIResult resultOf(QNetworkReply* reply, int transferTimeout) {
    HalvoAPIResult result;
    if (reply->isOpen())
        result.body = reply->readAll();
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
        // The client cancels nothing itself; a cancelled transfer is the transfer timeout.
        result.error = HalvoAPIError{
            kTransportDomain, int(reply->error()),
            QStringLiteral("Zeitüberschreitung: %1 s lang keine Antwort vom Server.").arg(transferTimeout / 1000.0)};
    } else if (reply->error() != QNetworkReply::NoError) {
        result.error = HalvoAPIError{kTransportDomain, int(reply->error()), reply->errorString()};
    } else if (!status.isValid()) {
        result.error = apiError(500, result.body.isEmpty() ? kUnknownError : QString::fromUtf8(result.body));
    }
    return result;
}

} // namespace

void HalvoAPIClient::signedRequest(const HalvoAccount& account, const QString& appSecret, const QString& consumerKey,
                                   const QString& method, const QString& path, const std::optional<QByteArray>& body,
                                   Completion done) {
    const auto fail = [this, &done](const HalvoAPIError& error) {
        // Reported on the next turn, like every other outcome.
        QMetaObject::invokeMethod(
            this,
            [done = std::move(done), error] {
                done(HalvoAPIResult{error, 0, {}});
            },
            Qt::QueuedConnection);
    };

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

    const HalvoRegion region = account.region;
    withServerTime(region, [this, region, url = *url, appKey = account.appKey, appSecret, consumerKey, method, body,
                            done = std::move(done)]() mutable {
        const qint64 timestamp = d->clock().toSecsSinceEpoch() + d->offsets.value(region, 0);
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
        QNetworkReply* reply = sendsBody ? d->network->sendCustomRequest(request, verb, payload)
                                         : d->network->sendCustomRequest(request, verb);
        track(reply, [this, done = std::move(done)](QNetworkReply* finished) {
            done(resultOf(finished, d->transferTimeout));
        });
    });
}

void HalvoAPIClient::track(QNetworkReply* reply, std::function<void(QNetworkReply*)> finished) {
    d->inFlight.insert(reply);
    connect(reply, &QNetworkReply::finished, this, [this, reply, finished = std::move(finished)] {
        d->inFlight.remove(reply);
        reply->deleteLater();
        finished(reply);
    });
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
    QNetworkReply* reply = d->network->get(plainRequest(*url, d->transferTimeout));
    track(reply, [this, region, release](QNetworkReply* finished) {
        const HalvoAPIResult result = resultOf(finished, d->transferTimeout);
        if (result.ok()) {
            // The body is protocol text, not user input: a trailing line break is no part of the number.
            if (const auto serverTime = halvo::parseWholeInteger(QString::fromLatin1(result.body.trimmed())))
                d->offsets.insert(region, *serverTime - d->clock().toSecsSinceEpoch());
        }
        // Without an answer the local clock signs, and the next request asks again.
        release();
    });
}
