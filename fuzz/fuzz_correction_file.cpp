// Correction.ini: read the rules, write them back in the tool's own layout and
// read that again, which must give the same rules.

#include "FuzzSupport.h"
#include "pinyin/CorrectionFile.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzz::startQt(argc, argv, fuzz::App::Gui);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string input = fuzz::tempDir() + "/Correction.ini";
    static const QString written = QString::fromStdString(fuzz::tempDir() + "/Correction.written");
    fuzz::writeFile(input, data, size);

    CorrectionFile::Rules on{};
    if (!CorrectionFile::read(QString::fromStdString(input), &on))
        fuzz::fail("an existing file reads as missing");
    fuzz::writeFile(written.toStdString(), nullptr, 0);
    if (!CorrectionFile::write(written, on))
        fuzz::fail("cannot write");
    CorrectionFile::Rules again{};
    if (!CorrectionFile::read(written, &again) || again != on)
        fuzz::fail("the written rules read back differently");
    return 0;
}
