#include "ImeServiceStandIn.h"

#include "CellWordsFile.h"
#include "ImeServiceAdaptor.h"
#include "config/IniSafety.h"
#include "config/LearnedWordList.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTimer>

#include <fcitx-utils/utils.h>

#include <algorithm>
#include <cstdio>

const char *const ImeServiceStandIn::kInterface = "com.kaiwoimebs_service.hotel";
const char *const ImeServiceStandIn::kErrorName = "com.kaiwoimebs_service.hotel.Error.Failed";

namespace
{

const char kPinyinDir[] = "/.config/KaiwoShell/usr/PCPYDict/";
const char kWubiDir[] = "/.config/KaiwoShell/usr/PCWBDict/";
const char kServiceDir[] = "/.config/kaiwoimebs/";
// ReloadDictionary's argument after the cell dictionaries changed.
const int kCellDictionaries = 1;

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
    : QObject(parent), mOptions(options), mHome(homeDirectory()),
      mDictionaries(UserDictionaryStore::defaultFolder(mHome))
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

QString ImeServiceStandIn::cellWordsSnapshotPath(const QString &home)
{
    return home + QLatin1String(kServiceDir) + QLatin1String("service-cell-words.txt");
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

    if (!mDictionaries.provision(error))
        return false;

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

template <typename Value> Value ImeServiceStandIn::answerWith(const QString &method, Value value)
{
    if (!calledFromDBus() || (mOptions.delayMs <= 0 && mOptions.answer != Answer::Error))
        return value;

    setDelayedReply(true);
    if (mOptions.answer == Answer::Error)
        sendReply(message().createErrorReply(QString::fromLatin1(kErrorName),
                                             method + QLatin1String(" refused (--answer error)")));
    else
        sendReply(message().createReply(QVariant::fromValue(value)));
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

template <typename Effect>
bool ImeServiceStandIn::answerDictionaryCall(const QString &method, const QString &path,
                                             Effect effect)
{
    journal(method, {path});
    const bool failed = std::any_of(mOptions.failOn.cbegin(), mOptions.failOn.cend(),
                                    [&path](const QString &part) { return path.contains(part); });
    const bool value = mOptions.answer == Answer::True && !failed && effect();
    return answerWith(method, value);
}

template <typename Effect>
bool ImeServiceStandIn::answerDictionaryCall(const QString &method, Effect effect)
{
    journal(method);
    return answerWith(method, mOptions.answer == Answer::True && effect());
}

void ImeServiceStandIn::ReloadConfig()
{
    journal(QStringLiteral("ReloadConfig"));

    const QString path = mHome + QLatin1String(kPinyinDir) + QLatin1String("env.ini");
    mConfig.clear();
    // QSettings would abort the service on a damaged serialised value.
    if (IniSafety::holdsSerialisedValues(path)) {
        printError(QStringLiteral("%1 holds serialised values; not read").arg(path));
    } else {
        QSettings settings(path, QSettings::IniFormat);
        settings.setIniCodec("UTF-8");
        settings.beginGroup(QStringLiteral("Setting"));
        for (const QString &key : settings.childKeys())
            mConfig.insert(key, settings.value(key));
        settings.endGroup();
    }
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
    if (kind == kCellDictionaries && mOptions.answer != Answer::Error)
        reloadCellWords();
    answerWithoutValue(QStringLiteral("ReloadDictionary"));
}

void ImeServiceStandIn::reloadCellWords()
{
    QStringList words;
    CellWordsFile::Pieces read;
    for (const char *folder : {kPinyinDir, kWubiDir})
        words += CellWordsFile::read(mHome + QLatin1String(folder) +
                                         QLatin1String(CellWordsFile::fileName()),
                                     CellWordsFile::kMaxBytes, &mCellPieces, &read);
    mCellPieces.swap(read);
    words.removeDuplicates();
    words.sort();
    mCellWords = words;
    std::fprintf(stderr, "ReloadDictionary: %d cell words\n", mCellWords.size());

    const QString snapshot = cellWordsSnapshotPath(mHome);
    if (!CellWordsFile::writeSnapshot(snapshot, mCellWords))
        printError(QStringLiteral("cannot write %1").arg(snapshot));
}

bool ImeServiceStandIn::UsrDictImport(const QString &path)
{
    return answerDictionaryCall(QStringLiteral("UsrDictImport"), path, [&] {
        return mDictionaries.importFile(UserDictionaryStore::Dictionary::Pinyin, path);
    });
}

bool ImeServiceStandIn::UsrWuBiDictImport(const QString &path)
{
    return answerDictionaryCall(QStringLiteral("UsrWuBiDictImport"), path, [&] {
        return mDictionaries.importFile(UserDictionaryStore::Dictionary::Wubi, path);
    });
}

bool ImeServiceStandIn::UsrPinYinWuBiDictImportPinYin(const QString &path)
{
    return answerDictionaryCall(QStringLiteral("UsrPinYinWuBiDictImportPinYin"), path, [&] {
        return mDictionaries.importFile(UserDictionaryStore::Dictionary::WubiPinyin, path);
    });
}

bool ImeServiceStandIn::UsrDictBackup(const QString &path)
{
    return answerDictionaryCall(QStringLiteral("UsrDictBackup"), path, [&] {
        return mDictionaries.backup(UserDictionaryStore::Dictionary::Pinyin, path);
    });
}

bool ImeServiceStandIn::UsrWuBiDictBackup(const QString &path)
{
    return answerDictionaryCall(QStringLiteral("UsrWuBiDictBackup"), path, [&] {
        return mDictionaries.backup(UserDictionaryStore::Dictionary::Wubi, path);
    });
}

bool ImeServiceStandIn::UsrWuBiPinYinDictBackupPinYin(const QString &path)
{
    return answerDictionaryCall(QStringLiteral("UsrWuBiPinYinDictBackupPinYin"), path, [&] {
        return mDictionaries.backup(UserDictionaryStore::Dictionary::WubiPinyin, path);
    });
}

bool ImeServiceStandIn::clearCnThesaurus()
{
    return answerDictionaryCall(QStringLiteral("clearCnThesaurus"), [this] {
        return mDictionaries.clear(UserDictionaryStore::Dictionary::Pinyin);
    });
}

bool ImeServiceStandIn::clearEnThesaurus()
{
    return answerDictionaryCall(QStringLiteral("clearEnThesaurus"), [this] {
        return mDictionaries.clear(UserDictionaryStore::Dictionary::English);
    });
}

bool ImeServiceStandIn::clearWebEmailThesaurus()
{
    return answerDictionaryCall(QStringLiteral("clearWebEmailThesaurus"), [this] {
        return mDictionaries.clear(UserDictionaryStore::Dictionary::WebEmail);
    });
}

bool ImeServiceStandIn::clearWuBiCnThesaurus()
{
    return answerDictionaryCall(QStringLiteral("clearWuBiCnThesaurus"), [this] {
        return mDictionaries.clear(UserDictionaryStore::Dictionary::Wubi);
    });
}

bool ImeServiceStandIn::clearWuBiEnThesaurus()
{
    return answerDictionaryCall(QStringLiteral("clearWuBiEnThesaurus"), [this] {
        return mDictionaries.clear(UserDictionaryStore::Dictionary::WubiEnglish);
    });
}

bool ImeServiceStandIn::clearWuBiWebEmailThesaurus()
{
    return answerDictionaryCall(QStringLiteral("clearWuBiWebEmailThesaurus"), [this] {
        return mDictionaries.clear(UserDictionaryStore::Dictionary::WubiWebEmail);
    });
}

bool ImeServiceStandIn::clearPinYinWuBiCnThesaurusPinYin()
{
    return answerDictionaryCall(QStringLiteral("clearPinYinWuBiCnThesaurusPinYin"), [this] {
        return mDictionaries.clear(UserDictionaryStore::Dictionary::WubiPinyin);
    });
}

bool ImeServiceStandIn::recoveryDefaultThesaurus()
{
    return answerDictionaryCall(QStringLiteral("recoveryDefaultThesaurus"), [this] {
        using Dictionary = UserDictionaryStore::Dictionary;
        bool recovered = true;
        for (const Dictionary dictionary :
             {Dictionary::Pinyin, Dictionary::English, Dictionary::WebEmail})
            recovered = mDictionaries.recover(dictionary) && recovered;
        return recovered;
    });
}

bool ImeServiceStandIn::recoveryWuBiDefaultThesaurus()
{
    return answerDictionaryCall(QStringLiteral("recoveryWuBiDefaultThesaurus"), [this] {
        using Dictionary = UserDictionaryStore::Dictionary;
        bool recovered = true;
        for (const Dictionary dictionary : {Dictionary::Wubi, Dictionary::WubiPinyin,
                                            Dictionary::WubiEnglish, Dictionary::WubiWebEmail})
            recovered = mDictionaries.recover(dictionary) && recovered;
        return recovered;
    });
}

bool ImeServiceStandIn::recoveryEnThesaurus()
{
    return answerDictionaryCall(QStringLiteral("recoveryEnThesaurus"), [this] {
        return mDictionaries.recover(UserDictionaryStore::Dictionary::English);
    });
}

// The pinyin dictionary's words, as the engine lists what Rime learned.
QString ImeServiceStandIn::LearnedWords()
{
    journal(QStringLiteral("LearnedWords"));
    UserDictionary content;
    QVector<LearnedWordList::Word> words;
    if (mDictionaries.load(UserDictionaryStore::Dictionary::Pinyin, &content))
        for (const UserDictionary::Entry &entry : content.entries())
            words.append({entry.code, entry.word, entry.frequency});
    return answerWith(QStringLiteral("LearnedWords"), LearnedWordList::encode(words));
}

bool ImeServiceStandIn::ForgetLearnedWord(const QString &pinyin, const QString &word)
{
    journal(QStringLiteral("ForgetLearnedWord"), {pinyin, word});
    const auto kind = UserDictionaryStore::Dictionary::Pinyin;
    UserDictionary content;
    const bool forgotten = mOptions.answer == Answer::True && mDictionaries.load(kind, &content) &&
                           content.remove(pinyin, word) && mDictionaries.save(kind, content);
    return answerWith(QStringLiteral("ForgetLearnedWord"), forgotten);
}
