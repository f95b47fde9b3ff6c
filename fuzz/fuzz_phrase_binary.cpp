// kwim_phrases.bin, the stand-ins' compiled phrase file: what the reader
// keeps must survive being written and read again, and its export as
// PhraseEdit.txt must read back without a damaged line.

#include "FuzzSupport.h"
#include "PhraseBinaryFile.h"
#include "PhraseItems.h"
#include "PhraseTextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string input = fuzz::tempDir() + "/kwim_phrases.bin";
    fuzz::writeFile(input, data, size);

    std::vector<UserPhraseItem> phrases;
    if (PhraseBinaryFile::read(input, phrases) == PhraseBinaryFile::Refused && !phrases.empty())
        fuzz::fail("a refused file gave phrases");
    std::vector<UserPhraseItem> again;
    if (PhraseBinaryFile::decode(PhraseBinaryFile::encode(phrases), again) !=
            PhraseBinaryFile::Ok ||
        !fuzz::samePhrases(again, phrases))
        fuzz::fail("the phrases read back differently");
    if (PhraseTextFile::decode(PhraseTextFile::encode(phrases), again) != PhraseBinaryFile::Ok)
        fuzz::fail("the exported text has a damaged line");
    return 0;
}
