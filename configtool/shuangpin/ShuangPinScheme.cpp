#include "ShuangPinScheme.h"

#include "config/IniParser.h"

#include <QFile>
#include <QStringList>

#include <cstring>

namespace
{

struct SyllableRow {
    const char *syllable;
    char defaultKey;
};

const SyllableRow kSyllables[] = {
    {"zh", 'V'},   {"ch", 'I'},   {"sh", 'U'},  {"ai", 'L'},  {"an", 'J'}, {"ang", 'H'},
    {"ao", 'K'},   {"ei", 'Z'},   {"en", 'F'},  {"eng", 'G'}, {"er", '-'}, {"ia", 'W'},
    {"ian", 'M'},  {"iang", 'D'}, {"iao", 'C'}, {"ie", 'X'},  {"in", 'N'}, {"ing", ';'},
    {"iong", 'S'}, {"iu", 'Q'},   {"ong", 'S'}, {"ou", 'B'},  {"ua", 'W'}, {"uai", 'Y'},
    {"uan", 'R'},  {"uang", 'D'}, {"ue", 'T'},  {"ui", 'V'},  {"un", 'P'}, {"uo", 'O'},
    {"v", 'Y'},    {"ve", 'T'},   {"van", '-'}, {"vn", '-'},
};

const std::string kConsonantSection = "声母";
const std::string kFinalSection = "韵母";
const std::string kZeroConsonantSection = "零声母音节的韵母";

bool parse(const QString &path, n_kwxx::t_iniParser *document)
{
    return document->Parser(QFile::encodeName(path).toStdString());
}

} // namespace

int ShuangPinScheme::syllableCount()
{
    return int(sizeof(kSyllables) / sizeof(kSyllables[0]));
}

const char *ShuangPinScheme::syllable(int row)
{
    return kSyllables[row].syllable;
}

char ShuangPinScheme::defaultKey(int row)
{
    return kSyllables[row].defaultKey;
}

int ShuangPinScheme::keyIndex(char key)
{
    if (key == ';')
        return 26;
    if (key >= 'A' && key <= 'Z')
        return key - 'A';
    if (key >= 'a' && key <= 'z')
        return key - 'a';
    return -1;
}

char ShuangPinScheme::keyOfIndex(int index)
{
    return index == 26 ? ';' : char('A' + index);
}

void ShuangPinScheme::setText(char (&field)[10], const char *text)
{
    std::memset(field, 0, sizeof(field));
    std::strncpy(field, text, sizeof(field) - 1);
}

void ShuangPinScheme::resetItems(SpKeyItem *items)
{
    std::memset(items, 0, sizeof(SpKeyItem) * KeyCount);
    for (int i = 0; i < KeyCount; ++i)
        items[i].key = keyOfIndex(i);
}

bool ShuangPinScheme::addFinal(SpKeyItem &item, const char *final)
{
    if (!item.vowel1[0])
        setText(item.vowel1, final);
    else if (!item.vowel2[0])
        setText(item.vowel2, final);
    else
        return false;
    return true;
}

void ShuangPinScheme::applyLetterRule(SpKeyItem *items, std::vector<QString> *assigned)
{
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        if (letter == 'v')
            continue;
        SpKeyItem &item = items[letter - 'a'];
        const char name[2] = {letter, 0};
        if (!item.consonant[0] && !std::strchr("aeiou", letter)) {
            setText(item.consonant, name);
            if (assigned)
                assigned->push_back(QString::fromLatin1(name));
        } else {
            addFinal(item, name);
        }
    }
}

bool ShuangPinScheme::loadKeyTable(const QString &path, SpKeyItem *items,
                                   std::vector<QString> *assigned)
{
    n_kwxx::t_iniParser document;
    if (!parse(path, &document))
        return false;
    resetItems(items);
    for (int row : {1, 2, 0}) { // ch, sh, zh
        const char *name = kSyllables[row].syllable;
        const std::string value = document.GetKeyValueStr(
            kConsonantSection, name, std::string(1, kSyllables[row].defaultKey));
        if (value.empty() || value[0] < 'A' || value[0] > 'Z')
            continue;
        setText(items[keyIndex(value[0])].consonant, name);
        if (assigned)
            assigned->push_back(QString::fromLatin1(name));
    }
    const std::string empty = document.GetKeyValueStr(kConsonantSection, "empty", "O");
    if (!empty.empty() && empty[0] >= 'A' && empty[0] <= 'Z')
        setText(items[keyIndex(empty[0])].consonant, " ");
    applyLetterRule(items, assigned);
    for (int row = firstFinalRow(); row < syllableCount(); ++row) {
        const char *final = kSyllables[row].syllable;
        const std::string value = document.GetKeyValueStr(
            kFinalSection, final,
            assigned ? std::string(final) : std::string(1, kSyllables[row].defaultKey));
        if (value.empty() || value[0] == '-')
            continue;
        const int index = keyIndex(value[0]);
        if (index < 0)
            continue;
        if (addFinal(items[index], final) && assigned)
            assigned->push_back(QString::fromLatin1(final));
    }
    return true;
}

QMap<QString, QString> ShuangPinScheme::zeroConsonantCodes(const QString &path)
{
    QMap<QString, QString> codes;
    n_kwxx::t_iniParser document;
    if (!parse(path, &document))
        return codes;
    for (const std::string &final : document.Options(kZeroConsonantSection)) {
        const std::string code = document.GetOption(kZeroConsonantSection, final);
        codes.insert(QString::fromStdString(final), QString::fromStdString(code));
    }
    return codes;
}

QStringList ShuangPinScheme::missingSyllables(const QString &path)
{
    QStringList missing;
    n_kwxx::t_iniParser document;
    if (!parse(path, &document))
        return missing;
    for (int row = 0; row < syllableCount(); ++row) {
        const char *name = kSyllables[row].syllable;
        const std::string &section = row < firstFinalRow() ? kConsonantSection : kFinalSection;
        // "er", "van" and "vn" are optional: most schemes type them otherwise.
        if (std::strcmp(name, "er") == 0 || name[0] == 'v')
            continue;
        if (!document.HasOption(section, name))
            missing << QString::fromLatin1(name);
    }
    return missing;
}
