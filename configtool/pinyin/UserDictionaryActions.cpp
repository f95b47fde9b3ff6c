#include "UserDictionaryActions.h"
#include "app/ImeServiceClient.h"
#include "window/KaiwoPromptDialog.h"

#include <QDate>
#include <QFileDialog>
#include <QFileInfo>

#include <optional>

namespace
{

enum class Kind { Import, Export, Clear, Restore };

// One button's flow. Texts are UTF-8 literals, translated when shown.
struct Action {
    Kind kind;
    const char *method;
    const char *failureLine;
    const char *filter = nullptr;
    const char *failurePrefix = nullptr; // imports use it for both outcomes
    const char *successPrefix = nullptr;
    const char *baseName = nullptr;
    const char *extension = nullptr;
    const char *detail = nullptr; // second line of the restore question
};

const char kImportFailureLine[] = "UsrDictImport In fail!\n";

Action importing(const char *method, const char *filter, const char *prefix)
{
    return {Kind::Import, method, kImportFailureLine, filter, prefix, prefix};
}

Action exporting(const char *method, const char *failureLine, const char *baseName,
                 const char *extension, const char *filter, const char *failurePrefix,
                 const char *successPrefix)
{
    return {Kind::Export,  method,        failureLine, filter,
            failurePrefix, successPrefix, baseName,    extension};
}

Action clearing(const char *method, const char *failureLine)
{
    return {Kind::Clear, method, failureLine};
}

Action restoring(const char *method, const char *detail)
{
    Action action{Kind::Restore, method, "recoveryDefaultThesaurus In fail!\n"};
    action.detail = detail;
    return action;
}

Action actionOf(UserDictionaryActions::Operation operation)
{
    using A = UserDictionaryActions;
    switch (operation) {
    case A::ImportPinyinCn:
        return importing("UsrDictImport",
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "加密词库文件(*.bin)"),
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "导入中文用户词库"));
    case A::ExportPinyinCn:
        return exporting("UsrDictBackup", "UsrDictBackup In fail!\n",
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "/凯沃词库备份_"), ".bin",
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "加密词库文件(*.bin)"),
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "导出中文用户词库"),
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "导出中文用户词库"));
    case A::ClearPinyinCn:
        return clearing("clearCnThesaurus", "clearCnThesaurus In fail!\n");
    case A::ClearPinyinEn:
        return clearing("clearEnThesaurus", "clearEnThesaurus In fail!\n");
    case A::ClearPinyinWebEmail:
        return clearing("clearWebEmailThesaurus", "clearWebEmailThesaurus In fail!\n");
    case A::RecoverPinyin:
        return restoring("recoveryDefaultThesaurus",
                         QT_TRANSLATE_NOOP("UserDictionaryActions",
                                           "将执行:清空中文、英文、网址邮箱用户词库。"));
    case A::ImportWubiPinyin:
        return importing("UsrPinYinWuBiDictImportPinYin",
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "文本词库文件(*.txt)"),
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "导入用户词库"));
    case A::ExportWubiPinyin:
        return exporting("UsrWuBiPinYinDictBackupPinYin", "UsrWuBiPinYinDictBackup In fail!\n",
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "/凯沃拼音五笔词库备份_"),
                         ".txt", QT_TRANSLATE_NOOP("UserDictionaryActions", "文本词库文件（*.txt)"),
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "导出用户词库"),
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "导出用户词库"));
    case A::ClearWubiPinyin:
        return clearing("clearPinYinWuBiCnThesaurusPinYin", "clearCnThesaurus In fail!\n");
    case A::ImportWubiCn:
        return importing("UsrWuBiDictImport",
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "文本词库文件(*.txt)"),
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "导入用户词库"));
    case A::ExportWubiCn:
        return exporting("UsrWuBiDictBackup", "UsrWuBiDictBackup In fail!\n",
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "/凯沃五笔词库备份_"), ".txt",
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "文本词库文件（*.txt）"),
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "导出用户词库"),
                         QT_TRANSLATE_NOOP("UserDictionaryActions", "导出中文用户词库"));
    case A::ClearWubiCn:
        return clearing("clearWuBiCnThesaurus", "clearCnThesaurus In fail!\n");
    case A::ClearWubiEn:
        return clearing("clearWuBiEnThesaurus", "clearEnThesaurus In fail!\n");
    case A::ClearWubiWebEmail:
        return clearing("clearWuBiWebEmailThesaurus", "clearWebEmailThesaurus In fail!\n");
    case A::RecoverWubi:
        return restoring("recoveryWuBiDefaultThesaurus",
                         QT_TRANSLATE_NOOP("UserDictionaryActions",
                                           "将执行清空五笔拼音词库、五笔词库、网址邮箱词库。"));
    }
    Q_UNREACHABLE();
}

std::optional<QStringList> nextFileNames;
std::optional<QString> nextSaveFileName;

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QString translated(const char *utf8)
{
    return UserDictionaryActions::tr(utf8);
}

QString homePath()
{
    return qEnvironmentVariable("HOME");
}

int prompt(QWidget *page, const QString &title, const QString &content, DialogStatus status)
{
    KaiwoPromptDialog dialog(title, content, status, page);
    return dialog.exec();
}

void notice(QWidget *page, const QString &title, const QString &content)
{
    prompt(page, title, content, DIALOG_NOTICE);
}

QString quoted(const QString &prefix, const QString &path, bool ok)
{
    return (ok ? UserDictionaryActions::tr("%1\"%2\"成功！")
               : UserDictionaryActions::tr("%1\"%2\"失败！"))
        .arg(prefix, path);
}

bool ask(const Action &action, const QVariantList &arguments = {})
{
    return ImeServiceClient::ask(text(action.method), arguments, action.failureLine);
}

void importFiles(const Action &action, QWidget *page)
{
    QStringList paths;
    if (nextFileNames) {
        paths = *nextFileNames;
        nextFileNames.reset();
    } else {
        paths = QFileDialog::getOpenFileNames(page, UserDictionaryActions::tr("打开"), homePath(),
                                              translated(action.filter), nullptr, {});
    }
    const QString title = UserDictionaryActions::tr("导入词库");
    QString imported;
    for (const QString &path : paths) {
        if (!ask(action, {path})) {
            notice(page, title, quoted(translated(action.failurePrefix), path, false));
        } else if (paths.size() == 1) {
            imported = path;
        } else {
            imported += path + QLatin1String("  ");
        }
    }
    if (!imported.isEmpty())
        notice(page, title, quoted(translated(action.successPrefix), imported, true));
}

void exportFile(const Action &action, QWidget *page)
{
    const QString defaultPath = homePath() + translated(action.baseName) +
                                QDate::currentDate().toString(QStringLiteral("yyyy_MM_dd")) +
                                text(action.extension);
    QString path;
    if (nextSaveFileName) {
        path = nextSaveFileName->isEmpty() ? QString() : *nextSaveFileName;
        nextSaveFileName.reset();
    } else {
        path = QFileDialog::getSaveFileName(page, UserDictionaryActions::tr("词库另存为"),
                                            defaultPath, translated(action.filter), nullptr, {});
    }
    if (path.isNull())
        return;
    const QString title = UserDictionaryActions::tr("导出词库");
    if (!ask(action, {path}))
        notice(page, title, quoted(translated(action.failurePrefix), path, false));
    // A success without the file is not trusted enough to announce.
    else if (QFileInfo::exists(path))
        notice(page, title, quoted(translated(action.successPrefix), path, true));
}

void confirmAndSend(const Action &action, QWidget *page, const QString &title,
                    const QString &question, const QString &done)
{
    if (prompt(page, title, question, DIALOG_QUESTION) != QDialog::Accepted)
        return;
    const bool ok = ask(action);
    notice(page, title,
           (ok ? UserDictionaryActions::tr("%1成功！") : UserDictionaryActions::tr("%1失败！"))
               .arg(done));
}

} // namespace

void UserDictionaryActions::run(Operation operation, QWidget *page)
{
    const Action action = actionOf(operation);
    switch (action.kind) {
    case Kind::Import:
        importFiles(action, page);
        break;
    case Kind::Export:
        exportFile(action, page);
        break;
    case Kind::Clear:
        confirmAndSend(action, page, tr("清空词库"), tr("清空用户词库将不可恢复，确定继续吗？"),
                       tr("清空用户词库"));
        break;
    case Kind::Restore:
        confirmAndSend(action, page, tr("恢复词库"),
                       tr("确定要将所有基础词库恢复到初始状态？\n") + translated(action.detail),
                       tr("一键恢复初始状态"));
        break;
    }
}

void UserDictionaryActions::setNextFileNames(const QStringList &paths)
{
    nextFileNames = paths;
}

void UserDictionaryActions::setNextSaveFileName(const QString &path)
{
    nextSaveFileName = path;
}
