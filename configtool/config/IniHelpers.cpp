#include "IniHelpers.h"
#include "config/AtomicFile.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <iniparser/iniparser.h>
}

namespace
{

dictionary *new_ini = nullptr;
char valueBuffer[128];

dictionary *ini_new_dictionary()
{
    return dictionary_new(0);
}

int ini_begin_group(dictionary *document, const char *group)
{
    return dictionary_set(document, group, nullptr);
}

int ini_set_value(dictionary *document, const char *key, const char *value)
{
    // The section must exist for the entry to be written out.
    const char *colon = std::strchr(key, ':');
    if (colon) {
        const QByteArray section(key, int(colon - key));
        if (!dictionary_get(document, section.constData(), nullptr) &&
            dictionary_set(document, section.constData(), nullptr) != 0)
            return -1;
    }
    return dictionary_set(document, key, value);
}

bool isSection(const char *key)
{
    return key && !std::strchr(key, ':');
}

// The layout the service and the scheme files expect, byte for byte:
// "\n[section]\nkey=value\n...\n" per section, then one more "\n".
QByteArray layout(const dictionary *document)
{
    QByteArray text;
    for (ssize_t s = 0; s < document->size; ++s) {
        const char *section = document->key[s];
        if (!isSection(section))
            continue;
        const size_t prefixLength = std::strlen(section);
        text += '\n';
        text += '[';
        text += section;
        text += "]\n";
        for (ssize_t e = 0; e < document->size; ++e) {
            const char *key = document->key[e];
            if (!key || std::strncmp(key, section, prefixLength) != 0 || key[prefixLength] != ':')
                continue;
            text += key + prefixLength + 1;
            text += '=';
            text += document->val[e] ? document->val[e] : "";
            text += '\n';
        }
        text += '\n';
    }
    text += '\n';
    return text;
}

bool ini_save(const dictionary *document, const char *path)
{
    switch (writeFileAtomically(path, layout(document))) {
    case AtomicWriteResult::CannotOpen:
        fprintf(stderr, "iniparser: cannot open %s\n", path);
        return false;
    case AtomicWriteResult::WriteFailed:
        return false;
    case AtomicWriteResult::Written:
        break;
    }
    return true;
}

} // namespace

const char *getCfgValueString(const char *path, const char *key, const char *defaultValue)
{
    dictionary *ini = iniparser_load(path);
    if (!ini)
        return defaultValue;
    const char *result = defaultValue;
    const char *found = iniparser_getstring(ini, key, nullptr);
    if (found) {
        // Longer values are cut at a character boundary so the buffer always
        // holds valid UTF-8.
        size_t length = std::strlen(found);
        if (length >= sizeof(valueBuffer)) {
            length = sizeof(valueBuffer) - 1;
            while (length > 0 && (static_cast<unsigned char>(found[length]) & 0xc0) == 0x80)
                --length;
        }
        std::memcpy(valueBuffer, found, length);
        valueBuffer[length] = '\0';
        result = valueBuffer;
    }
    iniparser_freedict(ini);
    return result;
}

bool getCfgValueBool(const char *path, const char *key, bool defaultValue)
{
    dictionary *ini = iniparser_load(path);
    if (!ini)
        return defaultValue;
    const bool result = iniparser_getboolean(ini, key, defaultValue ? 1 : 0) != 0;
    iniparser_freedict(ini);
    return result;
}

void setCfgValueString(const char *path, const char *key, const char *value)
{
    dictionary *ini = iniparser_load(path);
    if (!ini)
        return;
    // iniparser keeps loaded keys in lower case, ASCII letters only.
    QByteArray lowered(key);
    for (char &c : lowered)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    ini_set_value(ini, lowered.constData(), value);
    ini_save(ini, path);
    iniparser_freedict(ini);
}

void setIniValueString(const char *fileName, const char *key, const char *value)
{
    char path[512];
    const char *home = getenv("HOME");
    std::snprintf(path, sizeof(path), "%s/.config/KaiwoPY/%s", home ? home : "", fileName);
    setCfgValueString(path, key, value);
}

const char *getIniValueString(const char *path, const char *key, const char *defaultValue)
{
    return getCfgValueString(path, key, defaultValue);
}

int new_ini_dictionary()
{
    if (new_ini)
        dictionary_del(new_ini);
    new_ini = ini_new_dictionary();
    if (!new_ini) {
        fprintf(stderr, "dictionary_new fail \n");
        return -1;
    }
    return 0;
}

void setIniGroupName(const char *group)
{
    if (new_ini)
        ini_begin_group(new_ini, group);
}

void setIniValue(const char *key, const char *value)
{
    if (!new_ini || ini_set_value(new_ini, key, value) != 0) {
        printf("setCfgValue error-------key_c=%s\n", key ? key : "");
        printf("setCfgValue error-------value_c=%s\n", value ? value : "");
    }
}

void saveIniFile(const char *path)
{
    if (!new_ini)
        return;
    if (!ini_save(new_ini, path))
        return;
    dictionary_del(new_ini);
    new_ini = nullptr;
}
