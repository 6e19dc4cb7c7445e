#pragma once

// The one client of the provider's REST API. Base addresses per region come from the constructor.
// Signed requests carry "X-Halvo-Application", "X-Halvo-Consumer", "X-Halvo-Timestamp" and
// "X-Halvo-Signature" = "$1$" + hex SHA-1 of secret+consumer+method+URL+body+timestamp, where the URL is
// exactly the one sent on the wire. The server-time offset per region comes from an unsigned
// GET "/auth/time" and is kept for the run; when it cannot be had, the local clock signs and the next
// request asks again. Every answer is bounded: its body by a size limit checked while it arrives, the whole
// request (server time included) by a deadline. Everything finishes on the thread that owns the client,
// through callbacks.

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

/// The bounds of every request. A body beyond its limit is refused while it arrives, never held whole.
struct HalvoAPILimits {
    /// The body of an API answer; far above what any real account returns.
    qint64 maxBodyBytes = 64 * 1024 * 1024;
    /// The body of "/auth/time": a decimal number of seconds.
    qint64 maxServerTimeBytes = 32;
    /// From the call to the complete answer, the server-time request included.
    int deadlineMs = 60'000;
};

class HalvoAPIClient final : public QObject {
    Q_OBJECT
public:
    using BaseUrls = QHash<HalvoRegion, QUrl>;
    using Clock = std::function<QDateTime()>;
    using Completion = std::function<void(const HalvoAPIResult&)>;

    /// The provider's published base addresses of all regions.
    static BaseUrls defaultBaseUrls();

    explicit HalvoAPIClient(BaseUrls baseUrls = defaultBaseUrls(), HalvoAPILimits limits = {},
                            QObject* parent = nullptr);
    ~HalvoAPIClient() override;

    /// Replaces the local clock (for tests and for signing when the server time is unknown).
    void setClock(Clock clock);
    /// Replaces the transfer timeout, the longest time without any data (60 s by default).
    void setTransferTimeout(int milliseconds);

    /// Sends a signed request for the account. `path` starts with "/" and is appended to the region's base
    /// address exactly as given (its segments already percent-encoded); a path that `pathFault` refuses is
    /// not sent. `body` is a JSON text or none.
    void signedRequest(const HalvoAccount& account, const QString& appSecret, const QString& consumerKey,
                       const QString& method, const QString& path, const std::optional<QByteArray>& body,
                       Completion done);

    /// The signature header value for the given parts (exposed for tests of the server side).
    static QString signature(const QString& appSecret, const QString& consumerKey, const QString& method,
                             const QByteArray& encodedUrl, const QByteArray& body, qint64 timestamp);

private:
    struct Transfer;
    using TransferPtr = std::shared_ptr<Transfer>;

    /// Runs `proceed` once the region's server-time offset is known or could not be had.
    void withServerTime(HalvoRegion region, std::function<void()> proceed);
    /// The server time to sign with for the region: the local clock plus the region's offset, or the local
    /// clock alone when no plausible time results.
    qint64 timestampFor(HalvoRegion region);
    /// A transfer whose deadline runs from now; it ends exactly once, through `done`.
    TransferPtr beginTransfer(qint64 maxBodyBytes, std::function<void(const HalvoAPIResult&)> done);
    /// Reads the reply's body as it arrives, within the transfer's limit, until it finishes.
    void attach(const TransferPtr& transfer, QNetworkReply* reply);
    /// Ends the transfer with the result (once); an unfinished reply is aborted.
    void finish(const TransferPtr& transfer, const HalvoAPIResult& result);

    struct Private;
    std::unique_ptr<Private> d;
};
