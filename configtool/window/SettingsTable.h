#pragma once

#include "config/ConfigType.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

class QAbstractButton;

// One page's keys of group "Setting": the key, the default written in the
// code, and how a widget shows it. Load and save walk the table in its
// order, so the order of the add calls is the order on disk; a new key is
// one line. The default is for an absent key: stored text that is no number
// reads as 0, like the IME service reads it.
class SettingsTable
{
public:
    using Show = std::function<void(const QVariant &stored)>;
    using Take = std::function<QVariant()>;

    // Checked when the stored value is non-zero; inverted: when it is zero.
    void addCheckBox(const QString &key, int defaultValue, QAbstractButton *box,
                     bool inverted = false);
    // Two exclusive buttons: whenSet is checked for a non-zero value,
    // whenClear for zero. Saves 1 when whenSet is checked.
    void addRadioPair(const QString &key, int defaultValue, QAbstractButton *whenSet,
                      QAbstractButton *whenClear);
    // Anything else. A null take makes the key read-only: loaded, never saved.
    void addCustom(const QString &key, const QVariant &defaultValue, Show show, Take take);

    // Shows every key from the env.ini of the mode; without a store nothing
    // changes.
    void load(CON_TPYE mode) const;
    // Writes every key to the user's env.ini and syncs the file.
    void save() const;

private:
    struct Entry {
        QString key;
        QVariant defaultValue;
        Show show;
        Take take;
    };
    std::vector<Entry> mEntries;
};
