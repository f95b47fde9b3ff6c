#include "SettingsTable.h"
#include "config/SettingsStore.h"

#include <QAbstractButton>

void SettingsTable::addCheckBox(const QString &key, int defaultValue, QAbstractButton *box,
                                bool inverted)
{
    addCustom(
        key, defaultValue,
        [=](const QVariant &stored) { box->setChecked((stored.toInt() != 0) != inverted); },
        [=] { return QVariant(box->isChecked() != inverted ? 1 : 0); });
}

void SettingsTable::addRadioPair(const QString &key, int defaultValue, QAbstractButton *whenSet,
                                 QAbstractButton *whenClear)
{
    addCustom(
        key, defaultValue,
        [=](const QVariant &stored) {
            const bool set = stored.toInt() != 0;
            // Checking one button of an exclusive group clears the other.
            (set ? whenClear : whenSet)->setChecked(false);
            (set ? whenSet : whenClear)->setChecked(true);
        },
        [=] { return QVariant(whenSet->isChecked() ? 1 : 0); });
}

void SettingsTable::addCustom(const QString &key, const QVariant &defaultValue, Show show,
                              Take take)
{
    mEntries.push_back({key, defaultValue, std::move(show), std::move(take)});
}

void SettingsTable::load(CON_TPYE mode) const
{
    SettingsReader reader(mode);
    if (!reader.isValid())
        return;
    for (const Entry &entry : mEntries)
        entry.show(reader.value(entry.key, entry.defaultValue));
}

void SettingsTable::save() const
{
    SettingsWriter writer;
    if (!writer.isValid())
        return;
    for (const Entry &entry : mEntries) {
        if (entry.take)
            writer.setValue(entry.key, entry.take());
    }
}
