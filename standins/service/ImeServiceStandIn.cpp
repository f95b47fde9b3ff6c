#include "ImeServiceStandIn.h"

#include "ImeServiceAdaptor.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTimer>

#include <fcitx-utils/utils.h>

#include <cstdio>

const char *const ImeServiceStandIn::kInterface = "com.kaiwoimebs_service.hotel";
const char *const ImeServiceStandIn::kErrorName = "com.kaiwoimebs_service.hotel.Error.Failed";

namespace
{

const char kPinyinDir[] = "/.config/KaiwoShell/usr/PCPYDict/";
const char kWubiDir[] = "/.config/KaiwoShell/usr/PCWBDict/";
const char kServiceDir[] = "/.config/kaiwoimebs/";

QString homeDirectory()
{
    const QByteArray home = qgetenv("HOME");
    return home.isEmpty() ? QDir::homePath() : QFile::decodeName(home);
}

// Keeps one call on one journal line whatever a path contains.
QString escapeField(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            escaped += QLatin1String("\\\\");
            break;
        case '\t':
            escaped += QLatin1String("\\t");
            break;
        case '\n':
            escaped += QLatin1String("\\n");
            break;
        case '\r':
            escaped += QLatin1String("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

void printError(const QString &text)
{
    std::fprintf(stderr, "kaiwoimebs-service: %s\n", text.toLocal8Bit().constData());
}

} // namespace

ImeServiceStandIn::ImeServiceStandIn(const Options &options, QObject *parent)
    : QObject(parent), mOptions(options), mHome(homeDirectory())
{
    new ImeServiceAdaptor(this); // owned by this object, exported with it
    mJournalPath = options.journalPath.isEmpty() ? defaultJournalPath(mHome) : options.journalPath;
}

QString ImeServiceStandIn::serviceName(int displayNumber)
{
    return QStringLiteral("com.kaiwoimeservice.hotel_") + QString::number(displayNumber);
}

QString ImeServiceStandIn::defaultJournalPath(const QString &home)
{
    return home + QLatin1String(kServiceDir) + QLatin1String("service-journal.log");
}

bool ImeServiceStandIn::start(QString *error)
{
    for (const char *folder : {kPinyinDir, kWubiDir, kServiceDir}) {
        const QString path = mHome + QLatin1String(folder);
        if (!QDir().mkpath(path)) {
            *error = QStringLiteral("cannot create %1").arg(path);
            return false;
        }
    }

    // Opening once here creates the journal, so a reader can wait for it.
    QFile journalFile(mJournalPath);
    if (!journalFile.open(QIODevice::WriteOnly | QIODevice::Append)) {
        *error = QStringLiteral("cannot open the journal %1: %2")
                     .arg(mJournalPath, journalFile.errorString());
        return false;
    }
    journalFile.close();

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        *error = QStringLiteral("no D-Bus session bus: %1").arg(bus.lastError().message());
        return false;
    }
    // The object goes up before the name, so whoever sees the name can call.
    if (!bus.registerObject(QStringLiteral("/"), this)) {
        *error = QStringLiteral("cannot register the object /: %1").arg(bus.lastError().message());
        return false;
    }
    const QString name = serviceName(fcitx_utils_get_display_number());
    if (!bus.registerService(name)) {
        bus.unregisterObject(QStringLiteral("/"));
        *error = QStringLiteral("cannot claim the bus name %1 (is another service running on this "
                                "display?): %2")
                     .arg(name, bus.lastError().message());
        return false;
    }
    return true;
}

void ImeServiceStandIn::journal(const QString &method, const QStringList &arguments)
{
    QString line = method;
    for (const QString &argument : arguments)
        line += QLatin1Char('\t') + escapeField(argument);
    line += QLatin1Char('\n');

    QFile journalFile(mJournalPath);
    if (!journalFile.open(QIODevice::WriteOnly | QIODevice::Append) ||
        journalFile.write(line.toUtf8()) < 0)
        printError(QStringLiteral("cannot write the journal %1: %2")
                       .arg(mJournalPath, journalFile.errorString()));
}

void ImeServiceStandIn::sendReply(const QDBusMessage &reply)
{
    if (mOptions.delayMs <= 0) {
        connection().send(reply);
        return;
    }
    QDBusConnection bus = connection();
    QTimer::singleShot(mOptions.delayMs, this, [bus, reply]() mutable { bus.send(reply); });
}

bool ImeServiceStandIn::answerWithBool(const QString &method)
{
    const bool value = mOptions.answer == Answer::True;
    if (!calledFromDBus() || (mOptions.delayMs <= 0 && mOptions.answer != Answer::Error))
        return value;

    setDelayedReply(true);
    if (mOptions.answer == Answer::Error)
        sendReply(message().createErrorReply(QString::fromLatin1(kErrorName),
                                             method + QLatin1String(" refused (--answer error)")));
    else
        sendReply(message().createReply(value));
    return value;
}

void ImeServiceStandIn::answerWithoutValue(const QString &method)
{
    if (!calledFromDBus() || (mOptions.delayMs <= 0 && mOptions.answer != Answer::Error))
        return;

    setDelayedReply(true);
    if (mOptions.answer == Answer::Error)
        sendReply(message().createErrorReply(QString::fromLatin1(kErrorName),
                                             method + QLatin1String(" refused (--answer error)")));
    else
        sendReply(message().createReply());
}

bool ImeServiceStandIn::answerDictionaryCall(const QString &method, const QString &path)
{
    journal(method, {path});
    return answerWithBool(method);
}

bool ImeServiceStandIn::answerDictionaryCall(const QString &method)
{
    journal(method);
    return answerWithBool(method);
}

void ImeServiceStandIn::ReloadConfig()
{
    journal(QStringLiteral("ReloadConfig"));

    QSettings settings(mHome + QLatin1String(kPinyinDir) + QLatin1String("env.ini"),
                       QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    settings.beginGroup(QStringLiteral("Setting"));
    mConfig.clear();
    for (const QString &key : settings.childKeys())
        mConfig.insert(key, settings.value(key));
    settings.endGroup();
    std::fprintf(stderr, "ReloadConfig: %d keys\n", mConfig.size());

    answerWithoutValue(QStringLiteral("ReloadConfig"));
}

void ImeServiceStandIn::RebuildKeyMap()
{
    journal(QStringLiteral("RebuildKeyMap"));
    answerWithoutValue(QStringLiteral("RebuildKeyMap"));
}

void ImeServiceStandIn::ReloadDictionary(int kind)
{
    journal(QStringLiteral("ReloadDictionary"), {QString::number(kind)});
    answerWithoutValue(QStringLiteral("ReloadDictionary"));
}

bool ImeServiceStandIn::UsrDictImport(const QString &path)
{
    return answerDictionaryCall(QStringLiteral("UsrDictImport"), path);
}

bool ImeServiceStandIn::UsrWuBiDictImport(const QString &path)
{
    return answerDictionaryCall(QStringLiteral("UsrWuBiDictImport"), path);
}

bool ImeServiceStandIn::UsrPinYinWuBiDictImportPinYin(const QString &path)
{
    return answerDictionaryCall(QStringLiteral("UsrPinYinWuBiDictImportPinYin"), path);
}

bool ImeServiceStandIn::UsrDictBackup(const QString &path)
{
    return answerDictionaryCall(QStringLiteral("UsrDictBackup"), path);
}

bool ImeServiceStandIn::UsrWuBiDictBackup(const QString &path)
{
    return answerDictionaryCall(QStringLiteral("UsrWuBiDictBackup"), path);
}

bool ImeServiceStandIn::UsrWuBiPinYinDictBackupPinYin(const QString &path)
{
    return answerDictionaryCall(QStringLiteral("UsrWuBiPinYinDictBackupPinYin"), path);
}

bool ImeServiceStandIn::clearCnThesaurus()
{
    return answerDictionaryCall(QStringLiteral("clearCnThesaurus"));
}

bool ImeServiceStandIn::clearEnThesaurus()
{
    return answerDictionaryCall(QStringLiteral("clearEnThesaurus"));
}

bool ImeServiceStandIn::clearWebEmailThesaurus()
{
    return answerDictionaryCall(QStringLiteral("clearWebEmailThesaurus"));
}

bool ImeServiceStandIn::clearWuBiCnThesaurus()
{
    return answerDictionaryCall(QStringLiteral("clearWuBiCnThesaurus"));
}

bool ImeServiceStandIn::clearWuBiEnThesaurus()
{
    return answerDictionaryCall(QStringLiteral("clearWuBiEnThesaurus"));
}

bool ImeServiceStandIn::clearWuBiWebEmailThesaurus()
{
    return answerDictionaryCall(QStringLiteral("clearWuBiWebEmailThesaurus"));
}

bool ImeServiceStandIn::clearPinYinWuBiCnThesaurusPinYin()
{
    return answerDictionaryCall(QStringLiteral("clearPinYinWuBiCnThesaurusPinYin"));
}

bool ImeServiceStandIn::recoveryDefaultThesaurus()
{
    return answerDictionaryCall(QStringLiteral("recoveryDefaultThesaurus"));
}

bool ImeServiceStandIn::recoveryWuBiDefaultThesaurus()
{
    return answerDictionaryCall(QStringLiteral("recoveryWuBiDefaultThesaurus"));
}

bool ImeServiceStandIn::recoveryEnThesaurus()
{
    return answerDictionaryCall(QStringLiteral("recoveryEnThesaurus"));
}
