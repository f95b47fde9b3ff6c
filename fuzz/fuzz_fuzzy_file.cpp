// Fuzzy.dat: read the pairs, write them back in the tool's own layout and
// read that again, which must give the same pairs.

#include "FuzzSupport.h"
#include "pinyin/FuzzyFile.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzz::startQt(argc, argv, fuzz::App::Gui);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string input = fuzz::tempDir() + "/Fuzzy.dat";
    static const QString written = QString::fromStdString(fuzz::tempDir() + "/Fuzzy.written");
    fuzz::writeFile(input, data, size);

    FuzzyFile::Pairs on{};
    if (!FuzzyFile::read(QString::fromStdString(input), &on))
        fuzz::fail("an existing file reads as missing");
    fuzz::writeFile(written.toStdString(), nullptr, 0);
    const bool smart = size % 2 == 0;
    if (!FuzzyFile::write(written, on, smart))
        fuzz::fail("cannot write");
    FuzzyFile::Pairs again{};
    if (!FuzzyFile::read(written, &again) || again != on)
        fuzz::fail("the written pairs read back differently");
    return 0;
}
