#pragma once

// Plain-function access to INI files other than env.ini, over iniparser.
// Keys have the form "section:key". Files are written in the tool's own
// unpadded layout, replaced atomically. Not re-entrant: the document slot
// and the result buffer are process-wide.

const char *getCfgValueString(const char *path, const char *key, const char *defaultValue);
bool getCfgValueBool(const char *path, const char *key, bool defaultValue);
void setCfgValueString(const char *path, const char *key, const char *value);
void setIniValueString(const char *fileName, const char *key, const char *value);
const char *getIniValueString(const char *path, const char *key, const char *defaultValue);

int new_ini_dictionary();
void setIniGroupName(const char *group);
void setIniValue(const char *key, const char *value);
void saveIniFile(const char *path);
