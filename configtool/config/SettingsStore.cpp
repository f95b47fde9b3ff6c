#include "SettingsStore.h"

#include <QSettings>

#include <utility>

namespace
{

const char kGroup[] = "Setting";

QSettings *userSettings = nullptr;
QSettings *defaultSettings = nullptr;
std::function<void()> beforeWrite;

} // namespace

void SettingsStore::attach(QSettings *user, QSettings *defaults,
                           std::function<void()> beforeFirstWrite)
{
    userSettings = user;
    defaultSettings = defaults;
    beforeWrite = std::move(beforeFirstWrite);
}

QSettings *SettingsStore::settings(CON_TPYE mode)
{
    return mode == CON_DEFAULT ? defaultSettings : userSettings;
}

SettingsReader::SettingsReader(CON_TPYE mode) : SettingsReader(SettingsStore::settings(mode)) {}

SettingsReader::SettingsReader(QSettings *settings) : mSettings(settings)
{
    if (mSettings)
        mSettings->beginGroup(QLatin1String(kGroup));
}

SettingsReader::~SettingsReader()
{
    if (mSettings)
        mSettings->endGroup();
}

QVariant SettingsReader::value(const QString &key, const QVariant &defaultValue) const
{
    return mSettings ? mSettings->value(key, defaultValue) : defaultValue;
}

int SettingsReader::intValue(const QString &key, int defaultValue) const
{
    // Text that is no number reads as 0; the default is only for an absent key.
    return value(key, defaultValue).toInt();
}

bool SettingsReader::boolValue(const QString &key, bool defaultValue) const
{
    return value(key, defaultValue).toBool();
}

QString SettingsReader::stringValue(const QString &key, const QString &defaultValue) const
{
    return value(key, defaultValue).toString();
}

SettingsWriter::SettingsWriter()
{
    // It may attach other objects.
    if (beforeWrite)
        std::exchange(beforeWrite, nullptr)();
    mSettings = SettingsStore::settings(CON_CURRENT);
    if (mSettings)
        mSettings->beginGroup(QLatin1String(kGroup));
}

SettingsWriter::~SettingsWriter()
{
    if (!mSettings)
        return;
    mSettings->endGroup();
    mSettings->sync();
}

void SettingsWriter::setValue(const QString &key, const QVariant &value)
{
    if (mSettings)
        mSettings->setValue(key, value);
}
