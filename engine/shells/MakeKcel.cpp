// kaiwo-make-kcel: turns a plain word list into a cell dictionary.
#include "KcelFile.h"

#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>

namespace
{

int usage()
{
    std::cerr
        << "usage: kaiwo-make-kcel --name NAME --category CATEGORY [--id ID] [--date SECONDS]\n"
           "                       [--examples \"w1 w2 ...\"] WORDLIST OUTPUT.kcel\n"
           "WORDLIST: UTF-8, one \"word\" or \"word pinyin\" per line; blank lines and\n"
           "lines starting with # are skipped. The id defaults to the output's base name,\n"
           "the examples to the first seven words, the date to now.\n";
    return 2;
}

std::string trimmed(const std::string &text)
{
    const size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

} // namespace

int main(int argc, char **argv)
{
    KcelFile kcel;
    kcel.date = static_cast<int64_t>(std::time(nullptr));
    bool haveExamples = false, haveName = false;
    std::string positional[2];
    int positionals = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--name" && hasValue) {
            kcel.name = argv[++i];
            haveName = true;
        } else if (arg == "--category" && hasValue) {
            kcel.category = argv[++i];
        } else if (arg == "--id" && hasValue) {
            kcel.id = argv[++i];
        } else if (arg == "--date" && hasValue) {
            char *end = nullptr;
            kcel.date = std::strtoll(argv[++i], &end, 10);
            if (!end || *end)
                return usage();
        } else if (arg == "--examples" && hasValue) {
            kcel.examples = argv[++i];
            haveExamples = true;
        } else if (!arg.empty() && arg[0] != '-' && positionals < 2) {
            positional[positionals++] = arg;
        } else {
            return usage();
        }
    }
    if (positionals != 2 || !haveName)
        return usage();

    std::ifstream in(positional[0]);
    if (!in) {
        std::cerr << "kaiwo-make-kcel: cannot read " << positional[0] << "\n";
        return 1;
    }
    std::string line;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#')
            continue;
        const size_t gap = line.find_first_of(" \t");
        KcelFile::Entry entry;
        entry.word = line.substr(0, gap);
        if (gap != std::string::npos)
            entry.pinyin = trimmed(line.substr(gap));
        kcel.entries.push_back(entry);
    }
    if (!haveExamples) {
        for (size_t i = 0; i < kcel.entries.size() && i < 7; ++i)
            kcel.examples += (i ? " " : "") + kcel.entries[i].word;
    }
    if (kcel.id.empty()) {
        std::string base = positional[1].substr(positional[1].find_last_of('/') + 1);
        kcel.id = base.substr(0, base.rfind('.'));
    }
    if (!kcel.write(positional[1])) {
        std::cerr << "kaiwo-make-kcel: cannot write " << positional[1]
                  << " (date out of range, empty id or a text too long?)\n";
        return 1;
    }
    std::cout << positional[1] << ": " << kcel.entries.size() << " words\n";
    return 0;
}
