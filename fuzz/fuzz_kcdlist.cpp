// kcdlist.ini, the cell dictionary list: the used state of every id the
// file names, and the list rewritten from those rows read back.

#include "FuzzSupport.h"
#include "pinyin/KcdListFile.h"

#include <QSettings>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzz::startQt(argc, argv, fuzz::App::Gui);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string input = fuzz::tempDir() + "/kcdlist.ini";
    fuzz::writeFile(input, data, size);
    const QString path = QString::fromStdString(input);

    // The ids as the page lists them: the file's own, plus one it lacks.
    QStringList ids{QStringLiteral("kaiwo.sample.idioms")};
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.setIniCodec("UTF-8");
        for (const QString &group : settings.childGroups().mid(0, 32))
            ids << settings.value(group + QStringLiteral("/id")).toString();
    }
    ids.removeDuplicates();

    KcdListFile list(path);
    QList<KcdListFile::Row> rows;
    for (const QString &id : ids) {
        list.usedState(id);
        KcdListFile::Row row;
        row.id = id;
        row.name = id;
        row.used = rows.size() % 2 == 0;
        rows << row;
    }
    KcdListFile::md5Of(path);

    list.rewrite(rows);
    for (const KcdListFile::Row &row : rows) {
        if (list.usedState(row.id) != (row.used ? 1 : 0))
            fuzz::fail("a rewritten row reads back differently");
    }
    return 0;
}
