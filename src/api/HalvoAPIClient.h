#pragma once

// The one client of the provider's REST API. Base addresses per region come from the constructor.
// Signed requests carry "X-Halvo-Application", "X-Halvo-Consumer", "X-Halvo-Timestamp" and
// "X-Halvo-Signature" = "$1$" + hex SHA-1 of secret+consumer+method+URL+body+timestamp, where the URL is
// exactly the one sent on the wire. The server-time offset per region comes from an unsigned
// GET "/auth/time" and is kept for the run; when it cannot be had, the local clock signs and the next
// request asks again. Everything finishes on the thread that owns the client, through callbacks.

#include "model/Account.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

/// An error of a request: the domain "HalvoAPI" with the HTTP status as code and the body as description,
/// or a transport error with its own description.
struct HalvoAPIError {
    QString domain;
    int code = 0;
    QString description;
};

struct HalvoAPIResult {
    std::optional<HalvoAPIError> error; ///< none on success
    int status = 0;
    QByteArray body;

    bool ok() const { return !error.has_value(); }
};

class HalvoAPIClient final : public QObject {
    Q_OBJECT
public:
    using BaseUrls = QHash<HalvoRegion, QUrl>;
    using Clock = std::function<QDateTime()>;
    using Completion = std::function<void(const HalvoAPIResult&)>;

    /// The provider's published base addresses of all regions.
    static BaseUrls defaultBaseUrls();

    explicit HalvoAPIClient(BaseUrls baseUrls = defaultBaseUrls(), QObject* parent = nullptr);
    ~HalvoAPIClient() override;

    /// Replaces the local clock (for tests and for signing when the server time is unknown).
    void setClock(Clock clock);
    /// Replaces the transfer timeout (60 s by default).
    void setTransferTimeout(int milliseconds);

    /// Sends a signed request for the account. `path` starts with "/" and is appended to the region's base
    /// address exactly as given (its segments already percent-encoded). `body` is a JSON text or none.
    void signedRequest(const HalvoAccount& account, const QString& appSecret, const QString& consumerKey,
                       const QString& method, const QString& path, const std::optional<QByteArray>& body,
                       Completion done);

    /// The signature header value for the given parts (exposed for tests of the server side).
    static QString signature(const QString& appSecret, const QString& consumerKey, const QString& method,
                             const QByteArray& encodedUrl, const QByteArray& body, qint64 timestamp);

private:
    /// Runs `proceed` once the region's server-time offset is known or could not be had.
    void withServerTime(HalvoRegion region, std::function<void()> proceed);
    /// Keeps the reply until it finishes, then hands it to `finished` and deletes it later.
    void track(QNetworkReply* reply, std::function<void(QNetworkReply*)> finished);

    struct Private;
    std::unique_ptr<Private> d;
};
