#pragma once

#include "DoublePinyinLayout.h"
#include "EngineSettings.h"

#include <QString>
#include <QStringList>

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

    static const char *schemaFileName() { return "kaiwo.schema.yaml"; }
    static const char *defaultPatchFileName() { return "default.custom.yaml"; }
    static const char *cellsSchemaFileName() { return "kaiwo_cells.schema.yaml"; }

private:
    QString acceptedInput(const QString &path, const QString &copyName, qint64 maxSize,
                          bool mustExist, Outcome *outcome) const;
    // Keeps bytes as the last good copy; false when the copy cannot be written.
    bool keepLastGood(const QString &copy, const QByteArray &bytes, qint64 maxSize) const;
    bool loadLayout(const EngineSettings &settings, DoublePinyinLayout *layout,
                    Outcome *outcome) const;
    bool writeIfChanged(const QString &name, const QByteArray &bytes, Outcome *outcome) const;

    Paths mPaths;
};
