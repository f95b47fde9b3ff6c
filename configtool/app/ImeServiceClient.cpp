#include "ImeServiceClient.h"
#include "Logging.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <fcitx-utils/utils.h>

namespace
{

const char kServicePath[] = "/";
const char kServiceInterface[] = "com.kaiwoimebs_service.hotel";

QDBusMessage call(const QString &method, const QVariantList &arguments)
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(ImeServiceClient::serviceName(), QLatin1String(kServicePath),
                                       QLatin1String(kServiceInterface), method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block);
}

} // namespace

int ImeServiceClient::displayNumber()
{
    return fcitx_utils_get_display_number();
}

QString ImeServiceClient::serviceName()
{
    return QStringLiteral("com.kaiwoimeservice.hotel_") + QString::number(displayNumber());
}

void ImeServiceClient::send(const QString &method, const QVariantList &arguments)
{
    call(method, arguments);
}

bool ImeServiceClient::ask(const QString &method, const QVariantList &arguments,
                           const char *failureLine)
{
    const QDBusMessage reply = call(method, arguments);
    const bool ok = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
                    reply.arguments().constFirst().type() == QVariant::Bool &&
                    reply.arguments().constFirst().toBool();
    if (!ok)
        qCDebug(lcConfigtool).noquote() << failureLine;
    return ok;
}

QString ImeServiceClient::learnedWords(bool *answered)
{
    const QDBusMessage reply = call(QStringLiteral("LearnedWords"), {});
    *answered = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
                reply.arguments().constFirst().type() == QVariant::String;
    if (!*answered)
        qCDebug(lcConfigtool).noquote() << "LearnedWords failed";
    return *answered ? reply.arguments().constFirst().toString() : QString();
}
