#include "ReplyEvaluation.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <QNetworkReply>
#include <QVariant>

bool evaluateServiceReply(QNetworkReply *reply, QJsonObject *object)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError) {
        qDebug() << "network error" << reply->error() << reply->errorString();
        return false;
    }
    if (status != 200) {
        qDebug() << "http status" << status;
        return false;
    }

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(reply->readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || document.isNull() || document.isEmpty() ||
        !document.isObject()) {
        qDebug() << "Json解析失败" << parseError.errorString();
        return false;
    }
    *object = document.object();
    return true;
}

bool hasZeroCode(const QJsonObject &object)
{
    const QJsonValue code = object.value(QStringLiteral("code"));
    return code.isDouble() && code.toDouble() == 0.0;
}
