#pragma once

// A loopback stand-in for the provider's API: an HTTP/1.1 server on 127.0.0.1 that records every request as
// it arrived on the wire, answers "/auth/time" with its own clock, checks signatures with a known secret
// and answers everything else as the test scripted it.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <optional>
#include <utility>

namespace halvo::test {

class FakeHalvoServer final : public QObject {
    Q_OBJECT
public:
    /// How the server answers one request.
    struct Answer {
        Answer(int status = 200, QByteArray body = {}, int delayMs = 0, bool silent = false)
            : status(status)
            , body(std::move(body))
            , delayMs(delayMs)
            , silent(silent) {}
        /// An answer that never comes (the connection stays open), for timeouts.
        static Answer never() { return Answer(200, {}, 0, true); }
        /// A body of `bytes` filler bytes, written as the connection drains (never held whole), announced
        /// with its "Content-Length" or, when not announced, sent in chunks without a length.
        static Answer huge(qint64 bytes, bool announced) {
            Answer answer;
            answer.streamBytes = bytes;
            answer.chunked = !announced;
            return answer;
        }
        /// A chunked body that never ends.
        static Answer endless() {
            Answer answer;
            answer.streamBytes = -1;
            answer.chunked = true;
            return answer;
        }
        /// The whole answer, status line and headers included, one byte every `intervalMs`.
        static Answer trickle(QByteArray body, int intervalMs = 1000) {
            Answer answer(200, std::move(body));
            answer.byteIntervalMs = intervalMs;
            return answer;
        }
        /// An answer whose body is the request as it arrived: request line, headers and body.
        static Answer echo(int status) {
            Answer answer(status);
            answer.echoRequest = true;
            return answer;
        }

        int status;
        QByteArray body;
        int delayMs;
        bool silent;
        /// Further header lines ("Location", ...).
        QList<std::pair<QByteArray, QByteArray>> headers;
        /// Filler bytes streamed after the headers instead of `body`: none when 0, endless when negative.
        qint64 streamBytes = 0;
        /// "Transfer-Encoding: chunked" instead of a "Content-Length".
        bool chunked = false;
        /// When positive, every byte of the answer waits this long after the one before.
        int byteIntervalMs = 0;
        bool echoRequest = false;
    };

    /// One request as it arrived.
    struct Request {
        QByteArray method;
        QByteArray target;                     ///< the path (and query) exactly as on the request line
        QHash<QByteArray, QByteArray> headers; ///< names lower-cased
        QByteArray body;
        /// How many answers the server had sent when this request arrived.
        int answersSentBefore = 0;

        QByteArray header(const QByteArray& name) const { return headers.value(name.toLower()); }
        /// The target below the base path "/1.0".
        QByteArray path() const;
    };

    static constexpr qint64 kDefaultServerTime = 1'700'000'000;

    explicit FakeHalvoServer(QObject* parent = nullptr);
    ~FakeHalvoServer() override;

    /// "http://127.0.0.1:<port>/1.0".
    QUrl baseUrl() const;

    /// The seconds that "/auth/time" answers with.
    void setServerTime(qint64 unixSeconds) { m_serverTime = unixSeconds; }
    /// The application secret whose signature `signatureValid` accepts.
    void setAppSecret(const QString& secret) { m_appSecret = secret; }

    /// Answers every later request with this method and path (below "/1.0", as on the wire) this way.
    void answer(const QByteArray& method, const QByteArray& path, const Answer& answer);
    /// Answers only the next such request this way (before any standing answer).
    void answerOnce(const QByteArray& method, const QByteArray& path, const Answer& answer);
    /// The answer to requests that nothing else scripts (default: 200 with "null").
    void setDefaultAnswer(const Answer& answer) { m_defaultAnswer = answer; }

    const QList<Request>& requests() const { return m_requests; }
    /// Every request but the server-time ones.
    QList<Request> apiRequests() const;
    int timeRequestCount() const;
    void clear() { m_requests.clear(); }

    /// Whether the request carries the four signature headers and a signature made with the secret over
    /// the full address it was sent to.
    bool signatureValid(const Request& request) const;

    /// Runs the event loop until `count` requests other than server-time ones have arrived.
    bool waitForApiRequests(int count, int timeoutMs = 5000) const;

private:
    void readFrom(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const Request& request);
    static void write(QTcpSocket* socket, const Answer& answer, const Request& request);

    QTcpServer m_server;
    qint64 m_serverTime = kDefaultServerTime;
    QString m_appSecret = QStringLiteral("test-application-secret");
    QHash<QByteArray, Answer> m_standing;
    QHash<QByteArray, QList<Answer>> m_once;
    Answer m_defaultAnswer{200, QByteArrayLiteral("null")};
    QList<Request> m_requests;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    QList<QPointer<QTcpSocket>> m_sockets;
    int m_answersSent = 0;
};

} // namespace halvo::test
