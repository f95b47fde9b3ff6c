// Double-pinyin scheme files: the scheme list (titles through QSettings and
// the INI helpers), the scheme shown (LoadSpScheme) and the scheme an edit
// starts from (BaseOnScheme), edited and saved as the editor does.

#include "FuzzSupport.h"
#include "config/IniHelpers.h"
#include "shuangpin/ShuangPinController.h"

#include <QFile>

#include <cstdio>

namespace
{

const char *const kSyllables[] = {
    "zh",  "ch",   "sh",  "ai", "an", "ang", "ao",   "ei", "en",  "eng", "er", "ia",
    "ian", "iang", "iao", "ie", "in", "ing", "iong", "iu", "ong", "ou",  "ua", "uai",
    "uan", "uang", "ue",  "ui", "un", "uo",  "v",    "ve", "van", "vn",
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzz::startQt(argc, argv, fuzz::App::Gui);
    fuzz::useTempHomeAndDataRoot();
    fuzz::makePath(ShuangPinController::localShuangPinPath().toStdString());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ShuangPinController *controller = ShuangPinController::self();
    static const QString path = ShuangPinController::localShuangPinPath() + "fuzz.ini";
    static const QString savedName = QStringLiteral("saved.ini");
    static const QString saved = ShuangPinController::localShuangPinPath() + savedName;
    fuzz::writeFile(path.toStdString(), data, size);

    controller->loadShuangPinConf();
    getCfgValueString(QFile::encodeName(path).constData(), "metadata:title", "凯沃双拼");

    controller->LoadSpScheme(path);
    if (!controller->BaseOnScheme(path))
        return 0;
    // Every syllable offered to the editor, then moved to its first choice.
    for (const char *syllable : kSyllables) {
        int index = -1;
        const QStringList choices =
            controller->getSyllablechoiceList(QString::fromLatin1(syllable), index);
        if (choices.size() > 1)
            controller->currentSyllableKeyChange(QString::fromLatin1(syllable),
                                                 choices.at(1).at(0).toLatin1());
    }
    if (controller->keepNewSpScheme(QStringLiteral("fuzz"), savedName)) {
        if (!controller->LoadSpScheme(saved))
            fuzz::fail("a saved scheme does not load");
        std::remove(QFile::encodeName(saved).constData());
    }
    return 0;
}
