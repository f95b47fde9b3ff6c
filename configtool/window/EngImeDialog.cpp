#include "EngImeDialog.h"
#include "DialogFrame.h"
#include "KaiwoPromptDialog.h"
#include "app/ImeServiceClient.h"
#include "app/MainController.h"
#include "config/SettingsStore.h"
#include "ui_EngImeDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>

namespace
{

// A row of widgets indented like the options they belong to.
QHBoxLayout *indentedRow(std::initializer_list<QWidget *> widgets)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(20, 0, 0, 0);
    row->setSpacing(2);
    for (QWidget *widget : widgets)
        row->addWidget(widget);
    row->addStretch();
    return row;
}

} // namespace

EngImeDialog::EngImeDialog(QWidget *parent) : QDialog(parent), ui(new Ui::EngImeDialog)
{
    ui->setupUi(this);
    DialogFrame::apply(this, ui->label_title, ui->title_close_button);
    setFixedSize(500, 325);
    DialogFrame::markBottomStrip(ui->bottom_widget);
    buildGrid();
    initTable();
    connect(mLearnFreqCheckBox, &QCheckBox::toggled, this,
            &EngImeDialog::slot_checkBox_DFMCheckbox_toggle);
    connect(mRestoreEngThesaurusButton, &QPushButton::clicked, this,
            &EngImeDialog::slot_restoreEngThesaurusButton_clicked);
    initSettings();
}

EngImeDialog::~EngImeDialog() = default;

void EngImeDialog::buildGrid()
{
    QWidget *content = ui->contentWidget;
    const auto box = [content](const QString &text, const char *name) {
        auto *checkBox = new QCheckBox(text, content);
        checkBox->setObjectName(QLatin1String(name));
        return checkBox;
    };
    mDefaultEnglishInputCheckBox = box(tr("启动时进入英文输入法"), "DefaultEnglishInput");
    mStarAsWildcardCheckBox = box(tr("以通配符*代替部分字母"), "EnglishInput_StarAsWildcard");
    mExactMatchesCheckBox = box(tr("完全匹配单词始终在前"), "EnglishInput_ExactMatches");
    mAddSpaceCheckBox = box(tr("补全后自动补加空格"), "EnglishInput_AddSpace");
    mLearnFreqCheckBox = box(tr("动态调频"), "EnglishInput_LearnFreq");
    mLearnNewWordCheckBox = box(tr("记录新词"), "EnglishInput_LearnNewWord");
    mAutofillSpaceCheckBox = box(tr("空格"), "EnglishInput_Autofill_Space");
    mAutofillTabCheckBox = box(tr("Tab"), "EnglishInput_Autofill_Tab");
    mAutofillEnterCheckBox = box(tr("回车"), "EnglishInput_Autofill_Enter");

    mRestoreEngThesaurusButton = new QPushButton(tr("恢复"), content);
    mRestoreEngThesaurusButton->setObjectName(QStringLiteral("restoreEngThesaurusButton"));
    mRestoreEngThesaurusButton->setFixedSize(60, 24);
    auto *thesaurusRow = new QHBoxLayout;
    thesaurusRow->setSpacing(2);
    thesaurusRow->addWidget(new QLabel(tr("英文输入法词库"), content));
    thesaurusRow->addWidget(mRestoreEngThesaurusButton);
    thesaurusRow->addStretch();

    QGridLayout *grid = ui->contentLayout;
    grid->addWidget(mDefaultEnglishInputCheckBox, 0, 0);
    grid->addWidget(mStarAsWildcardCheckBox, 0, 1);
    grid->addWidget(mExactMatchesCheckBox, 1, 0);
    grid->addWidget(mAddSpaceCheckBox, 1, 1);
    grid->addWidget(mLearnFreqCheckBox, 2, 0);
    grid->addLayout(thesaurusRow, 2, 1);
    grid->addLayout(indentedRow({mLearnNewWordCheckBox}), 3, 0);
    grid->addWidget(new QLabel(tr("自动补全第一候选项快捷键"), content), 4, 0);
    grid->addLayout(
        indentedRow({mAutofillSpaceCheckBox, mAutofillTabCheckBox, mAutofillEnterCheckBox}), 5, 0);
    grid->setRowStretch(6, 1);
    DialogFrame::tabOrder({mLearnFreqCheckBox, mRestoreEngThesaurusButton, mLearnNewWordCheckBox});
}

void EngImeDialog::initTable()
{
    mTable.addCheckBox(QStringLiteral("DefaultEnglishInput"), 0, mDefaultEnglishInputCheckBox);
    mTable.addCheckBox(QStringLiteral("EnglishInput_AddSpace"), 1, mAddSpaceCheckBox);
    mTable.addCheckBox(QStringLiteral("EnglishInput_LearnFreq"), 1, mLearnFreqCheckBox);
    mTable.addCustom(
        QStringLiteral("EnglishInput_LearnNewWord"), 1,
        [this](const QVariant &stored) {
            mLearnNewWordCheckBox->setChecked(stored.toInt() != 0);
            // The toggled signal does not fire when "动态调频" keeps its state.
            mLearnNewWordCheckBox->setEnabled(!mLearnFreqCheckBox->isChecked());
        },
        [this] { return QVariant(mLearnNewWordCheckBox->isChecked() ? 1 : 0); });
    mTable.addCheckBox(QStringLiteral("EnglishInput_ExactMatches"), 1, mExactMatchesCheckBox);
    mTable.addCheckBox(QStringLiteral("EnglishInput_StarAsWildcard"), 1, mStarAsWildcardCheckBox);
    mTable.addCheckBox(QStringLiteral("EnglishInput_Autofill_Space"), 1, mAutofillSpaceCheckBox);
    mTable.addCheckBox(QStringLiteral("EnglishInput_Autofill_Tab"), 1, mAutofillTabCheckBox);
    mTable.addCheckBox(QStringLiteral("EnglishInput_Autofill_Enter"), 0, mAutofillEnterCheckBox);
}

void EngImeDialog::initSettings()
{
    loadSettings(CON_CURRENT);
}

void EngImeDialog::loadSettings(CON_TPYE mode)
{
    mTable.load(mode);
    if (QSettings *settings = SettingsStore::settings(mode))
        settings->sync();
}

void EngImeDialog::saveSettings()
{
    mTable.save();
}

void EngImeDialog::slot_checkBox_DFMCheckbox_toggle(bool checked)
{
    mLearnNewWordCheckBox->setEnabled(!checked);
}

void EngImeDialog::on_ok_pushButton_clicked()
{
    saveSettings();
    MainController::self()->update_cfg_to_service();
    accept();
}

void EngImeDialog::on_cancel_pushButton_clicked()
{
    close();
}

void EngImeDialog::on_restore_default_pushButton_clicked()
{
    if (KaiwoPromptDialog::confirmRestoreDefaults(this))
        loadSettings(CON_DEFAULT);
}

void EngImeDialog::slot_restoreEngThesaurusButton_clicked()
{
    const QString title = tr("恢复默认词库");
    KaiwoPromptDialog question(title, tr("确定恢复英文输入法词库？"), DIALOG_QUESTION, this);
    if (question.exec() != QDialog::Accepted)
        return;
    const bool restored = ImeServiceClient::ask(QStringLiteral("recoveryEnThesaurus"), {},
                                                "recoveryEnThesaurus In fail!\n");
    KaiwoPromptDialog notice(title, restored ? tr("恢复英文词库成功！") : tr("恢复英文词库失败！"),
                             DIALOG_NOTICE, this);
    notice.exec();
}
