#pragma once

#include "EngineSettings.h"

#include <QByteArray>
#include <QStringList>

// Writes the Rime schema the engine types with, and the patch of Rime's
// default configuration that makes it the only schema.
class RimeSchema
{
public:
    static const char *schemaId() { return "kaiwo"; }
    // The schema that builds the cell dictionaries' words for the main one.
    static const char *cellsSchemaId() { return "kaiwo_cells"; }
    static QByteArray cellsSchemaYaml(const QStringList &algebra);

    static QByteArray schemaYaml(const EngineSettings &settings, const QStringList &algebra);
    static QByteArray defaultPatchYaml(const EngineSettings &settings);
    // Spellings typed with ';' need it in the speller's alphabet.
    static QString alphabet(const QStringList &algebra);
    static QString spellerYaml(const QStringList &algebra);
};
