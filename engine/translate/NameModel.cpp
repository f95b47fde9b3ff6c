#include "NameModel.h"

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace
{

const char kHeader[] = "# Kaiwo names 1";

struct Line {
    char kind; // 's' surname, 'g' given-name character
    std::string text, pinyin;
    double weight;
};

bool isPinyin(const std::string &text)
{
    if (text.empty() || text.front() == ' ' || text.back() == ' ')
        return false;
    for (const char c : text)
        if (!(c >= 'a' && c <= 'z') && c != ' ')
            return false;
    return true;
}

bool readLine(const std::string &text, Line *line)
{
    std::istringstream fields(text);
    std::string kind, weight;
    if (!std::getline(fields, kind, '\t') || !std::getline(fields, line->text, '\t') ||
        !std::getline(fields, line->pinyin, '\t') || !std::getline(fields, weight))
        return false;
    char *end = nullptr;
    line->weight = std::strtod(weight.c_str(), &end);
    line->kind = kind.size() == 1 ? kind[0] : '?';
    return (line->kind == 's' || line->kind == 'g') && !line->text.empty() &&
           isPinyin(line->pinyin) && end && *end == '\0' && line->weight > 0;
}

} // namespace

bool NameModel::parse(const std::string &bytes, NameModel *model)
{
    if (bytes.compare(0, sizeof kHeader - 1, kHeader) != 0)
        return false;
    std::vector<Line> lines;
    double totals[2] = {0, 0};
    std::istringstream in(bytes);
    for (std::string text; std::getline(in, text);) {
        if (text.empty() || text[0] == '#')
            continue;
        Line line;
        if (!readLine(text, &line))
            return false;
        totals[line.kind == 'g'] += line.weight;
        lines.push_back(std::move(line));
    }
    if (totals[0] <= 0 || totals[1] <= 0)
        return false;
    NameModel parsed;
    for (const Line &line : lines) {
        Parts &parts = line.kind == 'g' ? parsed.mGiven : parsed.mSurnames;
        const double share = std::log(line.weight / totals[line.kind == 'g']);
        auto [kept, added] = parts.try_emplace(line.pinyin, Part{line.text, share});
        if (!added && kept->second.logShare < share)
            kept->second = Part{line.text, share};
    }
    *model = std::move(parsed);
    return true;
}

const NameModel::Part *NameModel::find(const Parts &parts, const std::string &pinyin)
{
    const auto found = parts.find(pinyin);
    return found == parts.end() ? nullptr : &found->second;
}
