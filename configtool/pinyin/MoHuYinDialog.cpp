#include "MoHuYinDialog.h"
#include "app/ImeServiceClient.h"
#include "app/MainController.h"
#include "ui_MoHuYinDialog.h"
#include "window/DialogFrame.h"
#include "window/KaiwoPromptDialog.h"

#include <QCheckBox>

namespace
{

// Grid row and column (from 0) of each pair, in file order: the pairs are
// grouped by kind on screen, not in the order the engine lists them.
const int kPlaces[FuzzyFile::kPairCount][2] = {
    {0, 0}, {0, 1}, {0, 2}, {1, 2}, {1, 0}, {1, 1}, {2, 0}, {2, 1}, {3, 0}, {3, 1}, {2, 2},
};

} // namespace

MoHuYinDialog::MoHuYinDialog(QWidget *parent) : QDialog(parent), ui(new Ui::MoHuYinDialog)
{
    ui->setupUi(this);
    DialogFrame::apply(this, ui->label_title, ui->title_close_button);
    setFixedSize(500, 325);
    DialogFrame::markBottomStrip(ui->bottom_widget);

    for (int i = 0; i < FuzzyFile::kPairCount; ++i) {
        mPairBoxes[i] = new QCheckBox(FuzzyFile::pairText(i), ui->contentWidget);
        mPairBoxes[i]->setObjectName(QLatin1String(FuzzyFile::pair(i).key) +
                                     QLatin1String("_checkBox"));
        ui->gridLayout->addWidget(mPairBoxes[i], kPlaces[i][0], kPlaces[i][1]);
    }
    for (int column = 0; column < 3; ++column)
        ui->gridLayout->setColumnStretch(column, 1);
    // The file's order is not the screen's: Tab goes row by row.
    QWidget *previous = nullptr;
    for (int row = 0; row < ui->gridLayout->rowCount(); ++row)
        for (int column = 0; column < 3; ++column) {
            QLayoutItem *item = ui->gridLayout->itemAtPosition(row, column);
            if (QWidget *box = item ? item->widget() : nullptr) {
                if (previous)
                    QWidget::setTabOrder(previous, box);
                previous = box;
            }
        }
    DialogFrame::tabOrder({previous, ui->smart_checkBox});
    DialogFrame::tabOrder(
        {ui->restore_default_pushButton, ui->ok_pushButton, ui->cancel_pushButton});
    mTable.addCheckBox(QStringLiteral("MohuSmart"), 1, ui->smart_checkBox);

    readMoHuYinIni(MainController::localPcPyDirPath());
    loadSettings(CON_CURRENT);
}

MoHuYinDialog::~MoHuYinDialog() = default;

bool MoHuYinDialog::readMoHuYinIni(QString dir)
{
    FuzzyFile::Pairs on{};
    const bool read = FuzzyFile::read(dir + FuzzyFile::fileName(), &on);
    for (int i = 0; i < FuzzyFile::kPairCount; ++i) {
        if (on[i])
            mPairBoxes[i]->setChecked(true);
    }
    return read;
}

bool MoHuYinDialog::writeMoHuYinIni()
{
    FuzzyFile::Pairs on{};
    for (int i = 0; i < FuzzyFile::kPairCount; ++i)
        on[i] = mPairBoxes[i]->isChecked();
    return FuzzyFile::write(MainController::localPcPyDirPath() + FuzzyFile::fileName(), on,
                            ui->smart_checkBox->isChecked());
}

void MoHuYinDialog::loadSettings(CON_TPYE mode)
{
    mTable.load(mode);
}

void MoHuYinDialog::on_ok_pushButton_clicked()
{
    writeMoHuYinIni();
    mTable.save();
    MainController::self()->update_cfg_to_service();
    ImeServiceClient::rebuildKeyMap();
    accept();
}

void MoHuYinDialog::on_restore_default_pushButton_clicked()
{
    if (!KaiwoPromptDialog::confirmRestoreDefaults(this))
        return;
    for (QCheckBox *box : mPairBoxes)
        box->setChecked(false);
    loadSettings(CON_DEFAULT);
}

void MoHuYinDialog::on_cancel_pushButton_clicked()
{
    close();
}
