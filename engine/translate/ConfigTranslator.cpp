#include "ConfigTranslator.h"
#include "CellWords.h"

#include "ChaiziDictionary.h"
#include "EnglishSchema.h"
#include "NameModel.h"
#include "RimeSchema.h"
#include "SpellingAlgebra.h"
#include "WubiSchema.h"
#include "config/AtomicFile.h"
#include "config/IniSafety.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace
{

const qint64 kMaxSettingsSize = 1024 * 1024;
const qint64 kMaxRuleFileSize = 64 * 1024;
// Debian's word list is 1 MiB and its Wubi table 4 MiB; far larger ones
// would hold fcitx up while Rime builds them.
const qint64 kMaxDictionarySource = 16 * 1024 * 1024;

QByteArray readAll(const QString &path, qint64 maxSize, bool *ok)
{
    QFile file(path);
    *ok = false;
    if (!QFileInfo(path).isFile() || file.size() > maxSize || !file.open(QIODevice::ReadOnly))
        return {};
    // A file may grow after its size was read; one byte more tells.
    const QByteArray bytes = file.read(qMin(maxSize, file.size()) + 1);
    *ok = bytes.size() <= maxSize && !bytes.contains('\0');
    return bytes;
}

bool looksLikeSettings(const QByteArray &bytes)
{
    return bytes.contains("[Setting]") && IniSafety::serialisedValueLines(bytes).isEmpty();
}

bool looksLikeNames(const QByteArray &bytes)
{
    NameModel model;
    return NameModel::parse(bytes.toStdString(), &model);
}

// Name, size and time of each source, a line each.
QByteArray sourcesStamp(const QStringList &sources)
{
    QByteArrayList lines;
    for (const QString &source : sources) {
        const QFileInfo info(source);
        lines << QFile::encodeName(source) + ' ' + QByteArray::number(info.size()) + ' ' +
                     QByteArray::number(info.lastModified().toMSecsSinceEpoch());
    }
    return lines.join('\n');
}

} // namespace

ConfigTranslator::Paths ConfigTranslator::Paths::forHome(const QString &home,
                                                         const QString &dataRoot)
{
    const QString engineData = dataRoot + QStringLiteral("/Rime/");
    return {home + QStringLiteral("/.config/KaiwoShell/usr/PCPYDict/"),
            dataRoot + QStringLiteral("/KaiwoShell/dict/PCPYDict/ShuangPinSchemes/"),
            home + QStringLiteral("/.config/kaiwoimebs/rime/"),
            QLatin1String(EnglishSchema::wordListPath()),
            QStringLiteral("/usr/share/rime-data/wubi86.dict.yaml"),
            QStringLiteral("/usr/share/rime-data/luna_pinyin.dict.yaml"),
            engineData + QLatin1String(ChaiziDictionary::tableFileName()),
            engineData + QLatin1String(NameModel::fileName())};
}

QString ConfigTranslator::englishDictionaryFile(const QString &rimeDir)
{
    return rimeDir + QLatin1String(RimeSchema::englishDictionary()) + QStringLiteral(".dict.yaml");
}

QString ConfigTranslator::acceptedInput(const QString &path, const QString &copyName,
                                        qint64 maxSize, bool mustExist, Outcome *outcome,
                                        Check check) const
{
    const QString copy = mPaths.lastGoodDir() + copyName;
    if (!QFileInfo::exists(path) && !mustExist) {
        QFile::remove(copy);
        return QString(); // the tool's own meaning of a missing file
    }
    bool ok = false;
    const QByteArray bytes = readAll(path, maxSize, &ok);
    if (ok && check)
        ok = check(bytes);
    if (!ok) {
        outcome->problems << QStringLiteral("%1 is missing, damaged or too large; %2")
                                 .arg(path, QFileInfo::exists(copy)
                                                ? QStringLiteral("using the last good copy")
                                                : QStringLiteral("using the defaults"));
        return QFileInfo::exists(copy) ? copy : QString();
    }
    // Should the copy not take the new bytes, the file itself is read.
    return keepLastGood(copy, bytes, maxSize) ? copy : path;
}

bool ConfigTranslator::keepLastGood(const QString &copy, const QByteArray &bytes,
                                    qint64 maxSize) const
{
    bool same = false;
    if (readAll(copy, maxSize, &same) == bytes && same)
        return true;
    QDir().mkpath(mPaths.lastGoodDir());
    return writeFileAtomically(QFile::encodeName(copy).constData(), bytes) ==
           AtomicWriteResult::Written;
}

bool ConfigTranslator::loadLayout(const EngineSettings &settings, DoublePinyinLayout *layout,
                                  Outcome *outcome) const
{
    const QString name = settings.doublePinyinScheme + QStringLiteral(".ini");
    QString path = mPaths.userSchemeDir() + name;
    if (name.contains(QLatin1Char('/')) || !QFileInfo::exists(path))
        path = mPaths.systemSchemeDir + name;
    const QString copy = mPaths.lastGoodDir() + QStringLiteral("scheme.ini");
    QString error;
    if (!name.contains(QLatin1Char('/')) && DoublePinyinLayout::load(path, layout, &error)) {
        bool ok = false;
        const QByteArray bytes = readAll(path, kMaxRuleFileSize, &ok);
        if (ok)
            keepLastGood(copy, bytes, kMaxRuleFileSize);
        return true;
    }
    outcome->problems << QStringLiteral("double-pinyin scheme %1: %2")
                             .arg(settings.doublePinyinScheme,
                                  error.isEmpty() ? QStringLiteral("bad name") : error);
    QString copyError;
    if (DoublePinyinLayout::load(copy, layout, &copyError))
        return true;
    return DoublePinyinLayout::load(mPaths.systemSchemeDir + QStringLiteral("Kaiwo.ini"), layout,
                                    &copyError);
}

bool ConfigTranslator::writeIfChanged(const QString &name, const QByteArray &bytes,
                                      Outcome *outcome) const
{
    const QString path = mPaths.rimeDir + name;
    bool ok = false;
    if (readAll(path, kMaxDictionarySource, &ok) == bytes && ok)
        return false;
    if (writeFileAtomically(QFile::encodeName(path).constData(), bytes) !=
        AtomicWriteResult::Written) {
        outcome->problems << QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    const QString base = name.section(QLatin1Char('.'), 0, 0);
    const QString kind = name.section(QLatin1Char('.'), 1);
    QStringList built;
    if (kind == QLatin1String("schema.yaml"))
        built << base + QStringLiteral(".schema.yaml") << base + QStringLiteral(".prism.bin");
    else if (kind == QLatin1String("dict.yaml"))
        built << base + QStringLiteral(".table.bin") << base + QStringLiteral(".prism.bin")
              << base + QStringLiteral(".reverse.bin");
    else // the schemas hold the defaults' page size once built
        built << QStringLiteral("default.yaml")
              << QLatin1String(RimeSchema::schemaId()) + QStringLiteral(".schema.yaml")
              << QLatin1String(WubiSchema::schemaId()) + QStringLiteral(".schema.yaml")
              << QLatin1String(EnglishSchema::schemaId()) + QStringLiteral(".schema.yaml");
    for (const QString &output : built)
        QFile::remove(mPaths.rimeDir + QStringLiteral("build/") + output);
    return true;
}

bool ConfigTranslator::makeDictionary(const QStringList &sources, const char *name,
                                      const DictionaryMaker &make, Outcome *outcome) const
{
    const QByteArray stamp = sourcesStamp(sources);
    const QString fileName = QLatin1String(name) + QStringLiteral(".dict.yaml");
    const QString stampFile =
        mPaths.lastGoodDir() + QLatin1String(name) + QStringLiteral(".source");
    bool ok = false;
    if (readAll(stampFile, 4096, &ok) == stamp && ok &&
        QFileInfo::exists(mPaths.rimeDir + fileName))
        return false;
    const QByteArray bytes = readAll(sources.first(), kMaxDictionarySource, &ok);
    QByteArray yaml;
    if (!ok || !make(bytes, &yaml)) {
        outcome->problems << QStringLiteral("%1 is missing, damaged or too large; %2 stays as it "
                                            "was")
                                 .arg(sources.first(), fileName);
        return false;
    }
    const bool changed = writeIfChanged(fileName, yaml, outcome);
    QDir().mkpath(mPaths.lastGoodDir());
    writeFileAtomically(QFile::encodeName(stampFile).constData(), stamp);
    return changed;
}

bool ConfigTranslator::makeChaiziDictionary(bool *changed, Outcome *outcome) const
{
    const auto make = [this](const QByteArray &table, QByteArray *yaml) {
        return ChaiziDictionary::yaml(table, CellWords::readCharacterReadings(mPaths.pinyinTable),
                                      yaml);
    };
    *changed = makeDictionary({mPaths.chaiziTable, mPaths.pinyinTable}, ChaiziDictionary::name(),
                              make, outcome) ||
               *changed;
    return QFileInfo::exists(mPaths.rimeDir + QLatin1String(ChaiziDictionary::name()) +
                             QStringLiteral(".dict.yaml"));
}

QString ConfigTranslator::acceptedNames(Outcome *outcome) const
{
    return acceptedInput(mPaths.namesTable, QLatin1String(NameModel::fileName()), kMaxSettingsSize,
                         true, outcome, &looksLikeNames);
}

ConfigTranslator::Outcome ConfigTranslator::apply()
{
    Outcome outcome;
    QDir().mkpath(mPaths.rimeDir);
    // Debian's Rime data has no OpenCC folder; Rime looks for one beside the
    // user data.
    const QString opencc = mPaths.rimeDir + QStringLiteral("opencc");
    if (!QFileInfo(opencc).exists())
        QFile::link(QStringLiteral("/usr/share/opencc"), opencc);

    // The schema always names the cell words' dictionary; until the cells
    // are first built it has no words.
    const QString cells =
        mPaths.rimeDir + QLatin1String(CellWords::dictionaryName()) + ".dict.yaml";
    if (!QFileInfo::exists(cells))
        writeFileAtomically(QFile::encodeName(cells).constData(), CellWords::dictionary({}));

    const QString settingsPath =
        acceptedInput(mPaths.pinyinDir + QStringLiteral("env.ini"), QStringLiteral("env.ini"),
                      kMaxSettingsSize, true, &outcome, &looksLikeSettings);
    if (!settingsPath.isEmpty()) {
        QSettings settings(settingsPath, QSettings::IniFormat);
        settings.setIniCodec("UTF-8");
        outcome.settings = EngineSettings::read(&settings);
    }
    EngineSettings &s = outcome.settings;

    SpellingAlgebra::Input input;
    const QString fuzzy = acceptedInput(mPaths.pinyinDir + FuzzyFile::fileName(),
                                        FuzzyFile::fileName(), kMaxRuleFileSize, false, &outcome);
    if (!fuzzy.isEmpty())
        FuzzyFile::read(fuzzy, &input.fuzzy);
    input.fuzzySmart = s.fuzzySmart;
    const QString correction =
        acceptedInput(mPaths.pinyinDir + CorrectionFile::fileName(), CorrectionFile::fileName(),
                      kMaxRuleFileSize, false, &outcome);
    if (!correction.isEmpty())
        CorrectionFile::read(correction, &input.corrections);
    input.correction = s.correction;
    input.abbreviateInitials = s.initialsAbbreviate;
    input.doublePinyinAcceptsFull = s.doublePinyinAcceptsFull;
    DoublePinyinLayout layout;
    if (s.doublePinyin && loadLayout(s, &layout, &outcome))
        input.doublePinyin = &layout;

    const QStringList algebra = SpellingAlgebra::rules(input);
    bool changed = makeDictionary({mPaths.wordList}, RimeSchema::englishDictionary(),
                                  &EnglishSchema::dictionaryYaml, &outcome);
    changed = makeDictionary({mPaths.wubiTable}, WubiSchema::charactersId(),
                             &WubiSchema::charactersDictionaryYaml, &outcome) ||
              changed;
    // Without their data these stay off, and typing goes on without them.
    s.characterParts = s.characterParts && makeChaiziDictionary(&changed, &outcome);
    const QString names = s.personalNames ? acceptedNames(&outcome) : QString();
    s.personalNames = !names.isEmpty();
    const struct {
        const char *id;
        QByteArray yaml;
    } schemas[] = {{RimeSchema::schemaId(), RimeSchema::schemaYaml(s, algebra, names)},
                   {WubiSchema::schemaId(), WubiSchema::schemaYaml(s)},
                   {WubiSchema::charactersId(), WubiSchema::charactersSchemaYaml()},
                   {EnglishSchema::schemaId(), EnglishSchema::schemaYaml(s)},
                   {EnglishSchema::wordsSchemaId(), EnglishSchema::wordsSchemaYaml()},
                   {RimeSchema::cellsSchemaId(), RimeSchema::cellsSchemaYaml(algebra)},
                   {ChaiziDictionary::name(), RimeSchema::chaiziSchemaYaml(algebra)}};
    for (const auto &schema : schemas)
        changed = writeIfChanged(QLatin1String(schema.id) + QStringLiteral(".schema.yaml"),
                                 schema.yaml, &outcome) ||
                  changed;
    changed = writeIfChanged(QLatin1String(defaultPatchFileName()), RimeSchema::defaultPatchYaml(s),
                             &outcome) ||
              changed;
    outcome.rimeChanged = changed;
    return outcome;
}
