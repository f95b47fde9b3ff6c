#pragma once

#include <QString>
#include <QVariantList>

// Every call the tool makes to the running input-method service goes
// through here: a fresh method call on the session bus, blocking, with the
// bus's default time-out.
class ImeServiceClient
{
public:
    static int displayNumber();
    static QString serviceName();

    // Sends the call and ignores whatever comes back.
    static void send(const QString &method, const QVariantList &arguments = {});
    // True only for a reply whose first argument is boolean true; anything
    // else writes failureLine to the debug log.
    static bool ask(const QString &method, const QVariantList &arguments, const char *failureLine);

    // The engine's learned pinyin words in LearnedWordList's form; answered
    // false when no service replied with them.
    static QString learnedWords(bool *answered);
    static bool forgetLearnedWord(const QString &pinyin, const QString &word)
    {
        return ask(QStringLiteral("ForgetLearnedWord"), {pinyin, word}, "ForgetLearnedWord failed");
    }

    static void reloadConfig() { send(QStringLiteral("ReloadConfig")); }
    static void rebuildKeyMap() { send(QStringLiteral("RebuildKeyMap")); }
    static void reloadDictionary(int kind)
    {
        send(QStringLiteral("ReloadDictionary"), {QVariant(kind)});
    }
};
