#include "DiyPhraseDialog.h"
#include "DefaultPhraseDialog.h"
#include "DiyPhraseAddDialog.h"
#include "DiyPhraseEditDialog.h"
#include "PhraseTable.h"
#include "app/ImeServiceClient.h"
#include "app/Logging.h"
#include "app/MainController.h"
#include "app/SystemHelpers.h"
#include "config/SettingsStore.h"
#include "ui_DiyPhraseDialog.h"
#include "window/DialogFrame.h"
#include "window/KaiwoPromptDialog.h"
#include "window/TableRowKeys.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>

#include <cstdlib>

namespace
{

// When the text file was last converted, for the whole process.
qint64 gLastRun = 0;

const char kWhiteCheck[] =
    "QCheckBox::indicator:checked{ image:url(://picture/check-select-white.png); }";
const char kNormalCheck[] =
    "QCheckBox::indicator:checked{ image:url(://picture/check-select.png); }";

QString phraseFile()
{
    return MainController::localPath() + QStringLiteral("phrase/PhraseEdit.txt");
}

bool userPhraseOperation(ShellWrapperInterface *shell, e_operDicType operation,
                         s_inputOutputDicData &data)
{
    return shell && shell->DicOperation(ed_userPhrase, operation, data);
}

// "file" 5.39 and later word the text types differently from older ones.
bool isAcceptedFileType(const QByteArray &output)
{
    for (const char *known : {"UTF-8 Unicode text", "ASCII text", "UTF-16 Unicode text",
                              "Unicode text, UTF-8", "Unicode text, UTF-16"}) {
        if (output.contains(known))
            return true;
    }
    return false;
}

} // namespace

DiyPhraseDialog::DiyPhraseDialog(QWidget *parent) : QDialog(parent), ui(new Ui::DiyPhraseDialog)
{
    ui->setupUi(this);
    PhraseTable::useDialogFont(this);
    connect(ui->tableWidget, &QTableWidget::cellClicked, this,
            &DiyPhraseDialog::tableWidgetCellClicked);
    connect(ui->tableWidget, &QTableWidget::cellPressed, this,
            &DiyPhraseDialog::tableWidgetCellPressed);
    connect(ui->tableWidget, &QTableWidget::itemSelectionChanged, this,
            &DiyPhraseDialog::slot_selection_changed);
    ui->tableWidget->installEventFilter(this);
    new TableRowKeys(ui->tableWidget);
    connect(ui->tableWidget->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &DiyPhraseDialog::buildVisibleRows);

    DialogFrame::apply(this, ui->label_title, ui->title_close_button);
    DialogFrame::markBottomStrip(ui->bottom_widget);
    setFixedSize(500, 375);

    init();
    initSettings();
}

DiyPhraseDialog::~DiyPhraseDialog() = default;

void DiyPhraseDialog::resetPhraseFileClock()
{
    gLastRun = 0;
}

void DiyPhraseDialog::init()
{
    initUserDiyPhraseList();
    updateDiyPhraseTableWidget();
    init_phrase_file();
}

void DiyPhraseDialog::initUserDiyPhraseList()
{
    mPhraseList.clear();
    s_inputOutputDicData data;
    data.inputPath = MainController::localPath().toStdWString();
    userPhraseOperation(MainController::ShellWrapper(), ec_getUserPhrase, data);
    mPhraseList.reserve(int(data.phraseList.size()));
    for (const UserPhraseItem &item : data.phraseList) {
        mPhraseList.append(item);
        qCDebug(lcConfigtool) << "initUserDiyPhraseList:" << QString::fromStdWString(item.abbr)
                              << item.position << QString::fromStdWString(item.phrase);
    }
}

void DiyPhraseDialog::clearPhrase()
{
    s_inputOutputDicData current;
    current.inputPath = MainController::localPath().toStdWString();
    userPhraseOperation(MainController::ShellWrapper(), ec_getUserPhrase, current);

    s_inputOutputDicData remove;
    remove.inputPath = current.inputPath;
    remove.phraseList = current.phraseList;
    userPhraseOperation(MainController::ShellWrapper(), ec_deleteUserPhrase, remove);
    userPhraseOperation(MainController::WuBiShellWrapper(), ec_deleteUserPhrase, remove);
}

void DiyPhraseDialog::saveAndReloadPhrase()
{
    s_inputOutputDicData data;
    data.inputPath = MainController::localPath().toStdWString();
    clearPhrase();
    data.phraseList.reserve(mPhraseList.size());
    for (int i = 0; i < mPhraseList.size(); ++i) {
        UserPhraseItem item = mPhraseList.at(i);
        const int magnitude = std::abs(item.position);
        item.position = static_cast<int16_t>(mChecked.value(i) ? magnitude : -magnitude);
        data.phraseList.push_back(item);
    }
    userPhraseOperation(MainController::ShellWrapper(), ec_addUserPhrase, data);
    userPhraseOperation(MainController::WuBiShellWrapper(), ec_addUserPhrase, data);
    MainController::self()->update_cfg_to_service();
    ImeServiceClient::reloadDictionary(7);
    bin2txt();
}

void DiyPhraseDialog::bin2txt()
{
    s_inputOutputDicData data;
    data.inputPath =
        (MainController::localPath() + QStringLiteral("kwim_phrases.bin")).toStdWString();
    data.outputPath = phraseFile().toStdWString();
    const bool result =
        userPhraseOperation(MainController::ShellWrapper(), ec_genPhraseEditText, data);
    qCDebug(lcConfigtool) << "ec_genPhraseEditText:" << result;
}

void DiyPhraseDialog::init_phrase_file()
{
    const QString dir = MainController::localPath() + QStringLiteral("phrase/");
    if (!QDir(dir).exists())
        QDir().mkpath(dir);
    mWatcher = new QFileSystemWatcher(this);
    mWatcher->addPath(dir);
    connect(mWatcher, &QFileSystemWatcher::directoryChanged, this,
            &DiyPhraseDialog::slot_phrase_file_changed);
}

void DiyPhraseDialog::mySleep(unsigned int msec)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < msec)
        QCoreApplication::processEvents(QEventLoop::AllEvents,
                                        int(qMin<qint64>(100, msec - timer.elapsed())));
}

void DiyPhraseDialog::slot_phrase_file_changed(QString path)
{
    qCDebug(lcConfigtool) << path << "has changed";
    mySleep(300);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    if (now - gLastRun < 3)
        return;
    gLastRun = now;

    const QString file = path + QStringLiteral("/PhraseEdit.txt");
    // The home directory may hold anything; quoting keeps it one argument.
    const QByteArray command = "file -b " + shellQuote(QFile::encodeName(file));
    qCDebug(lcConfigtool) << "===================" << command;
    char buffer[128] = {};
    getRunCmdOutput(command.constData(), buffer, sizeof buffer);
    const QByteArray output(buffer, int(qstrnlen(buffer, sizeof buffer)));
    if (!isAcceptedFileType(output)) {
        qCDebug(lcConfigtool) << output << " this is not a normal configure file";
        if (QFile::remove(file))
            qCDebug(lcConfigtool) << "remove successfuly";
        bin2txt();
    }

    s_inputOutputDicData data;
    data.inputPath =
        (MainController::localPath() + QStringLiteral("kwim_phrases.bin")).toStdWString();
    data.outputPath = file.toStdWString();
    const bool result =
        userPhraseOperation(MainController::ShellWrapper(), ec_convertTextToDic, data);
    qCDebug(lcConfigtool) << "ec_convertTextToDic:" << result;

    slot_change_user_diyPhrase_TableWdget();
    MainController::self()->update_cfg_to_service();
}

void DiyPhraseDialog::loadSettings(CON_TPYE mode)
{
    const SettingsReader reader(mode);
    ui->open_buintIn_phrase_checkBox->setChecked(
        reader.intValue(QStringLiteral("SystemUserPhrase"), 1) != 0);
}

void DiyPhraseDialog::saveSettings()
{
    SettingsWriter writer;
    writer.setValue(QStringLiteral("SystemUserPhrase"),
                    ui->open_buintIn_phrase_checkBox->isChecked() ? 1 : 0);
}

void DiyPhraseDialog::initSettings()
{
    loadSettings(CON_CURRENT);
}

void DiyPhraseDialog::delete_not_in_list_Phrase() {}

QCheckBox *DiyPhraseDialog::rowCheckBox(int row) const
{
    return TableRowKeys::rowCheckBox(ui->tableWidget, row);
}

void DiyPhraseDialog::updateDiyPhraseTableWidget()
{
    qCDebug(lcConfigtool) << "updateDiyPhraseTableWidget";
    QTableWidget *table = ui->tableWidget;
    PhraseTable::setup(table, {tr("缩写"), tr("自定义短语"), tr("排列位置")}, {140, 170, 135});
    mChecked.resize(mPhraseList.size());
    for (int row = 0; row < mPhraseList.size(); ++row) {
        const UserPhraseItem &item = mPhraseList.at(row);
        mChecked[row] = item.position > 0;
        qCDebug(lcConfigtool) << QString::fromStdWString(item.abbr) + QLatin1Char(':') +
                                     QString::number(item.position) + QLatin1Char(':') +
                                     QString::fromStdWString(item.phrase);
    }
    table->setRowCount(mPhraseList.size());
    buildVisibleRows();
    if (table->rowCount() > 0)
        table->setCurrentCell(0, 0);
    else
        table->setCurrentCell(-1, -1);
    table->setFocus();
}

// Cell widgets are made when their row first comes into view, so that a
// long list opens at once; the check state lives in mChecked meanwhile.
void DiyPhraseDialog::buildVisibleRows()
{
    QTableWidget *table = ui->tableWidget;
    const int rows = table->rowCount();
    if (rows == 0)
        return;
    const int first = qMax(0, table->rowAt(0));
    const int visible = qMax(8, table->viewport()->height() / 34 + 2);
    for (int row = first; row < qMin(rows, first + visible); ++row)
        buildRow(row);
}

void DiyPhraseDialog::buildRow(int row)
{
    QTableWidget *table = ui->tableWidget;
    if (table->cellWidget(row, 0) || row >= mPhraseList.size())
        return;
    const UserPhraseItem &item = mPhraseList.at(row);
    const QFont font = PhraseTable::cellFont();
    const QFontMetrics metrics(font);

    auto *container = new QWidget;
    auto *layout = new QHBoxLayout(container);
    auto *box = new QCheckBox(container);
    box->setObjectName(QStringLiteral("checkbox"));
    box->setFixedSize(mBoxesEnlarged ? QSize(18, 18) : QSize(13, 13));
    box->setFocusPolicy(Qt::NoFocus);
    box->setChecked(mChecked.value(row));
    connect(box, &QCheckBox::toggled, this, [this, row](bool checked) {
        if (row < mChecked.size())
            mChecked[row] = checked;
    });
    auto *abbrLabel = new QLabel(
        metrics.elidedText(QString::fromStdWString(item.abbr), Qt::ElideRight, 100), container);
    abbrLabel->setObjectName(QStringLiteral("abbr_label"));
    abbrLabel->setFont(font);
    layout->addWidget(box);
    layout->addWidget(abbrLabel);
    layout->addStretch();
    table->setCellWidget(row, 0, container);

    auto *phraseLabel =
        new QLabel(PhraseTable::summary(QString::fromStdWString(item.phrase), 160, true));
    phraseLabel->setFont(font);
    phraseLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table->setCellWidget(row, 1, phraseLabel);
    TableRowKeys::nameCheckBox(box, abbrLabel->text() + QLatin1Char(' ') + phraseLabel->text());

    auto *positionLabel = new QLabel(QString::number(std::abs(item.position)));
    positionLabel->setFont(font);
    positionLabel->setAlignment(Qt::AlignCenter);
    table->setCellWidget(row, 2, positionLabel);
}

void DiyPhraseDialog::slot_change_user_diyPhrase_TableWdget()
{
    initUserDiyPhraseList();
    updateDiyPhraseTableWidget();
    ui->tableWidget->scrollToBottom();
}

bool DiyPhraseDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->tableWidget &&
        (event->type() == QEvent::Show || event->type() == QEvent::Resize))
        buildVisibleRows();
    return QDialog::eventFilter(watched, event);
}

void DiyPhraseDialog::tableWidgetCellClicked(int, int) {}

void DiyPhraseDialog::tableWidgetCellPressed(int row, int)
{
    if (mPreviousRow >= 0 && mPreviousRow < ui->tableWidget->rowCount()) {
        if (QCheckBox *previous = rowCheckBox(mPreviousRow))
            previous->setStyleSheet(QLatin1String(kNormalCheck));
    }
    if (QCheckBox *box = rowCheckBox(row))
        box->setStyleSheet(QLatin1String(kWhiteCheck));
    mPreviousRow = row;
}

void DiyPhraseDialog::slot_selection_changed()
{
    mBoxesEnlarged = true;
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        if (QCheckBox *box = rowCheckBox(row))
            box->setFixedSize(18, 18);
    }
}

void DiyPhraseDialog::makeRowCurrent(int row)
{
    ui->tableWidget->setCurrentCell(row, 0);
    ui->tableWidget->setFocus();
    mPreviousRow = row;
}

void DiyPhraseDialog::slot_add_phrase(UserPhraseItem item, int row)
{
    mPhraseList.append(item);
    updateDiyPhraseTableWidget();
    makeRowCurrent(row);
}

void DiyPhraseDialog::slot_edit_phrase(UserPhraseItem item, int row)
{
    if (row >= 0 && row < mPhraseList.size())
        mPhraseList[row] = item;
    else
        mPhraseList.append(item);
    updateDiyPhraseTableWidget();
    makeRowCurrent(row);
}

void DiyPhraseDialog::on_add_phrase_pushButton_clicked()
{
    DiyPhraseAddDialog dialog(this);
    dialog.setDiyPhraseAddDialog(mPhraseList, -1);
    dialog.move(pos());
    connect(&dialog, &DiyPhraseAddDialog::signal_add_phrase, this,
            &DiyPhraseDialog::slot_add_phrase);
    dialog.exec();
}

void DiyPhraseDialog::on_edit_phrase_pushButton_clicked()
{
    const int row = ui->tableWidget->currentRow();
    if (row < 0) {
        KaiwoPromptDialog(tr("编辑自定义短语"), tr("请单击列表框选择一条编辑项"), DIALOG_NOTICE,
                          this)
            .exec();
        return;
    }
    DiyPhraseEditDialog dialog(this);
    dialog.move(pos());
    connect(&dialog, &DiyPhraseEditDialog::signal_edit_phrase, this,
            &DiyPhraseDialog::slot_edit_phrase);
    dialog.setDiyPhraseEditDialog(mPhraseList, row);
    dialog.exec();
}

void DiyPhraseDialog::on_delete_highlight_row_pushButton_clicked()
{
    const int row = ui->tableWidget->currentRow();
    if (row < 0) {
        KaiwoPromptDialog(tr("删除自定义短语"), tr("请单击列表框选择一条编辑项"), DIALOG_NOTICE,
                          this)
            .exec();
        return;
    }
    if (KaiwoPromptDialog(tr("删除自定义短语"), tr("确定要删除选中的自定义短语吗？"),
                          DIALOG_QUESTION, this)
            .exec() != 1)
        return;
    if (row < mPhraseList.size())
        mPhraseList.removeAt(row);
    updateDiyPhraseTableWidget();
}

void DiyPhraseDialog::on_enabled_all_pushButton_clicked()
{
    for (UserPhraseItem &item : mPhraseList)
        item.position = static_cast<int16_t>(std::abs(item.position));
    updateDiyPhraseTableWidget();
}

void DiyPhraseDialog::on_disenable_pushButton_clicked()
{
    for (UserPhraseItem &item : mPhraseList)
        item.position = static_cast<int16_t>(-std::abs(item.position));
    updateDiyPhraseTableWidget();
}

void DiyPhraseDialog::on_restore_default_pushButton_clicked()
{
    if (KaiwoPromptDialog(tr("恢复默认"), tr("确定要恢复默认配置吗？"), DIALOG_QUESTION, this)
            .exec() != 1)
        return;
    loadSettings(CON_DEFAULT);
    mPhraseList.clear();
    updateDiyPhraseTableWidget();
}

void DiyPhraseDialog::on_ok_pushButton_clicked()
{
    saveSettings();
    saveAndReloadPhrase();
    accept();
}

void DiyPhraseDialog::on_cancel_pushButton_clicked()
{
    close();
}

void DiyPhraseDialog::on_open_buintIn_phrase_checkBox_clicked(bool) {}

void DiyPhraseDialog::on_look_buintIn_phrase_pushButton_clicked()
{
    auto *dialog = new DefaultPhraseDialog(this);
    dialog->exec();
}
