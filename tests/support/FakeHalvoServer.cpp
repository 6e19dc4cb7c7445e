#include "support/FakeHalvoServer.h"

#include "api/HalvoAPIClient.h"

#include <QDeadlineTimer>
#include <QPointer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace halvo::test {

namespace {

const QByteArray kBasePath = QByteArrayLiteral("/1.0");

QByteArray key(const QByteArray& method, const QByteArray& path) {
    return method + ' ' + path;
}

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

/// Writes filler bytes as the connection drains, so that even a gigabyte is never held in memory. Lives as
/// long as its socket.
class BodyStream final : public QObject {
public:
    BodyStream(QTcpSocket* socket, qint64 bytes, bool chunked)
        : QObject(socket)
        , m_socket(socket)
        , m_left(bytes)
        , m_chunked(chunked) {
        connect(socket, &QTcpSocket::bytesWritten, this, &BodyStream::topUp);
        topUp();
    }

private:
    static constexpr qint64 kPiece = 64 * 1024;
    static constexpr qint64 kHighWater = 4 * kPiece;

    void topUp() {
        static const QByteArray filler(kPiece, 'x');
        while (m_socket->bytesToWrite() < kHighWater) {
            if (m_left == 0) {
                if (m_chunked)
                    m_socket->write("0\r\n\r\n");
                disconnect(m_socket, nullptr, this, nullptr);
                deleteLater();
                return;
            }
            const qint64 size = m_left < 0 ? kPiece : qMin(kPiece, m_left);
            const QByteArray piece = size == kPiece ? filler : filler.left(size);
            if (m_chunked)
                m_socket->write(QByteArray::number(size, 16) + "\r\n" + piece + "\r\n");
            else
                m_socket->write(piece);
            if (m_left > 0)
                m_left -= size;
        }
    }

    QTcpSocket* m_socket;
    qint64 m_left; ///< negative: endless
    bool m_chunked;
};

/// Writes the bytes one at a time, each `intervalMs` after the one before.
class Trickle final : public QObject {
public:
    Trickle(QTcpSocket* socket, QByteArray bytes, int intervalMs)
        : QObject(socket)
        , m_socket(socket)
        , m_bytes(std::move(bytes)) {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (m_next >= m_bytes.size()) {
                m_timer.stop();
                return;
            }
            m_socket->write(m_bytes.mid(m_next++, 1));
        });
        m_timer.start(intervalMs);
    }

private:
    QTcpSocket* m_socket;
    QByteArray m_bytes;
    qsizetype m_next = 0;
    QTimer m_timer;
};

/// The request as it arrived, its headers in the order of their names.
QByteArray echoOf(const FakeHalvoServer::Request& request) {
    QByteArray text = request.method + ' ' + request.target + " HTTP/1.1\r\n";
    QList<QByteArray> names = request.headers.keys();
    std::sort(names.begin(), names.end());
    for (const QByteArray& name : std::as_const(names))
        text += name + ": " + request.headers.value(name) + "\r\n";
    return text + "\r\n" + request.body;
}

} // namespace

QByteArray FakeHalvoServer::Request::path() const {
    return target.startsWith(kBasePath) ? target.mid(kBasePath.size()) : target;
}

FakeHalvoServer::FakeHalvoServer(QObject* parent)
    : QObject(parent) {
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        qFatal("FakeHalvoServer: cannot listen on 127.0.0.1");
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            m_sockets.append(socket);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_buffers.remove(socket);
                socket->deleteLater();
            });
        }
    });
}

FakeHalvoServer::~FakeHalvoServer() {
    // Closing sockets signal "disconnected"; nothing of this object may be touched by then.
    for (const QPointer<QTcpSocket>& socket : std::as_const(m_sockets)) {
        if (socket) {
            socket->disconnect(this);
            delete socket.data();
        }
    }
}

QUrl FakeHalvoServer::baseUrl() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/1.0").arg(m_server.serverPort()));
}

void FakeHalvoServer::answer(const QByteArray& method, const QByteArray& path, const Answer& answer) {
    m_standing.insert(key(method, path), answer);
}

void FakeHalvoServer::answerOnce(const QByteArray& method, const QByteArray& path, const Answer& answer) {
    m_once[key(method, path)].append(answer);
}

QList<FakeHalvoServer::Request> FakeHalvoServer::apiRequests() const {
    QList<Request> result;
    for (const Request& request : m_requests) {
        if (request.path() != "/auth/time")
            result.append(request);
    }
    return result;
}

int FakeHalvoServer::timeRequestCount() const {
    return int(m_requests.size() - apiRequests().size());
}

bool FakeHalvoServer::signatureValid(const Request& request) const {
    const QByteArray timestamp = request.header("X-Halvo-Timestamp");
    bool numeric = false;
    const qint64 seconds = timestamp.toLongLong(&numeric);
    if (!numeric || request.header("X-Halvo-Application").isEmpty() || request.header("X-Halvo-Consumer").isEmpty())
        return false;
    const QByteArray url = "http://" + request.header("Host") + request.target;
    const QString expected =
        HalvoAPIClient::signature(m_appSecret, QString::fromUtf8(request.header("X-Halvo-Consumer")),
                                  QString::fromLatin1(request.method), url, request.body, seconds);
    return request.header("X-Halvo-Signature") == expected.toLatin1();
}

bool FakeHalvoServer::waitForApiRequests(int count, int timeoutMs) const {
    return QTest::qWaitFor([&] { return apiRequests().size() >= count; }, timeoutMs);
}

void FakeHalvoServer::readFrom(QTcpSocket* socket) {
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    // A connection may carry several requests one after another.
    for (;;) {
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        if (requestLine.size() != 3) {
            socket->abort();
            return;
        }
        Request request;
        request.method = requestLine[0];
        request.target = requestLine[1];
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        const qsizetype length = request.header("Content-Length").toLongLong();
        if (buffer.size() < headerEnd + 4 + length)
            return;
        request.body = buffer.mid(headerEnd + 4, length);
        buffer.remove(0, headerEnd + 4 + length);
        request.answersSentBefore = m_answersSent;
        m_requests.append(request);
        respond(socket, request);
    }
}

void FakeHalvoServer::respond(QTcpSocket* socket, const Request& request) {
    Answer answer = m_defaultAnswer;
    const QByteArray k = key(request.method, request.path());
    if (auto once = m_once.find(k); once != m_once.end() && !once->isEmpty())
        answer = once->takeFirst();
    else if (auto standing = m_standing.constFind(k); standing != m_standing.constEnd())
        answer = *standing;
    else if (request.method == "GET" && request.path() == "/auth/time")
        answer = Answer{200, QByteArray::number(m_serverTime)};

    if (answer.silent)
        return;
    if (answer.delayMs <= 0) {
        write(socket, answer, request);
        ++m_answersSent;
        return;
    }
    QTimer::singleShot(answer.delayMs, this, [this, socket = QPointer(socket), answer, request] {
        if (!socket)
            return;
        write(socket, answer, request);
        ++m_answersSent;
    });
}

void FakeHalvoServer::write(QTcpSocket* socket, const Answer& answer, const Request& request) {
    const QByteArray body = answer.echoRequest ? echoOf(request) : answer.body;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + reasonPhrase(answer.status) +
                      "\r\nContent-Type: application/json\r\n";
    for (const auto& [name, value] : answer.headers)
        head += name + ": " + value + "\r\n";
    if (answer.chunked)
        head += "Transfer-Encoding: chunked\r\n";
    else
        head +=
            "Content-Length: " + QByteArray::number(answer.streamBytes > 0 ? answer.streamBytes : body.size()) + "\r\n";
    head += "Connection: keep-alive\r\n\r\n";

    if (answer.streamBytes != 0) {
        socket->write(head);
        new BodyStream(socket, answer.streamBytes, answer.chunked);
    } else if (answer.byteIntervalMs > 0) {
        new Trickle(socket, head + body, answer.byteIntervalMs);
    } else {
        socket->write(head + body);
    }
}

} // namespace halvo::test
