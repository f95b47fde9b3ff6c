// configtool.xml, the list of pages the settings window shows.

#include "FuzzSupport.h"
#include "window/ConfigtoolXml.h"

#include <QString>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzz::startQt(argc, argv, fuzz::App::Gui);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string input = fuzz::tempDir() + "/configtool.xml";
    fuzz::writeFile(input, data, size);
    const CategoryFlags flags = ConfigtoolXml::read(QString::fromStdString(input));
    (void)flags;
    return 0;
}
