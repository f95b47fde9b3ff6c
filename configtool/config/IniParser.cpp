#include "IniParser.h"
#include "config/AtomicFile.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <locale.h>
#include <locale>
#include <sstream>
#include <stdlib.h>

namespace
{

int baseOf(const std::string &text)
{
    return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') ? 16 : 10;
}

// Decimal text only: strtod alone would also take hex, "inf" and "nan", and
// follows the process locale, which may use ',' as decimal point.
double toDouble(const std::string &text)
{
    std::string::size_type start = text.find_first_not_of(" \f\n\r\t\v");
    if (start != std::string::npos && (text[start] == '+' || text[start] == '-'))
        ++start;
    if (start == std::string::npos || start >= text.size() ||
        !(std::isdigit(static_cast<unsigned char>(text[start])) || text[start] == '.'))
        return 0;
    if (text.compare(start, 2, "0x") == 0 || text.compare(start, 2, "0X") == 0)
        return 0;
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t());
    return strtod_l(text.c_str(), nullptr, cLocale);
}

} // namespace

namespace n_kwxx
{
namespace utils
{

namespace
{
const char kWhitespace[] = " \f\n\r\t\v";
} // namespace

std::string LeftTrim(const std::string &s)
{
    const std::string::size_type first = s.find_first_not_of(kWhitespace);
    return first == std::string::npos ? std::string() : s.substr(first);
}

std::string RightTrim(const std::string &s)
{
    const std::string::size_type last = s.find_last_not_of(kWhitespace);
    return last == std::string::npos ? std::string() : s.substr(0, last + 1);
}

std::string Trim(const std::string &s)
{
    return RightTrim(LeftTrim(s));
}

bool IsEmptyLine(const std::string &s)
{
    return LeftTrim(s).empty();
}

bool IsComment(const std::string &s)
{
    const std::string t = LeftTrim(s);
    return !t.empty() && t[0] == ';';
}

bool IsSection(const std::string &s)
{
    const std::string t = Trim(s);
    // A lone "[" is not both an opening and a closing bracket.
    return t.size() >= 2 && t.front() == '[' && t.back() == ']';
}

std::string ParseSection(const std::string &s)
{
    const std::string t = Trim(s);
    return t.size() >= 2 ? t.substr(1, t.size() - 2) : std::string();
}

bool IsOption(const std::string &s)
{
    const std::string t = Trim(s);
    const std::string::size_type equals = t.find('=');
    return equals != std::string::npos && !Trim(t.substr(0, equals)).empty();
}

std::pair<std::string, std::string> ParseOption(const std::string &s)
{
    const std::string t = Trim(s);
    const std::string::size_type equals = t.find('=');
    if (equals == std::string::npos)
        return {Trim(t), std::string()};
    return {Trim(t.substr(0, equals)), Trim(t.substr(equals + 1))};
}

std::string CreateSection(const std::string &name)
{
    return "[" + name + "]";
}

std::string CreateOption(const std::string &key, const std::string &value)
{
    return key + "=" + value;
}

} // namespace utils

t_iniParser::t_iniParser() = default;

t_iniParser::t_iniParser(const std::string &path)
{
    Parser(path);
}

t_iniParser::~t_iniParser() = default;

bool t_iniParser::Parser(const std::string &path)
{
    mSections.clear();
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in.is_open())
        return false;
    std::string section;
    std::string line;
    while (std::getline(in, line)) {
        if (utils::IsEmptyLine(line) || utils::IsComment(line))
            continue;
        if (utils::IsSection(line)) {
            section = utils::ParseSection(line);
            if (!AddSection(section))
                return false;
        } else if (utils::IsOption(line)) {
            const std::pair<std::string, std::string> option = utils::ParseOption(line);
            AddOption(section, option.first, option.second);
        }
    }
    return true;
}

bool t_iniParser::Save(const std::string &path) const
{
    std::string text;
    for (const auto &section : mSections) {
        text += utils::CreateSection(section.first) + '\n';
        for (const auto &option : section.second)
            text += utils::CreateOption(option.first, option.second) + '\n';
        text += '\n';
    }
    // Through a temporary file: a failed save leaves the old document whole.
    return writeFileAtomically(path.c_str(), QByteArray::fromStdString(text)) ==
           AtomicWriteResult::Written;
}

bool t_iniParser::HasSection(const std::string &section) const
{
    return mSections.count(section) != 0;
}

bool t_iniParser::HasOption(const std::string &section, const std::string &key) const
{
    const auto found = mSections.find(section);
    return found != mSections.end() && found->second.count(key) != 0;
}

bool t_iniParser::ValidateSection(const std::string &section) const
{
    return HasSection(section);
}

bool t_iniParser::ValidateOption(const std::string &section, const std::string &key) const
{
    return HasOption(section, key);
}

bool t_iniParser::AddSection(const std::string &section)
{
    return mSections.emplace(section, std::map<std::string, std::string>()).second;
}

bool t_iniParser::AddOption(const std::string &section, const std::string &key,
                            const std::string &value)
{
    mSections[section][key] = value;
    return true;
}

void t_iniParser::SetOption(const std::string &section, const std::string &key,
                            const std::string &value)
{
    mSections[section][key] = value;
}

std::string t_iniParser::GetOption(const std::string &section, const std::string &key) const
{
    const auto found = mSections.find(section);
    if (found == mSections.end())
        return std::string();
    const auto option = found->second.find(key);
    return option == found->second.end() ? std::string() : option->second;
}

void t_iniParser::RemoveSection(const std::string &section)
{
    mSections.erase(section);
}

void t_iniParser::RemoveOption(const std::string &section, const std::string &key)
{
    const auto found = mSections.find(section);
    if (found != mSections.end())
        found->second.erase(key);
}

std::vector<std::string> t_iniParser::Sections() const
{
    std::vector<std::string> names;
    for (const auto &section : mSections)
        names.push_back(section.first);
    return names;
}

std::vector<std::string> t_iniParser::Options(const std::string &section) const
{
    std::vector<std::string> keys;
    const auto found = mSections.find(section);
    if (found != mSections.end()) {
        for (const auto &option : found->second)
            keys.push_back(option.first);
    }
    return keys;
}

std::string t_iniParser::GetKeyValueStr(const std::string &section, const std::string &key,
                                        const std::string &def) const
{
    return HasOption(section, key) ? GetOption(section, key) : def;
}

int t_iniParser::GetKeyValueInt(const std::string &section, const std::string &key, int def) const
{
    if (!HasOption(section, key))
        return def;
    const std::string text = GetOption(section, key);
    return static_cast<int>(std::strtoul(text.c_str(), nullptr, baseOf(text)));
}

unsigned long long t_iniParser::GetKeyValueUlonglong(const std::string &section,
                                                     const std::string &key,
                                                     unsigned long long def) const
{
    if (!HasOption(section, key))
        return def;
    const std::string text = GetOption(section, key);
    return std::strtoull(text.c_str(), nullptr, baseOf(text));
}

double t_iniParser::GetKeyValueDouble(const std::string &section, const std::string &key,
                                      double def) const
{
    if (!HasOption(section, key))
        return def;
    return toDouble(GetOption(section, key));
}

void t_iniParser::SetKeyValue(const std::string &section, const std::string &key, int value)
{
    SetKeyValue(section, key, std::to_string(value));
}

void t_iniParser::SetKeyValue(const std::string &section, const std::string &key,
                              unsigned long long value)
{
    SetKeyValue(section, key, std::to_string(value));
}

void t_iniParser::SetKeyValue(const std::string &section, const std::string &key, double value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    SetKeyValue(section, key, out.str());
}

void t_iniParser::SetKeyValue(const std::string &section, const std::string &key,
                              const std::string &value)
{
    AddSection(section);
    AddOption(section, key, value);
}

} // namespace n_kwxx
