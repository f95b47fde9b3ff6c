#pragma once

#include "SettingsCategory.h"

#include <QString>

// Reads the page list file: which categories the settings window shows.
// Anything unreadable enables nothing; flags set before an error stand.
class ConfigtoolXml
{
public:
    static CategoryFlags read(const QString &path);
    static const char *elementName(SettingsCategory category);
};
