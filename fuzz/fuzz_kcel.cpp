// ".kcel" cell dictionaries of the engine stand-ins. A file the reader
// accepts has exactly one encoding, so writing it back gives its bytes, and
// its header alone reads the same.

#include "FuzzSupport.h"
#include "KcelFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string input = fuzz::tempDir() + "/input.kcel";
    fuzz::writeFile(input, data, size);

    KcelFile header;
    uint32_t count = 0;
    const bool listed = header.readHeader(input, count);
    KcelFile file;
    if (!file.read(input))
        return 0;
    if (!listed || count != file.entries.size() || header.id != file.id ||
        header.name != file.name || header.category != file.category ||
        header.examples != file.examples || header.date != file.date)
        fuzz::fail("an accepted file's header reads differently");
    std::string bytes;
    if (!file.serialize(bytes))
        fuzz::fail("an accepted file cannot be written");
    if (bytes != std::string(reinterpret_cast<const char *>(data), size))
        fuzz::fail("an accepted file is written differently");
    return 0;
}
