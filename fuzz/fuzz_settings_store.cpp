// env.ini as the settings store reads it (IniSafety's guard, then QSettings
// through SettingsReader and SettingsWriter) and as the plain INI helpers
// (iniparser) read and rewrite it.

#include "FuzzSupport.h"
#include "config/IniHelpers.h"
#include "config/IniSafety.h"
#include "config/SettingsStore.h"

#include <QSettings>
#include <QStringList>

namespace
{

// What QSettings makes of INI text other than "@Variant(" and "@DateTime(".
bool plainValue(const QVariant &value)
{
    switch (int(value.type())) {
    case QVariant::Invalid:
    case QVariant::String:
    case QVariant::StringList:
    case QVariant::ByteArray:
    case QVariant::Rect:
    case QVariant::Size:
    case QVariant::Point:
        return true;
    case QVariant::List:
        for (const QVariant &element : value.toList()) {
            if (!plainValue(element))
                return false;
        }
        return true;
    default:
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzz::startQt(argc, argv, fuzz::App::Gui);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string input = fuzz::tempDir() + "/env.ini";
    fuzz::writeFile(input, data, size);
    const QString path = QString::fromStdString(input);

    // A few keys the pages read, and every key the file has.
    QStringList keys{QStringLiteral("ShowMinimizedType"), QStringLiteral("PageSize"),
                     QStringLiteral("FontCh"), QStringLiteral("ColorPinyin"),
                     QStringLiteral("QuanPin")};
    // As the controller opens the user's env.ini: values QSettings would
    // read as objects taken out first (they abort Qt 5 when damaged).
    if (IniSafety::makeSafe(path)) {
        fuzz::stamp(input);
        QSettings settings(path, QSettings::IniFormat);
        settings.setIniCodec("UTF-8");
        // What the guard lets through reads as text, never as an object.
        for (const QString &key : settings.allKeys()) {
            if (!plainValue(settings.value(key)))
                fuzz::fail("a value read as an object passed the guard");
        }
        SettingsStore::attach(&settings, &settings);
        {
            const SettingsReader reader(CON_CURRENT);
            settings.beginGroup(QStringLiteral("Setting"));
            keys += settings.childKeys();
            settings.endGroup();
            for (const QString &key : keys) {
                reader.intValue(key, 1);
                reader.boolValue(key, true);
                reader.stringValue(key, QStringLiteral("x"));
            }
        }
        {
            SettingsWriter writer;
            writer.setValue(QStringLiteral("PageSize"), 7);
        }
        SettingsStore::attach(nullptr, nullptr);
    }

    // The original bytes again, through the INI helpers.
    fuzz::writeFile(input, data, size);
    for (const QString &key : keys.mid(0, 64)) {
        const QByteArray iniKey = "setting:" + key.toUtf8();
        getCfgValueString(input.c_str(), iniKey.constData(), "d");
        getCfgValueBool(input.c_str(), iniKey.constData(), true);
    }
    setCfgValueString(input.c_str(), "setting:pagesize", "9");
    getIniValueString(input.c_str(), "setting:pagesize", "5");
    return 0;
}
