#pragma once

#include <QByteArray>
#include <QSemaphore>
#include <QThread>

#include <atomic>

class QTcpSocket;

// A web service that floods: it answers every GET on 127.0.0.1 with status 200 and then sends
// body or header bytes as fast as the client takes them, for ever. It runs in a thread of its
// own, as a real service would, so it keeps sending while the client's thread is held.
class FloodingServer : public QThread
{
    Q_OBJECT

public:
    enum class Flood
    {
        DeclaredBody, // an endless body behind a huge Content-Length
        OpenBody,     // an endless body without a length
        ChunkedBody,  // endless small chunks
        Headers,      // endless header lines, the body never begins
    };

    explicit FloodingServer(Flood flood);
    ~FloodingServer() override;

    // Starts the thread and waits until the server listens; false when it could not.
    bool startListening();
    // "http://127.0.0.1:PORT".
    QString baseAddress() const;
    int requestCount() const { return requests; }

protected:
    void run() override;

private:
    void serve(QTcpSocket *socket, const QByteArray &head, const QByteArray &repeated);

    const Flood flood;
    std::atomic<int> port{0};
    std::atomic<int> requests{0};
    QSemaphore listening;
};
