#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QTcpServer>
#include <QUrlQuery>

class QTcpSocket;

// A local stand-in for the maker's web service on 127.0.0.1: answers each path from a
// script of replies and logs every request it receives. Plain HTTP, or TLS when given an
// identity. Lives in the test's thread; the client's local waits keep it served.
class StubServiceServer : public QTcpServer
{
    Q_OBJECT

public:
    struct Reply
    {
        int status = 200;
        QByteArray body;
        int delayMs = 0;
        bool hang = false; // never answer, keep the connection open
        bool drop = false; // close the connection without an answer
        QByteArray contentType = "application/json";
        QByteArray headers;        // further header lines, each ending in "\r\n"
        bool declareLength = true; // without it, the closing connection ends the body
        bool keepOpen = false;     // the connection stays open after the answer
    };

    struct Request
    {
        QByteArray method;
        QString path;
        QUrlQuery query;
        QList<QPair<QByteArray, QByteArray>> headers;

        bool hasHeader(const QByteArray &name) const;
        QByteArray header(const QByteArray &name) const;
    };

    explicit StubServiceServer(QObject *parent = nullptr);
    ~StubServiceServer() override;

    bool startPlain();
    bool startTls(const QSslCertificate &certificate, const QSslKey &key);
    // "http://127.0.0.1:PORT" or "https://127.0.0.1:PORT".
    QString baseAddress() const;

    // Replies for path in order; the last one repeats. Unscripted paths answer 404.
    void script(const QString &path, const QList<Reply> &replies);
    static Reply json(const QByteArray &body, int status = 200);
    // A request that is never answered, its connection kept open.
    static Reply hang();
    // A connection closed without an answer.
    static Reply drop();

    QList<Request> requests() const { return log; }
    QList<Request> requestsFor(const QString &path) const;
    void clearLog() { log.clear(); }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void readRequest(QTcpSocket *socket);
    Reply nextReply(const QString &path);
    void answer(QTcpSocket *socket, const Reply &reply);

    bool tls = false;
    QSslCertificate tlsCertificate;
    QSslKey tlsKey;
    QHash<QString, QList<Reply>> replies;
    QList<Request> log;
    QList<QPointer<QTcpSocket>> openSockets;
};

// A self-signed certificate for 127.0.0.1, made by the openssl tool in a temporary folder.
struct TlsIdentity
{
    QSslCertificate certificate;
    QSslKey key;

    static TlsIdentity create();
    bool isValid() const { return !certificate.isNull() && !key.isNull(); }
};

// Makes every TLS connection of this process trust certificate (the test's own CA).
void trustCertificate(const QSslCertificate &certificate);
