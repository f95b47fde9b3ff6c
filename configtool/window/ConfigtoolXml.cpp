#include "ConfigtoolXml.h"
#include "app/Logging.h"

#include <QFile>
#include <QXmlStreamReader>

namespace
{

const char *const kElements[kSettingsCategoryCount] = {
    "General", "Appearance", "Thesaurus", "Advance", "Pinyin", "Wubi", "About",
};

int categoryOf(const QStringRef &name)
{
    for (int i = 0; i < kSettingsCategoryCount; ++i) {
        if (name == QLatin1String(kElements[i]))
            return i;
    }
    return -1;
}

void readCategories(QXmlStreamReader &xml, CategoryFlags &flags)
{
    while (xml.readNextStartElement()) {
        qCDebug(lcConfigtool) << "xml.name" << xml.name();
        const int category = categoryOf(xml.name());
        if (category < 0) {
            xml.skipCurrentElement();
            continue;
        }
        const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements);
        flags[category] = text.toInt(nullptr, 10) != 0;
    }
}

} // namespace

const char *ConfigtoolXml::elementName(SettingsCategory category)
{
    return kElements[categoryIndex(category)];
}

CategoryFlags ConfigtoolXml::read(const QString &path)
{
    CategoryFlags flags{};
    QFile file(path);
    file.open(QIODevice::ReadOnly | QIODevice::Text);
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement()) {
        qCDebug(lcConfigtool) << "-------error";
        xml.raiseError(QStringLiteral("the file is not an xbel version of file"));
    } else {
        qCDebug(lcConfigtool) << "----start-----";
        if (xml.name() == QLatin1String("Configtool"))
            readCategories(xml, flags);
    }
    if (xml.hasError())
        qCDebug(lcConfigtool) << file.errorString() << xml.errorString();
    return flags;
}
