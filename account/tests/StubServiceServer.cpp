#include "StubServiceServer.h"

#include <QFile>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

bool StubServiceServer::Request::hasHeader(const QByteArray &name) const
{
    for (const auto &pair : headers) {
        if (pair.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QByteArray StubServiceServer::Request::header(const QByteArray &name) const
{
    for (const auto &pair : headers) {
        if (pair.first.compare(name, Qt::CaseInsensitive) == 0)
            return pair.second;
    }
    return QByteArray();
}

StubServiceServer::StubServiceServer(QObject *parent) : QTcpServer(parent) {}

StubServiceServer::~StubServiceServer()
{
    for (const auto &socket : openSockets) {
        if (socket)
            socket->abort();
    }
}

bool StubServiceServer::startPlain()
{
    tls = false;
    return listen(QHostAddress::LocalHost, 0);
}

bool StubServiceServer::startTls(const QSslCertificate &certificate, const QSslKey &key)
{
    tls = true;
    tlsCertificate = certificate;
    tlsKey = key;
    return listen(QHostAddress::LocalHost, 0);
}

QString StubServiceServer::baseAddress() const
{
    return QStringLiteral("%1://127.0.0.1:%2")
        .arg(tls ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(serverPort());
}

void StubServiceServer::script(const QString &path, const QList<Reply> &pathReplies)
{
    replies.insert(path, pathReplies);
}

StubServiceServer::Reply StubServiceServer::json(const QByteArray &body, int status)
{
    Reply reply;
    reply.status = status;
    reply.body = body;
    return reply;
}

StubServiceServer::Reply StubServiceServer::hang()
{
    Reply reply;
    reply.hang = true;
    return reply;
}

StubServiceServer::Reply StubServiceServer::drop()
{
    Reply reply;
    reply.drop = true;
    return reply;
}

QList<StubServiceServer::Request> StubServiceServer::requestsFor(const QString &path) const
{
    QList<Request> matching;
    for (const Request &request : log) {
        if (request.path == path)
            matching.append(request);
    }
    return matching;
}

void StubServiceServer::incomingConnection(qintptr descriptor)
{
    QTcpSocket *socket = nullptr;
    if (tls) {
        auto *secure = new QSslSocket(this);
        secure->setSocketDescriptor(descriptor);
        secure->setLocalCertificate(tlsCertificate);
        secure->setPrivateKey(tlsKey);
        secure->startServerEncryption();
        socket = secure;
    } else {
        socket = new QTcpSocket(this);
        socket->setSocketDescriptor(descriptor);
    }
    openSockets.append(socket);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

void StubServiceServer::readRequest(QTcpSocket *socket)
{
    if (socket->property("answered").toBool())
        return;
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    socket->setProperty("buffer", buffer);
    const int headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    socket->setProperty("answered", true);

    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    Request request;
    request.method = requestLine.value(0);
    const QUrl target(QString::fromLatin1(requestLine.value(1)));
    request.path = target.path();
    request.query = QUrlQuery(target);
    for (int i = 1; i < lines.size(); ++i) {
        const int colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.append(
                {lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
    }
    log.append(request);

    const Reply reply = nextReply(request.path);
    if (reply.hang)
        return;
    if (reply.drop) {
        socket->abort();
        return;
    }
    if (reply.delayMs > 0) {
        QPointer<QTcpSocket> guarded(socket);
        QTimer::singleShot(reply.delayMs, this, [this, guarded, reply] {
            if (guarded)
                answer(guarded, reply);
        });
        return;
    }
    answer(socket, reply);
}

StubServiceServer::Reply StubServiceServer::nextReply(const QString &path)
{
    auto found = replies.find(path);
    if (found == replies.end() || found->isEmpty())
        return json("{\"message\":\"not found\"}", 404);
    return found->size() > 1 ? found->takeFirst() : found->first();
}

void StubServiceServer::answer(QTcpSocket *socket, const Reply &reply)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " Scripted\r\n";
    head += "Content-Type: " + reply.contentType + "\r\n";
    if (reply.declareLength)
        head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    head += reply.headers;
    head += "Connection: close\r\n\r\n";
    socket->write(head + reply.body);
    if (!reply.keepOpen)
        socket->disconnectFromHost();
}

TlsIdentity TlsIdentity::create()
{
    TlsIdentity identity;
    QTemporaryDir folder;
    if (!folder.isValid())
        return identity;
    const QString certPath = folder.filePath(QStringLiteral("cert.pem"));
    const QString keyPath = folder.filePath(QStringLiteral("key.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                   "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1,DNS:127.0.0.1",
                   "-keyout", keyPath, "-out", certPath});
    if (!openssl.waitForFinished(120000) || openssl.exitCode() != 0)
        return identity;

    QFile certFile(certPath);
    QFile keyFile(keyPath);
    if (certFile.open(QIODevice::ReadOnly))
        identity.certificate = QSslCertificate(certFile.readAll(), QSsl::Pem);
    if (keyFile.open(QIODevice::ReadOnly))
        identity.key = QSslKey(keyFile.readAll(), QSsl::Rsa, QSsl::Pem);
    return identity;
}

void trustCertificate(const QSslCertificate &certificate)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.addCaCertificate(certificate);
    QSslConfiguration::setDefaultConfiguration(configuration);
}
