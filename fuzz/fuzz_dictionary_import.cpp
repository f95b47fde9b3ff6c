// The service stand-in's user-dictionary import (UsrDictImport and its Wubi
// siblings call UserDictionaryStore::importFile): the input is imported
// into each dictionary of a private store, which must then hold every
// imported entry, and is set back to its seed after a successful import.

#include "FuzzSupport.h"
#include "TextDictionaryFile.h"
#include "UserDictionaryStore.h"

#include <QDir>

namespace
{

using Kind = UserDictionaryStore::Dictionary;

constexpr Kind kKinds[] = {Kind::Pinyin,     Kind::English,     Kind::WebEmail,    Kind::Wubi,
                           Kind::WubiPinyin, Kind::WubiEnglish, Kind::WubiWebEmail};

UserDictionaryStore *store = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzz::startQt(argc, argv, fuzz::App::Core);
    fuzz::useTempHomeAndDataRoot();
    store = new UserDictionaryStore(UserDictionaryStore::defaultFolder(QDir::homePath()));
    QString error;
    if (!store->provision(&error))
        fuzz::fail("cannot provision the store");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string input = fuzz::tempDir() + "/import.txt";
    fuzz::writeFile(input, data, size);
    const QString path = QString::fromStdString(input);

    for (const Kind kind : kKinds) {
        if (!store->importFile(kind, path))
            continue;
        UserDictionary imported;
        UserDictionary content;
        if (!TextDictionaryFile::read(path, kind, &imported) || !store->load(kind, &content))
            fuzz::fail("an imported dictionary does not read back");
        UserDictionary merged = content;
        merged.merge(imported);
        if (!(merged == content))
            fuzz::fail("an imported entry is missing");
        if (!store->recover(kind))
            fuzz::fail("cannot set the dictionary back");
    }
    return 0;
}
