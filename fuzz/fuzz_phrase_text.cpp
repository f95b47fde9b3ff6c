// PhraseEdit.txt, the stand-ins' editable phrase file: what the reader keeps
// must survive being written as text and read again.

#include "FuzzSupport.h"
#include "PhraseItems.h"
#include "PhraseTextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string input = fuzz::tempDir() + "/PhraseEdit.txt";
    fuzz::writeFile(input, data, size);

    std::vector<UserPhraseItem> phrases;
    PhraseTextFile::read(input, phrases);
    std::vector<UserPhraseItem> again;
    if (PhraseTextFile::decode(PhraseTextFile::encode(phrases), again) != PhraseBinaryFile::Ok ||
        !fuzz::samePhrases(again, phrases))
        fuzz::fail("the phrases read back differently");
    return 0;
}
