#pragma once

#include "DoublePinyinLayout.h"
#include "EngineSettings.h"

#include <QString>
#include <QStringList>

#include <functional>

// Turns the settings tool's files into the engine's Rime user folder.
// Every input that is missing where it must exist, damaged, binary or far
// too large is replaced by the last good copy of it, kept in the Rime
// folder, so typing goes on as before and the reason is logged.
class ConfigTranslator
{
public:
    struct Paths {
        QString pinyinDir;       // the tool's per-user pinyin folder, with "/"
        QString systemSchemeDir; // shipped double-pinyin schemes, with "/"
        QString rimeDir;         // the engine's Rime user folder, with "/"
        QString wordList;        // English words, one a line
        QString wubiTable;       // Rime's wubi86.dict.yaml
        QString pinyinTable;     // Rime's luna_pinyin.dict.yaml: the parts' readings
        QString chaiziTable;     // the data root's characters and their parts
        QString namesTable;      // the data root's surnames and given-name characters

        static Paths forHome(const QString &home, const QString &dataRoot);
        QString userSchemeDir() const { return pinyinDir + QStringLiteral("ShuangPinSchemes/"); }
        QString lastGoodDir() const { return rimeDir + QStringLiteral("kaiwo-inputs/"); }
    };

    struct Outcome {
        EngineSettings settings;
        bool rimeChanged = false; // Rime must be redeployed
        QStringList problems;     // what was not taken, and why
    };

    explicit ConfigTranslator(const Paths &paths) : mPaths(paths) {}

    // Reads the tool's files and rewrites only the Rime files whose content
    // changes.
    Outcome apply();

    static const char *defaultPatchFileName() { return "default.custom.yaml"; }
    static const char *cellsSchemaFileName() { return "kaiwo_cells.schema.yaml"; }
    // The dictionary made from the word list, which the addon also reads.
    static QString englishDictionaryFile(const QString &rimeDir);

private:
    using Check = bool (*)(const QByteArray &bytes);
    QString acceptedInput(const QString &path, const QString &copyName, qint64 maxSize,
                          bool mustExist, Outcome *outcome, Check check = nullptr) const;
    // Keeps bytes as the last good copy; false when the copy cannot be written.
    bool keepLastGood(const QString &copy, const QByteArray &bytes, qint64 maxSize) const;
    bool loadLayout(const EngineSettings &settings, DoublePinyinLayout *layout,
                    Outcome *outcome) const;
    // Writes a file of the Rime folder whose bytes change and removes what
    // Rime built from it: Rime compares whole-second file times, so a
    // change within the second of the last build would otherwise be missed.
    bool writeIfChanged(const QString &name, const QByteArray &bytes, Outcome *outcome) const;
    using DictionaryMaker = std::function<bool(const QByteArray &source, QByteArray *yaml)>;
    // Remakes a dictionary of ours from the first of its sources when one
    // of them changed (a stamp of their names, sizes and times is kept
    // beside the last good inputs); a bad source leaves the last one made.
    bool makeDictionary(const QStringList &sources, const char *name, const DictionaryMaker &make,
                        Outcome *outcome) const;
    // The dictionary of characters by their parts; false when none was ever made.
    bool makeChaiziDictionary(bool *changed, Outcome *outcome) const;
    // The names the name filter reads: the table's last good copy, or none.
    QString acceptedNames(Outcome *outcome) const;

    Paths mPaths;
};
