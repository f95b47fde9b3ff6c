#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QWidget;

// The user-dictionary buttons of the Pinyin and Wubi pages. The dictionaries
// belong to the running IME service, so each flow only picks a file, asks
// for consent where data would be lost, sends one call per file and reports
// the service's answer.
class UserDictionaryActions
{
    Q_DECLARE_TR_FUNCTIONS(UserDictionaryActions)

public:
    enum Operation {
        ImportPinyinCn,
        ExportPinyinCn,
        ClearPinyinCn,
        ClearPinyinEn,
        ClearPinyinWebEmail,
        RecoverPinyin,
        ImportWubiPinyin,
        ExportWubiPinyin,
        ClearWubiPinyin,
        ImportWubiCn,
        ExportWubiCn,
        ClearWubiCn,
        ClearWubiEn,
        ClearWubiWebEmail,
        RecoverWubi,
    };

    // Runs one button's flow; page parents its dialogs.
    static void run(Operation operation, QWidget *page);

    // Test hooks: the next open or save dialog returns these at once instead
    // of showing; an empty value means the user cancelled.
    static void setNextFileNames(const QStringList &paths);
    static void setNextSaveFileName(const QString &path);
};
