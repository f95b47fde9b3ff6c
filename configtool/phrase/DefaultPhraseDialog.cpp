#include "DefaultPhraseDialog.h"
#include "PhraseTable.h"
#include "app/Logging.h"
#include "app/MainController.h"
#include "ui_DefaultPhraseDialog.h"
#include "window/DialogFrame.h"

#include <QLabel>
#include <QTableWidget>

DefaultPhraseDialog::DefaultPhraseDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::DefaultPhraseDialog)
{
    ui->setupUi(this);
    PhraseTable::useDialogFont(this);
    DialogFrame::apply(this, ui->label_title, ui->title_close_button);
    DialogFrame::markBottomStrip(ui->bottom_widget);
    setFixedSize(400, 255);
    init();
}

DefaultPhraseDialog::~DefaultPhraseDialog() = default;

void DefaultPhraseDialog::init()
{
    setTableWidget();
}

void DefaultPhraseDialog::setTableWidget()
{
    QTableWidget *table = ui->tableWidget;
    PhraseTable::setup(table, {tr("缩写"), tr("自定义短语"), tr("排列位置")}, {110, 160, 90});
    s_inputOutputDicData data;
    data.inputPath = MainController::localPath().toStdWString();
    ShellWrapperInterface *shell = MainController::ShellWrapper();
    if (!shell || !shell->DicOperation(ed_userPhrase, ec_getDefaultPhrase, data)) {
        qCDebug(lcConfigtool) << "获取默认短语失败";
        return;
    }
    for (const UserPhraseItem &item : data.phraseList) {
        if (item.position < 1 || item.position > 9)
            continue;
        const int row = table->rowCount();
        table->insertRow(row);
        auto *abbr = new QTableWidgetItem(QString::fromStdWString(item.abbr));
        abbr->setTextAlignment(Qt::AlignCenter);
        table->setItem(row, 0, abbr);
        auto *phrase = new QLabel(table);
        phrase->setObjectName(QStringLiteral("abbr_label"));
        phrase->setFont(PhraseTable::cellFont());
        phrase->setFixedWidth(160);
        phrase->setAlignment(Qt::AlignCenter);
        setLabelText(phrase, QString::fromStdWString(item.phrase));
        table->setCellWidget(row, 1, phrase);
        auto *position = new QLabel(table);
        position->setFont(PhraseTable::cellFont());
        position->setAlignment(Qt::AlignCenter);
        setLabelText(position, QString::number(item.position));
        table->setCellWidget(row, 2, position);
    }
    if (table->rowCount() > 0)
        table->setCurrentCell(0, 0);
    table->setFocus();
}

void DefaultPhraseDialog::on_ok_pushButton_clicked()
{
    hide();
}
