#include "CorrectionDialog.h"
#include "app/ImeServiceClient.h"
#include "app/MainController.h"
#include "ui_CorrectionDialog.h"
#include "window/DialogFrame.h"
#include "window/KaiwoPromptDialog.h"

#include <QCheckBox>
#include <QLabel>

CorrectionDialog::CorrectionDialog(QWidget *parent) : QDialog(parent), ui(new Ui::CorrectionDialog)
{
    ui->setupUi(this);
    DialogFrame::apply(this, ui->label_title, ui->title_close_button);
    setFixedSize(500, 325);
    DialogFrame::markBottomStrip(ui->bottom_widget);

    for (int i = 0; i < CorrectionFile::kRuleCount; ++i) {
        const CorrectionFile::Rule &rule = CorrectionFile::rule(i);
        mRuleBoxes[i] = new QCheckBox(CorrectionFile::ruleText(i), ui->contentWidget);
        mRuleBoxes[i]->setObjectName(QLatin1String(rule.key) + QLatin1String("_checkBox"));
        ui->gridLayout->addWidget(mRuleBoxes[i], i, 0);
        ui->gridLayout->addWidget(new QLabel(QString::fromUtf8(rule.example), ui->contentWidget), i,
                                  1);
    }
    // Keep the rows and columns packed at the top left.
    ui->gridLayout->setRowStretch(CorrectionFile::kRuleCount, 1);
    ui->gridLayout->setColumnStretch(2, 1);
    DialogFrame::tabOrder(
        {ui->restore_default_pushButton, ui->ok_pushButton, ui->cancel_pushButton});

    readCorrection(MainController::localPcPyDirPath());
}

CorrectionDialog::~CorrectionDialog() = default;

bool CorrectionDialog::readCorrection(QString dir)
{
    CorrectionFile::Rules on{};
    const bool read = CorrectionFile::read(dir + CorrectionFile::fileName(), &on);
    for (int i = 0; i < CorrectionFile::kRuleCount; ++i) {
        if (on[i])
            mRuleBoxes[i]->setChecked(true);
    }
    return read;
}

bool CorrectionDialog::writeCorrection()
{
    CorrectionFile::Rules on{};
    for (int i = 0; i < CorrectionFile::kRuleCount; ++i)
        on[i] = mRuleBoxes[i]->isChecked();
    return CorrectionFile::write(MainController::localPcPyDirPath() + CorrectionFile::fileName(),
                                 on);
}

void CorrectionDialog::on_ok_pushButton_clicked()
{
    writeCorrection();
    MainController::self()->update_cfg_to_service();
    ImeServiceClient::rebuildKeyMap();
    accept();
}

void CorrectionDialog::on_restore_default_pushButton_clicked()
{
    if (!KaiwoPromptDialog::confirmRestoreDefaults(this))
        return;
    // The default is every rule on.
    for (QCheckBox *box : mRuleBoxes)
        box->setChecked(true);
}

void CorrectionDialog::on_cancel_pushButton_clicked()
{
    close();
}
