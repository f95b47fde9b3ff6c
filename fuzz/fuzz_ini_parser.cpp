// The INI document of the double-pinyin scheme files: parse a file, read
// every entry in every typed way, save, and parse the saved file again,
// which must give the same document.

#include "FuzzSupport.h"
#include "config/IniParser.h"

#include <map>

namespace
{

using Content = std::map<std::string, std::map<std::string, std::string>>;

Content contentOf(const n_kwxx::t_iniParser &document)
{
    Content content;
    for (const std::string &section : document.Sections()) {
        auto &options = content[section];
        for (const std::string &key : document.Options(section))
            options[key] = document.GetOption(section, key);
    }
    return content;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string input = fuzz::tempDir() + "/scheme.ini";
    static const std::string saved = fuzz::tempDir() + "/saved.ini";
    fuzz::writeFile(input, data, size);

    n_kwxx::t_iniParser document;
    document.Parser(input);
    const Content content = contentOf(document);
    for (const auto &section : content) {
        if (!document.HasSection(section.first) || !document.ValidateSection(section.first))
            fuzz::fail("a listed section is missing");
        for (const auto &option : section.second) {
            if (!document.ValidateOption(section.first, option.first) ||
                document.GetKeyValueStr(section.first, option.first, "?") != option.second)
                fuzz::fail("a listed option is missing");
            document.GetKeyValueInt(section.first, option.first, 0);
            document.GetKeyValueUlonglong(section.first, option.first, 0);
            document.GetKeyValueDouble(section.first, option.first, 0);
        }
    }

    if (!document.Save(saved))
        fuzz::fail("cannot save");
    n_kwxx::t_iniParser again;
    if (!again.Parser(saved))
        fuzz::fail("a saved document does not parse");
    if (contentOf(again) != content)
        fuzz::fail("a saved document parses differently");
    return 0;
}
