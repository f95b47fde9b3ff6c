#include "ShuangPinSettingDialog.h"
#include "KeyboardViewDialog.h"
#include "NewSPConfDialog.h"
#include "ShuangPinController.h"
#include "app/ImeServiceClient.h"
#include "app/Logging.h"
#include "app/MainController.h"
#include "config/IniHelpers.h"
#include "config/IniSafety.h"
#include "config/SettingsStore.h"
#include "ui_ShuangPinSettingDialog.h"
#include "window/KaiwoPromptDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListView>
#include <QQuickWidget>
#include <QSettings>

namespace
{

const QStringList kUndeletableTitles{"智能ABC",  "微软双拼", "拼音加加", "凯沃双拼",
                                     "小鹤双拼", "紫光双拼", "自然码",   "国标双拼"};

const QString kDefaultSchemeName = QStringLiteral("Kaiwo");

// Null when the file holds values QSettings would read as objects (IniSafety)
// and, for writing, they cannot be taken out. Reading leaves them in place.
QSettings *openSettings(bool forWriting)
{
    const QString path = ShuangPinController::localPath() + QStringLiteral("env.ini");
    if (forWriting ? !IniSafety::makeSafe(path) : IniSafety::holdsSerialisedValues(path))
        return nullptr;
    auto *settings = new QSettings(path, QSettings::IniFormat);
    settings->setIniCodec("UTF-8");
    return settings;
}

} // namespace

ShuangPinSettingDialog::ShuangPinSettingDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::ShuangPinSettingDialog)
{
    qCDebug(lcConfigtool) << "ShuangPinSettingDialog";
    ui->setupUi(this);
    mView = setUpKeyboardViewDialog(this, tr("双拼方案设置"), ui->label_title,
                                    ui->title_close_button, ui->widget_2, ui->widget, ui->widget,
                                    QStringLiteral("shuangpin.qml"), &mViewLayout);
    init();
}

ShuangPinSettingDialog::~ShuangPinSettingDialog()
{
    qCDebug(lcConfigtool) << "~ShuangPinSettingDialog";
    while (QLayoutItem *item = mViewLayout->takeAt(0)) {
        if (QWidget *widget = item->widget())
            widget->deleteLater();
        delete item;
    }
}

void ShuangPinSettingDialog::init()
{
    ui->comboBox->clear();
    ui->comboBox->setView(new QListView(ui->comboBox));
    const QStringList &titles = ShuangPinController::self()->mSchemeTitles;
    if (titles.isEmpty())
        return;
    ui->comboBox->addItems(titles);
    setCurrentSpScheme();
}

bool ShuangPinSettingDialog::setCurrentSpScheme()
{
    QScopedPointer<QSettings> settings(openSettings(false));
    // Until a save cleans the file, the settings store reads it without them.
    const QString name =
        settings ? settings->value(QStringLiteral("Setting/ShuangPinName"), kDefaultSchemeName)
                       .toString()
                 : SettingsReader(CON_CURRENT)
                       .stringValue(QStringLiteral("ShuangPinName"), kDefaultSchemeName);
    qCDebug(lcConfigtool) << "setCurrentSpScheme::currentSpScheme=" << name;
    QString path =
        QString::asprintf("%s%s.ini", qUtf8Printable(ShuangPinController::localShuangPinPath()),
                          qUtf8Printable(name));
    qCDebug(lcConfigtool) << "setCurrentSpScheme::curSp=" << path;
    if (!QFileInfo::exists(path)) {
        const QString system = ShuangPinController::ShuangPinInstallPath();
        path = QString::asprintf("%s%s.ini", qUtf8Printable(system), qUtf8Printable(name));
        qCDebug(lcConfigtool) << "setCurrentSpScheme::" << system << "SP_SYS_PATH::curSp=" << path;
    }
    const QString title = QString::fromUtf8(
        getCfgValueString(QFile::encodeName(path).constData(), "metadata:title", "凯沃双拼"));
    const int index = ui->comboBox->findText(title);
    if (index < 0)
        return false;
    ui->comboBox->setCurrentIndex(index);
    return true;
}

bool ShuangPinSettingDialog::writeCurrentSpScheme(QString title)
{
    if (title.isEmpty())
        return false;
    QScopedPointer<QSettings> settings(openSettings(true));
    if (!settings)
        return false;
    settings->beginGroup(QStringLiteral("Setting"));
    const QString file =
        ShuangPinController::self()->mSchemeFiles.value(title).split(QLatin1Char('/')).last();
    settings->setValue(QStringLiteral("ShuangPinName"), file.section(QLatin1Char('.'), 0, 0));
    settings->endGroup();
    settings->sync();
    return true;
}

void ShuangPinSettingDialog::on_comboBox_currentIndexChanged(const QString &arg1)
{
    qCDebug(lcConfigtool) << "on_comboBox_currentIndexChanged:" << arg1;
    if (arg1.isEmpty())
        return;
    ShuangPinController *model = ShuangPinController::self();
    model->showCurrentShuangPin(model->mSchemeFiles.value(arg1));
    ui->pushButton_delete->setEnabled(!kUndeletableTitles.contains(arg1));
}

void ShuangPinSettingDialog::on_pushButton_new_clicked()
{
    // Stays a hidden child until this dialog goes.
    auto *editor = new NewSPConfDialog(this);
    connect(editor, &NewSPConfDialog::SigRefurbishSpSchemeList, this,
            &ShuangPinSettingDialog::SlotRefurbishSpSchemeList);
    editor->exec();
}

void ShuangPinSettingDialog::on_pushButton_delete_clicked()
{
    const QString path =
        ShuangPinController::self()->mSchemeFiles.value(ui->comboBox->currentText());
    const QFileInfo info(path);
    if (!path.isEmpty() && info.exists()) {
        if (info.isDir())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }
    SlotRefurbishSpSchemeList();
}

void ShuangPinSettingDialog::SlotRefurbishSpSchemeList()
{
    ShuangPinController *model = ShuangPinController::self();
    model->loadShuangPinConf();
    ui->comboBox->clear();
    ui->comboBox->addItems(model->mSchemeTitles);
    selectTitle(model->mCurrentSchemeName);
}

void ShuangPinSettingDialog::selectTitle(const QString &title)
{
    // Every equal entry in turn: the last one stays selected.
    for (int i = 0; i < ui->comboBox->count(); ++i) {
        if (ui->comboBox->itemText(i) == title)
            ui->comboBox->setCurrentIndex(i);
    }
}

void ShuangPinSettingDialog::on_pushButton_restoreDefault_clicked()
{
    if (!KaiwoPromptDialog::confirmRestoreDefaults(this))
        return;
    selectTitle(QStringLiteral("凯沃双拼"));
}

void ShuangPinSettingDialog::on_pushButton_ok_clicked()
{
    writeCurrentSpScheme(ui->comboBox->currentText());
    MainController::self()->update_cfg_to_service();
    ImeServiceClient::rebuildKeyMap();
    accept();
}

void ShuangPinSettingDialog::on_pushButton_cancel_clicked()
{
    accept();
}
