#include "FloodingServer.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace {

constexpr int chunkBytes = 64 * 1024;
// Enough queued that the client never waits for the server.
constexpr qint64 queuedBytes = 1024 * 1024;

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

void FloodingServer::run()
{
    QTcpServer server;
    QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n";
    QByteArray chunk;
    switch (flood) {
    case Flood::DeclaredBody:
        head += "Content-Length: 1000000000000\r\nConnection: close\r\n\r\n";
        chunk.fill('x', chunkBytes);
        break;
    case Flood::OpenBody:
        head += "Connection: close\r\n\r\n";
        chunk.fill('x', chunkBytes);
        break;
    case Flood::ChunkedBody:
        head += "Transfer-Encoding: chunked\r\n\r\n";
        for (int i = 0; i < 1024; ++i)
            chunk += "1\r\nx\r\n";
        break;
    case Flood::Headers:
        for (int i = 0; i < 1024; ++i)
            chunk += "X-Flood: " + QByteArray::number(i) + "\r\n";
        break;
    }

    connect(&server, &QTcpServer::newConnection, &server, [&] {
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            auto fill = [socket, &chunk] {
                while (socket->state() == QAbstractSocket::ConnectedState &&
                       socket->bytesToWrite() < queuedBytes)
                    socket->write(chunk);
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
            ++open;
            connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
                --open;
                socket->deleteLater();
            });
        }
    });
    if (server.listen(QHostAddress::LocalHost, 0))
        port = server.serverPort();
    listening.release();
    if (port > 0)
        exec();
}
