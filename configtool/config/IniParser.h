#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

// In-memory INI document over byte strings, used to read double-pinyin
// scheme files. Names are ordered byte-wise, not in file order.
namespace n_kwxx
{

// Line rules of the document; bytes above 127 are ordinary characters.
namespace utils
{
std::string LeftTrim(const std::string &s);
std::string RightTrim(const std::string &s);
std::string Trim(const std::string &s);
bool IsEmptyLine(const std::string &s);
bool IsComment(const std::string &s);
bool IsSection(const std::string &s);
std::string ParseSection(const std::string &s);
bool IsOption(const std::string &s);
std::pair<std::string, std::string> ParseOption(const std::string &s);
std::string CreateSection(const std::string &name);
std::string CreateOption(const std::string &key, const std::string &value);
} // namespace utils

class t_iniParser
{
public:
    t_iniParser();
    explicit t_iniParser(const std::string &path);
    ~t_iniParser();

    // Replaces the content with the file's; false when it cannot be opened
    // or a section header repeats (what came before stays loaded).
    bool Parser(const std::string &path);
    bool Save(const std::string &path) const;

    bool HasSection(const std::string &section) const;
    bool HasOption(const std::string &section, const std::string &key) const;
    bool ValidateSection(const std::string &section) const;
    bool ValidateOption(const std::string &section, const std::string &key) const;

    bool AddSection(const std::string &section);
    bool AddOption(const std::string &section, const std::string &key, const std::string &value);
    void SetOption(const std::string &section, const std::string &key, const std::string &value);
    // Missing entries give "" and are not created.
    std::string GetOption(const std::string &section, const std::string &key) const;
    void RemoveSection(const std::string &section);
    void RemoveOption(const std::string &section, const std::string &key);
    std::vector<std::string> Sections() const;
    std::vector<std::string> Options(const std::string &section) const;

    std::string GetKeyValueStr(const std::string &section, const std::string &key,
                               const std::string &def) const;
    int GetKeyValueInt(const std::string &section, const std::string &key, int def) const;
    unsigned long long GetKeyValueUlonglong(const std::string &section, const std::string &key,
                                            unsigned long long def) const;
    double GetKeyValueDouble(const std::string &section, const std::string &key, double def) const;

    void SetKeyValue(const std::string &section, const std::string &key, int value);
    void SetKeyValue(const std::string &section, const std::string &key, unsigned long long value);
    void SetKeyValue(const std::string &section, const std::string &key, double value);
    void SetKeyValue(const std::string &section, const std::string &key, const std::string &value);

private:
    std::map<std::string, std::map<std::string, std::string>> mSections;
};

} // namespace n_kwxx
