#pragma once

#include "ConfigType.h"

#include <QString>
#include <QVariant>

#include <functional>

class QSettings;

// The two env.ini objects the pages read and write. The controller owns
// them and attaches them here once they are open.
class SettingsStore
{
public:
    // beforeFirstWrite runs once, when the first SettingsWriter is made.
    static void attach(QSettings *user, QSettings *defaults,
                       std::function<void()> beforeFirstWrite = {});
    static QSettings *settings(CON_TPYE mode);
};

// Reads group "Setting" of the env.ini chosen by a load mode. Every read
// falls back to the default the caller passes; with no settings object
// (controller not initialised) every read is that default.
class SettingsReader
{
public:
    explicit SettingsReader(CON_TPYE mode);
    explicit SettingsReader(QSettings *settings);
    ~SettingsReader();
    SettingsReader(const SettingsReader &) = delete;
    SettingsReader &operator=(const SettingsReader &) = delete;

    bool isValid() const { return mSettings != nullptr; }
    QVariant value(const QString &key, const QVariant &defaultValue) const;
    int intValue(const QString &key, int defaultValue) const;
    bool boolValue(const QString &key, bool defaultValue) const;
    QString stringValue(const QString &key, const QString &defaultValue) const;

private:
    QSettings *mSettings;
};

// Writes group "Setting" of the user's env.ini and syncs the file to disk
// when it goes out of scope, so the service never reads a partial save.
class SettingsWriter
{
public:
    SettingsWriter();
    ~SettingsWriter();
    SettingsWriter(const SettingsWriter &) = delete;
    SettingsWriter &operator=(const SettingsWriter &) = delete;

    bool isValid() const { return mSettings != nullptr; }
    void setValue(const QString &key, const QVariant &value);

private:
    QSettings *mSettings = nullptr;
};
