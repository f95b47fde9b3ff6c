#pragma once

#include "CellWordsFile.h"
#include "UserDictionaryStore.h"

#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// The input-method service as the settings tool sees it on the session bus:
// it claims the display's service name, answers every method of
// com.kaiwoimebs_service.hotel as configured and journals each call. The
// user-dictionary methods act on the dictionaries of a UserDictionaryStore
// unless the options tell the call to fail.
//
// The public methods named after D-Bus methods are called by the adaptor
// generated from com.kaiwoimebs_service.hotel.xml.
class ImeServiceStandIn : public QObject, protected QDBusContext
{
    Q_OBJECT

public:
    enum class Answer { True, False, Error };

    struct Options {
        Answer answer = Answer::True;
        int delayMs = 0;
        QString journalPath; // empty: the default journal under HOME
        // A call whose path argument contains one of these answers false.
        QStringList failOn;
    };

    static const char *const kInterface;
    static const char *const kErrorName;

    explicit ImeServiceStandIn(const Options &options, QObject *parent = nullptr);

    static QString serviceName(int displayNumber);
    static QString defaultJournalPath(const QString &home);

    // Creates the per-user folders, opens the journal and claims the bus
    // name of this display; false with a reason when the service cannot run.
    bool start(QString *error);

    QString journalPath() const { return mJournalPath; }
    const UserDictionaryStore &dictionaries() const { return mDictionaries; }
    const QVariantMap &config() const { return mConfig; }
    // The words of both shells' cell data at the last reload, sorted, each once.
    const QStringList &cellWords() const { return mCellWords; }
    static QString cellWordsSnapshotPath(const QString &home);

    void ReloadConfig();
    void RebuildKeyMap();
    void ReloadDictionary(int kind);
    bool UsrDictImport(const QString &path);
    bool UsrWuBiDictImport(const QString &path);
    bool UsrPinYinWuBiDictImportPinYin(const QString &path);
    bool UsrDictBackup(const QString &path);
    bool UsrWuBiDictBackup(const QString &path);
    bool UsrWuBiPinYinDictBackupPinYin(const QString &path);
    bool clearCnThesaurus();
    bool clearEnThesaurus();
    bool clearWebEmailThesaurus();
    bool clearWuBiCnThesaurus();
    bool clearWuBiEnThesaurus();
    bool clearWuBiWebEmailThesaurus();
    bool clearPinYinWuBiCnThesaurusPinYin();
    bool recoveryDefaultThesaurus();
    bool recoveryWuBiDefaultThesaurus();
    bool recoveryEnThesaurus();
    QString LearnedWords();
    bool ForgetLearnedWord(const QString &pinyin, const QString &word);

private:
    void journal(const QString &method, const QStringList &arguments = {});
    // Replaces the cell words with those the shells rebuilt and shows them
    // on stderr and in the snapshot file.
    void reloadCellWords();
    // Answers the current call with value, or with an error when the options
    // say so; the return value is what the adaptor replies with when the
    // answer is not sent separately.
    template <typename Value> Value answerWith(const QString &method, Value value);
    void answerWithoutValue(const QString &method);
    void sendReply(const QDBusMessage &reply);
    // Journals the call and, unless the options make it fail, runs effect
    // and answers with its result.
    template <typename Effect>
    bool answerDictionaryCall(const QString &method, const QString &path, Effect effect);
    template <typename Effect> bool answerDictionaryCall(const QString &method, Effect effect);

    const Options mOptions;
    const QString mHome;
    QString mJournalPath;
    QVariantMap mConfig;
    QStringList mCellWords;
    CellWordsFile::Pieces mCellPieces;
    UserDictionaryStore mDictionaries;
};
