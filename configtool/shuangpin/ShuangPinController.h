#pragma once

#include "ShuangPinScheme.h"

#include <QColor>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

// Model of the double-pinyin schemes: the list of installed and per-user
// scheme files, the scheme shown in the selection dialog (display table) and
// the scheme being built in the editor (edit table). Process-wide singleton.
class ShuangPinController : public QObject
{
    Q_OBJECT

public:
    static const int KeyCount = ShuangPinScheme::KeyCount;

    static ShuangPinController *self();

    Q_INVOKABLE QColor backColor() const { return mBackColor; }
    void setBackColor(const QColor &color) { mBackColor = color; }

    void loadShuangPinConf();
    void loadLocalShuangPinConf();
    void loadSysShuangPinConf();
    static QString localPath();
    static QString localShuangPinPath();
    static QString ShuangPinInstallPath();

    bool LoadSpScheme(const QString &path);
    void showCurrentShuangPin(const QString &path);
    bool LoadBaseSpScheme();
    bool BaseOnScheme(const QString &path);
    void showBaseOnShuangPin(const QString &path);
    void qmlShuangPinSchemeChange();

    QStringList getSyllablechoiceList(const QString &syllable, int &index);
    SpKeyItem *GetItemByKey(char key);
    bool IsConflict(const QString &first, const QString &other) const;
    bool IsZeroConsonant(const QString &final) const;
    bool FindKeyBySyllable(const QString &syllable, char &key) const;
    bool IsFinishSpScheme() const;
    bool RemoveSyllable(const QString &syllable);
    bool AddSyllableOnKey(const QString &syllable, char key);
    void currentSyllableKeyChange(const QString &syllable, char key);
    void removeCurrentChoiceSyllable(const QString &syllable);
    bool keepNewSpScheme(const QString &title, const QString &fileName);
    bool SaveSpScheme();
    bool SaveSpSchemeZeroConsonant();
    bool SaveSpSchemeNormal();

    // Read access for the views' owners and the tests.
    const SpKeyItem &displayItem(int index) const { return mDisplayItems[index]; }
    const SpKeyItem &editItem(int index) const { return mEditItems[index]; }
    char currentKey() const { return mCurrentKey; }
    const std::vector<QString> &assignedSyllables() const { return mAssignedSyllables; }
    const std::vector<QString> &unassignedSyllables() const { return mUnassignedSyllables; }

signals:
    void qmlKeyValueChanged(QString id, QString key, QString consonant, QString vowel1,
                            QString vowel2);
    void qmlNewShuangPinSchemeValue(QString id, QString key, QString consonant, QString vowel1,
                                    QString vowel2);
    void qmlShuangPinKeyBorderColor(QString id, QString color);

public:
    // Read by the scheme dialogs: title -> file, titles in list order, and
    // the title saved last.
    QMap<QString, QString> mSchemeFiles;
    QStringList mSchemeTitles;
    QString mCurrentSchemeName;

private:
    ShuangPinController();
    bool loadScheme(const QString &path, SpKeyItem *items, bool forEditing);
    void loadSchemeDirectory(const QString &directory, bool perUser);

    SpKeyItem mDisplayItems[KeyCount];
    SpKeyItem mEditItems[KeyCount];
    char mCurrentKey = '-';
    std::vector<QString> mAssignedSyllables;
    std::vector<QString> mUnassignedSyllables;
    QColor mBackColor;
};
