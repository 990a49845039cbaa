#include "FloodingServer.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace {

constexpr int chunkBytes = 64 * 1024;
// Enough queued that the client never waits for the server.
constexpr qint64 queuedBytes = 1024 * 1024;

// What the server answers first, then what it repeats for ever.
struct FloodText
{
    QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n";
    QByteArray repeated;
};

FloodText floodText(FloodingServer::Flood flood)
{
    FloodText text;
    switch (flood) {
    case FloodingServer::Flood::DeclaredBody:
        text.head += "Content-Length: 1000000000000\r\nConnection: close\r\n\r\n";
        text.repeated.fill('x', chunkBytes);
        break;
    case FloodingServer::Flood::OpenBody:
        text.head += "Connection: close\r\n\r\n";
        text.repeated.fill('x', chunkBytes);
        break;
    case FloodingServer::Flood::ChunkedBody:
        text.head += "Transfer-Encoding: chunked\r\n\r\n";
        for (int i = 0; i < 1024; ++i)
            text.repeated += "1\r\nx\r\n";
        break;
    case FloodingServer::Flood::Headers:
        for (int i = 0; i < 1024; ++i)
            text.repeated += "X-Flood: " + QByteArray::number(i) + "\r\n";
        break;
    }
    return text;
}

} // namespace

FloodingServer::FloodingServer(Flood flood) : flood(flood) {}

FloodingServer::~FloodingServer()
{
    quit();
    wait();
}

bool FloodingServer::startListening()
{
    start();
    listening.acquire();
    return port > 0;
}

QString FloodingServer::baseAddress() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port.load());
}

// Answers one request on socket: once its header lines are in, the head and then the flood.
void FloodingServer::serve(QTcpSocket *socket, const QByteArray &head, const QByteArray &repeated)
{
    auto fill = [socket, repeated] {
        while (socket->state() == QAbstractSocket::ConnectedState &&
               socket->bytesToWrite() < queuedBytes)
            socket->write(repeated);
    };
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket, head, fill] {
        if (socket->property("answered").toBool()) {
            socket->readAll();
            return;
        }
        if (!socket->peek(1 << 16).contains("\r\n\r\n"))
            return;
        socket->readAll();
        socket->setProperty("answered", true);
        ++requests;
        socket->write(head);
        fill();
    });
    connect(socket, &QTcpSocket::bytesWritten, socket, [socket, fill] {
        if (socket->property("answered").toBool())
            fill();
    });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

void FloodingServer::run()
{
    const FloodText text = floodText(flood);
    QTcpServer server;
    connect(&server, &QTcpServer::newConnection, &server, [&] {
        while (QTcpSocket *socket = server.nextPendingConnection())
            serve(socket, text.head, text.repeated);
    });
    if (server.listen(QHostAddress::LocalHost, 0))
        port = server.serverPort();
    listening.release();
    if (port > 0)
        exec();
}
