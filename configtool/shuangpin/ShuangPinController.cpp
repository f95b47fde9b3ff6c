#include "ShuangPinController.h"

#include "DataRoot.h"
#include "Logging.h"
#include "config/IniHelpers.h"
#include "config/IniSafety.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace
{

using S = ShuangPinScheme;
// The editor never offers "van" and "vn", so the blank base does not wait
// for them either; otherwise a scheme begun blank could never be saved.
const int kBlankBaseSyllables = 32;

const char *const kZeroConsonantFinals[] = {"a",  "ai", "an",  "ang", "ao", "e",
                                            "ei", "en", "eng", "er",  "o",  "ou"};

struct RestrictionItem {
    int isConsonant;
    char name[10];
    int mode; // 0: the list names compatible finals, 1: conflicting ones
    std::vector<const char *> list;
};

const char *const kConsonantNames[] = {"",  "b", "c", "d", "f", "g",  "h",  "j",
                                       "k", "l", "m", "n", "p", "q",  "r",  "s",
                                       "t", "w", "x", "y", "z", "zh", "ch", "sh"};

struct FinalRestriction {
    const char *name;
    int mode;
    std::vector<const char *> list;
};

const std::vector<FinalRestriction> &finalRestrictions()
{
    static const std::vector<const char *> erIaIong{"er", "ia", "iong"};
    static const std::vector<const char *> erUa3{"er", "ua", "uai", "uang"};
    static const std::vector<const char *> erUa4{"er", "ua", "uai", "uang", "ui"};
    static const std::vector<const char *> uaLike{"er",  "ia",   "ian", "iang", "iao", "ie", "in",
                                                  "ing", "iong", "iu",  "v",    "ue",  "ve"};
    static const std::vector<FinalRestriction> rows{
        {"a", 0, {"", ""}},
        {"ai", 0, erIaIong},
        {"an", 0, erIaIong},
        {"ang", 0, erIaIong},
        {"ao", 0, erIaIong},
        {"e", 0, {"", ""}},
        {"ei", 0, erIaIong},
        {"en", 0, erIaIong},
        {"eng", 0, erIaIong},
        {"er", 1, {"a", "e", "i", "o", "u"}},
        {"i", 0, {"", ""}},
        {"ia",
         0,
         {"a", "ai", "an", "ang", "ao", "e", "ei", "en", "eng", "er", "o", "ong", "ou", "u", "ua",
          "uai", "uang", "ui", "uo"}},
        {"ian", 0, erUa3},
        {"iang", 0, erUa4},
        {"iao", 0, erUa3},
        {"ie", 0, erUa3},
        {"in", 0, erUa4},
        {"ing", 0, erUa3},
        {"iong", 1, {"i", "ia", "ian", "iang", "iao", "ie", "in", "iu", "uan", "ue", "un", "v"}},
        {"iu", 0, erUa3},
        {"o", 0, {"ia", "iang", "iong", "v", "ua", "uai", "uang", "ui", "uo"}},
        {"ong", 0, {"er", "iong", "o"}},
        {"ou", 0, {"er", "iong"}},
        {"u", 0, {"", ""}},
        {"ua", 0, uaLike},
        {"uai", 0, uaLike},
        {"uan", 0, {"er"}},
        {"van", 0, {"er"}},
        {"uang", 0, uaLike},
        {"ue", 0, erUa4},
        {"ui", 0, {"er", "iang", "in", "iong", "v", "ue", "ve"}},
        {"un", 0, {"er"}},
        {"vn", 0, {"er"}},
        {"uo", 0, {"er", "iong", "o"}},
        {"v", 0, {"er", "iong", "ua", "uai", "uang", "ui"}},
        {"ve", 0, {"er", "ua", "uai", "uang", "ui", "ue"}},
    };
    return rows;
}

// The 60 records, consonants first, searched linearly by name.
const std::vector<RestrictionItem> &restrictionTable()
{
    static const std::vector<RestrictionItem> table = [] {
        std::vector<RestrictionItem> items;
        auto add = [&items](int isConsonant, const char *name, int mode,
                            const std::vector<const char *> &list) {
            RestrictionItem item{isConsonant, {}, mode, list};
            std::strncpy(item.name, name, sizeof(item.name) - 1);
            items.push_back(item);
        };
        for (const char *name : kConsonantNames)
            add(1, name, 1, {""});
        for (const FinalRestriction &row : finalRestrictions())
            add(0, row.name, row.mode, row.list);
        return items;
    }();
    return table;
}

bool isCompoundConsonant(const QString &syllable)
{
    return syllable == QLatin1String("zh") || syllable == QLatin1String("ch") ||
           syllable == QLatin1String("sh");
}

void appendOnce(std::vector<QString> &list, const QString &value)
{
    if (std::find(list.begin(), list.end(), value) == list.end())
        list.push_back(value);
}

void removeAll(std::vector<QString> &list, const QString &value)
{
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

QString keyId(const SpKeyItem &item)
{
    return item.key == ';' ? QStringLiteral("fenhao") : QString(QChar(item.key).toLower());
}

} // namespace

ShuangPinController *ShuangPinController::self()
{
    static ShuangPinController *instance = nullptr;
    if (!instance)
        instance = new ShuangPinController;
    return instance;
}

ShuangPinController::ShuangPinController()
{
    std::memset(mDisplayItems, 0, sizeof(mDisplayItems));
    std::memset(mEditItems, 0, sizeof(mEditItems));
    loadShuangPinConf();
    qCDebug(lcConfigtool) << "ShuangPinController";
}

QString ShuangPinController::localPath()
{
    return homeDirectory() + QStringLiteral("/.config/KaiwoShell/usr/PCPYDict/");
}

QString ShuangPinController::localShuangPinPath()
{
    return localPath() + QStringLiteral("ShuangPinSchemes/");
}

QString ShuangPinController::ShuangPinInstallPath()
{
    return kaiwoDataRoot() + QStringLiteral("/KaiwoShell/dict/PCPYDict/ShuangPinSchemes/");
}

void ShuangPinController::loadShuangPinConf()
{
    mSchemeFiles.clear();
    mSchemeTitles.clear();
    loadLocalShuangPinConf();
    loadSysShuangPinConf();
}

void ShuangPinController::loadLocalShuangPinConf()
{
    loadSchemeDirectory(localShuangPinPath(), true);
}

void ShuangPinController::loadSysShuangPinConf()
{
    loadSchemeDirectory(ShuangPinInstallPath(), false);
}

void ShuangPinController::loadSchemeDirectory(const QString &directory, bool perUser)
{
    QDir dir(directory);
    if (!dir.exists())
        return;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files, QDir::Unsorted);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (!entry.isFile() || name.isEmpty() || name == QLatin1String(".") ||
            name == QLatin1String("..") || !name.endsWith(QLatin1String("ini")) || !entry.exists())
            continue;
        // A scheme file is shared, never changed here: one holding values
        // QSettings would read as objects is left out of the list.
        if (IniSafety::holdsSerialisedValues(entry.absoluteFilePath()))
            continue;
        QSettings file(entry.absoluteFilePath(), QSettings::IniFormat);
        file.setIniCodec("UTF-8");
        const QString title = file.value(QStringLiteral("metadata/title")).toString();
        // A per-user scheme hides the system scheme of the same title.
        if (!perUser && mSchemeFiles.contains(title))
            continue;
        mSchemeFiles.insert(title, entry.absoluteFilePath());
        mSchemeTitles.append(title);
    }
}

bool ShuangPinController::loadScheme(const QString &path, SpKeyItem *items, bool forEditing)
{
    std::vector<QString> assigned;
    if (!S::loadKeyTable(path, items, forEditing ? &assigned : nullptr))
        return false;
    if (forEditing) {
        mAssignedSyllables = assigned;
        mUnassignedSyllables.clear();
    }
    return true;
}

bool ShuangPinController::LoadSpScheme(const QString &path)
{
    return loadScheme(path, mDisplayItems, false);
}

void ShuangPinController::showCurrentShuangPin(const QString &path)
{
    if (path.isEmpty())
        return;
    LoadSpScheme(path);
    for (const SpKeyItem &item : mDisplayItems)
        emit qmlKeyValueChanged(keyId(item), QString(QChar(item.key)),
                                QString::fromLatin1(item.consonant),
                                QString::fromLatin1(item.vowel1), QString::fromLatin1(item.vowel2));
}

bool ShuangPinController::LoadBaseSpScheme()
{
    S::resetItems(mEditItems);
    S::applyLetterRule(mEditItems, nullptr);
    mAssignedSyllables.clear();
    mUnassignedSyllables.clear();
    for (int row = 0; row < kBlankBaseSyllables; ++row)
        mUnassignedSyllables.push_back(QString::fromLatin1(S::syllable(row)));
    qmlShuangPinSchemeChange();
    return true;
}

bool ShuangPinController::BaseOnScheme(const QString &path)
{
    return loadScheme(path, mEditItems, true);
}

void ShuangPinController::showBaseOnShuangPin(const QString &path)
{
    if (path.isEmpty())
        return;
    BaseOnScheme(path);
    qmlShuangPinSchemeChange();
}

void ShuangPinController::qmlShuangPinSchemeChange()
{
    for (const SpKeyItem &item : mEditItems)
        emit qmlNewShuangPinSchemeValue(
            keyId(item), QString(QChar(item.key)), QString::fromLatin1(item.consonant),
            QString::fromLatin1(item.vowel1), QString::fromLatin1(item.vowel2));
}

QStringList ShuangPinController::getSyllablechoiceList(const QString &syllable, int &index)
{
    QStringList choices{QStringLiteral("-")};
    if (isCompoundConsonant(syllable)) {
        for (char key : {'A', 'E', 'I', 'U', 'V'}) {
            const SpKeyItem &item = mEditItems[S::keyIndex(key)];
            if (!item.consonant[0] || syllable == QLatin1String(item.consonant))
                choices << QString(QChar(key));
        }
    } else {
        for (const SpKeyItem &item : mEditItems) {
            if (std::strchr("AEIU", item.key))
                continue;
            if (!item.vowel1[0] || syllable == QLatin1String(item.vowel1))
                choices << QString(QChar(item.key));
            else if ((!item.vowel2[0] || syllable == QLatin1String(item.vowel2)) &&
                     !IsConflict(QString::fromLatin1(item.vowel1), syllable))
                choices << QString(QChar(item.key));
        }
    }
    FindKeyBySyllable(syllable, mCurrentKey);
    const QString current = QString(QChar(mCurrentKey));
    for (int i = 0; i < choices.size(); ++i) {
        if (choices.at(i) == current) {
            index = i;
            emit qmlShuangPinKeyBorderColor(choices.at(i), QStringLiteral("red"));
        }
    }
    return choices;
}

SpKeyItem *ShuangPinController::GetItemByKey(char key)
{
    const int index = S::keyIndex(key);
    return index < 0 ? nullptr : &mEditItems[index];
}

bool ShuangPinController::IsConflict(const QString &first, const QString &other) const
{
    const QByteArray firstName = first.toLatin1();
    const QByteArray otherName = other.toLatin1();
    const RestrictionItem *record = nullptr;
    for (const RestrictionItem &item : restrictionTable()) {
        if (firstName == item.name) {
            record = &item;
            break;
        }
    }
    if (!record) {
        // Every name the editor passes is in the table; anything else is a
        // programming error the product treats as fatal.
        qCDebug(lcConfigtool) << "pRestrictionItem == NULL";
        std::exit(1);
    }
    const bool listed = std::any_of(record->list.begin(), record->list.end(),
                                    [&otherName](const char *name) { return otherName == name; });
    return record->mode == 0 ? !listed : listed;
}

bool ShuangPinController::IsZeroConsonant(const QString &final) const
{
    return std::any_of(std::begin(kZeroConsonantFinals), std::end(kZeroConsonantFinals),
                       [&final](const char *name) { return final == QLatin1String(name); });
}

bool ShuangPinController::FindKeyBySyllable(const QString &syllable, char &key) const
{
    key = '-';
    for (const SpKeyItem &item : mEditItems) {
        if (syllable == QLatin1String(item.consonant) || syllable == QLatin1String(item.vowel1) ||
            syllable == QLatin1String(item.vowel2)) {
            key = item.key;
            break;
        }
    }
    return true;
}

bool ShuangPinController::IsFinishSpScheme() const
{
    return mUnassignedSyllables.empty() ||
           (mUnassignedSyllables.size() == 1 && mUnassignedSyllables.front() == "ve");
}

bool ShuangPinController::RemoveSyllable(const QString &syllable)
{
    char key = '-';
    FindKeyBySyllable(syllable, key);
    if (key == '-')
        return false;
    SpKeyItem &item = mEditItems[S::keyIndex(key)];
    if (syllable == QLatin1String(item.consonant)) {
        S::setText(item.consonant, "");
    } else if (syllable == QLatin1String(item.vowel1)) {
        S::setText(item.vowel1, item.vowel2);
        S::setText(item.vowel2, "");
    } else if (syllable == QLatin1String(item.vowel2)) {
        S::setText(item.vowel2, "");
    }
    removeAll(mAssignedSyllables, syllable);
    appendOnce(mUnassignedSyllables, syllable);
    return true;
}

bool ShuangPinController::AddSyllableOnKey(const QString &syllable, char key)
{
    SpKeyItem *item = GetItemByKey(key);
    if (!item)
        return false;
    const QByteArray name = syllable.toLatin1();
    if (isCompoundConsonant(syllable)) {
        if (item->consonant[0])
            return false;
        S::setText(item->consonant, name.constData());
    } else {
        S::addFinal(*item, name.constData());
    }
    removeAll(mUnassignedSyllables, syllable);
    appendOnce(mAssignedSyllables, syllable);
    return true;
}

void ShuangPinController::currentSyllableKeyChange(const QString &syllable, char key)
{
    if (key == '-')
        return;
    RemoveSyllable(syllable);
    if (!AddSyllableOnKey(syllable, key))
        return;
    qmlShuangPinSchemeChange();
    emit qmlShuangPinKeyBorderColor(QString(QChar(key)), QStringLiteral("red"));
}

void ShuangPinController::removeCurrentChoiceSyllable(const QString &syllable)
{
    if (RemoveSyllable(syllable))
        qmlShuangPinSchemeChange();
}

bool ShuangPinController::keepNewSpScheme(const QString &title, const QString &fileName)
{
    if (!IsFinishSpScheme())
        return false;
    mCurrentSchemeName = title;
    const QByteArray path = QFile::encodeName(localShuangPinPath() + fileName);
    new_ini_dictionary();
    setIniGroupName("metadata");
    setIniValue("metadata:title", title.toUtf8().constData());
    SaveSpScheme();
    saveIniFile(path.constData());
    return true;
}

bool ShuangPinController::SaveSpScheme()
{
    SaveSpSchemeZeroConsonant();
    SaveSpSchemeNormal();
    return true;
}

namespace
{
void writeEntry(const char *group, const char *name, const QByteArray &value)
{
    setIniGroupName(group);
    const QByteArray key = QByteArray(group) + ':' + name;
    setIniValue(key.constData(), value.constData());
}
} // namespace

bool ShuangPinController::SaveSpSchemeZeroConsonant()
{
    for (const SpKeyItem &item : mEditItems) {
        for (const char *final : {item.vowel1, item.vowel2}) {
            if (final[0] && IsZeroConsonant(QString::fromLatin1(final)))
                writeEntry("零声母音节的韵母", final, QByteArray("O") + item.key);
        }
    }
    return true;
}

bool ShuangPinController::SaveSpSchemeNormal()
{
    for (const SpKeyItem &item : mEditItems) {
        if (isCompoundConsonant(QString::fromLatin1(item.consonant)))
            writeEntry("声母", item.consonant, QByteArray(1, item.key));
        for (const char *final : {item.vowel1, item.vowel2}) {
            if (final[0])
                writeEntry("韵母", final, QByteArray(1, item.key));
        }
    }
    return true;
}
