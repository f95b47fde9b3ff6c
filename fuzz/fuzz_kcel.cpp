// ".kcel" cell dictionaries of the engine stand-ins. A file the reader
// accepts has exactly one encoding, so writing it back gives its bytes.

#include "FuzzSupport.h"
#include "KcelFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string input = fuzz::tempDir() + "/input.kcel";
    fuzz::writeFile(input, data, size);

    KcelFile file;
    if (!file.read(input))
        return 0;
    std::string bytes;
    if (!file.serialize(bytes))
        fuzz::fail("an accepted file cannot be written");
    if (bytes != std::string(reinterpret_cast<const char *>(data), size))
        fuzz::fail("an accepted file is written differently");
    return 0;
}
