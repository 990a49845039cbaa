#include "HttpGet.h"

#include "NetworkManagerRetirement.h"

#include <QDebug>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace {

// Far beyond any answer of the service (a JSON object, a QR picture); a longer body ends the
// request as a failure instead of filling the memory.
constexpr qint64 maximumReplyBytes = 4 * 1024 * 1024;
// Qt stops taking in data a piece short of a full read buffer, so the buffer reaches past the
// bound by more than a piece: a body without a declared length then shows its excess too.
constexpr qint64 readBufferBytes = maximumReplyBytes + 1024 * 1024;

// Ends the reply as soon as its body is known to be longer than the bound: by its declared
// length, or by what has come in. The read buffer keeps Qt from taking in more meanwhile.
void boundBody(QNetworkReply *reply)
{
    reply->setReadBufferSize(readBufferBytes);
    auto checkLength = [reply] {
        const qint64 declared = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (declared > maximumReplyBytes || reply->bytesAvailable() > maximumReplyBytes)
            reply->abort();
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, checkLength);
    QObject::connect(reply, &QNetworkReply::readyRead, reply, checkLength);
}

int &timeoutSetting()
{
    static int milliseconds = defaultRequestTimeoutMs;
    return milliseconds;
}

} // namespace

int requestTimeoutMs()
{
    return timeoutSetting();
}

void setRequestTimeoutMs(int milliseconds)
{
    timeoutSetting() = milliseconds > 0 ? milliseconds : defaultRequestTimeoutMs;
}

QNetworkRequest makeServiceRequest(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("application/json;charset=utf-8"));
    return request;
}

void setRawTextHeader(QNetworkRequest &request, const char *name, const QString &value)
{
    // A value from a reply (the sign-in token) may hold a line break; sent raw it would end
    // the header and begin others of the service's choosing. Such a value is not sent.
    if (value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n')) ||
        value.contains(QChar(0))) {
        qDebug() << "header refused:" << name;
        return;
    }
    // A null value would make Qt drop the header; an empty one is sent as such.
    QByteArray bytes = value.toLocal8Bit();
    if (bytes.isNull())
        bytes = QByteArray("");
    request.setRawHeader(QByteArray(name), bytes);
}

void setClientHeaders(QNetworkRequest &request, const QString &app_id, const QString &channel,
                      const QString &device_id)
{
    setRawTextHeader(request, "app_id", app_id);
    setRawTextHeader(request, "channel", channel);
    setRawTextHeader(request, "device_id", device_id);
}

void runGet(const QNetworkRequest &request, const std::function<void(QNetworkReply *)> &handler,
            int timeoutMs)
{
    // Not a local: destroying the manager here would wait for its network thread, which a
    // flooding service keeps busy long after the reply was given up.
    auto *manager = new QNetworkAccessManager;
    QEventLoop loop;
    bool handled = false;
    QObject::connect(manager, &QNetworkAccessManager::finished, manager, [&](QNetworkReply *reply) {
        handled = true;
        handler(reply);
        loop.quit();
    });

    // The body is asked for as it is: Qt inflates a compressed body whole before anyone could
    // bound it (a few MB of gzip become gigabytes).
    QNetworkRequest uncompressed = request;
    uncompressed.setRawHeader("Accept-Encoding", "identity");
    QNetworkReply *reply = manager->get(uncompressed);
    boundBody(reply);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline.start(timeoutMs > 0 ? timeoutMs : requestTimeoutMs());
    if (!handled)
        loop.exec();
    // A quitting application ends every local loop before the reply is done; aborting it
    // still hands it to the handler, so the caller hears of the failure.
    if (!handled)
        reply->abort();
    // The handler's finished slot still refers to this frame's loop and flag.
    QObject::disconnect(manager, nullptr, nullptr, nullptr);
    retireNetworkManager(manager);
}
