#include "SystemShortcutKeysDialog.h"
#include "DialogFrame.h"
#include "KaiwoPromptDialog.h"
#include "app/MainController.h"
#include "config/SettingsStore.h"
#include "ui_SystemShortcutKeysDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QSettings>
#include <QVBoxLayout>

namespace
{

QComboBox *letterCombox(const char *name, QWidget *parent)
{
    auto *combox = new QComboBox(parent);
    combox->setObjectName(QLatin1String(name));
    combox->setFixedSize(60, 24);
    // A list view lets the style sheet style the popup's items.
    combox->setView(new QListView(combox));
    return combox;
}

QHBoxLayout *shortcutRow(QCheckBox *box, QComboBox *combox, QWidget *parent)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    box->setFixedWidth(110);
    row->addWidget(box);
    row->addWidget(new QLabel(QStringLiteral("Ctrl+Shift+"), parent));
    row->addWidget(combox);
    row->addStretch();
    return row;
}

QString letterOf(int index)
{
    return QString(QChar(static_cast<ushort>('A' + index)));
}

// The stored index of a combo's letter; anything but "A" to "Z" gives the
// fallback.
int indexOf(const QComboBox *combox, int fallback)
{
    const QString text = combox->currentText();
    if (text.isEmpty() || text.at(0) < QLatin1Char('A') || text.at(0) > QLatin1Char('Z'))
        return fallback;
    return text.at(0).unicode() - 'A';
}

const char *const kFanJianSlot = SLOT(slot_fangjianShortCutCombox_currentIndexChanged(QString));
const char *const kEngIMESlot = SLOT(slot_engIMEShortCutCombox_currentIndexChanged(QString));
const char *const kWbpySlot = SLOT(slot_wbpyShortCutCombox_currentIndexChanged(QString));

} // namespace

SystemShortcutKeysDialog::SystemShortcutKeysDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::SystemShortcutKeysDialog)
{
    ui->setupUi(this);
    DialogFrame::apply(this, ui->label_title, ui->title_close_button);
    setFixedSize(500, 325);
    DialogFrame::markBottomStrip(ui->bottom_widget);
    buildRows();
    initTable();
    initSettings();
}

SystemShortcutKeysDialog::~SystemShortcutKeysDialog() = default;

void SystemShortcutKeysDialog::buildRows()
{
    // The simplified/traditional row is built but never placed: its letter
    // still takes part in keeping the three letters distinct.
    mFanJianCheckBox = new QCheckBox(tr("简繁切换"), this);
    mFangjianShortCutCombox = letterCombox("fangjianShortCutCombox", this);
    mFanJianCheckBox->hide();
    mFangjianShortCutCombox->hide();

    mEngIMECheckBox = new QCheckBox(tr("英文输入法"), ui->contentWidget);
    mEngIMEShortCutCombox = letterCombox("engIMEShortCutCombox", ui->contentWidget);
    mWbpyCheckBox = new QCheckBox(tr("五笔拼音切换"), ui->contentWidget);
    mWbpyShortCutCombox = letterCombox("wbpyShortCutCombox", ui->contentWidget);
    ui->contentLayout->addSpacing(10);
    ui->contentLayout->addLayout(
        shortcutRow(mEngIMECheckBox, mEngIMEShortCutCombox, ui->contentWidget));
    ui->contentLayout->addLayout(
        shortcutRow(mWbpyCheckBox, mWbpyShortCutCombox, ui->contentWidget));
    ui->contentLayout->addStretch();
    mEngIMEShortCutCombox->setAccessibleName(mEngIMECheckBox->text());
    mWbpyShortCutCombox->setAccessibleName(mWbpyCheckBox->text());
}

void SystemShortcutKeysDialog::initTable()
{
    const auto letterKey = [this](const QString &key, int defaultValue, QString *letter,
                                  QComboBox *combox) {
        mTable.addCustom(
            key, defaultValue, [=](const QVariant &stored) { *letter = letterOf(stored.toInt()); },
            [=] { return QVariant(indexOf(combox, defaultValue)); });
    };
    mTable.addCheckBox(QStringLiteral("ShortCutFanJian"), 1, mFanJianCheckBox);
    letterKey(QStringLiteral("KeyFanJianSwitch"), 5, &mFanJianKey, mFangjianShortCutCombox);
    mTable.addCheckBox(QStringLiteral("ShortCutEnglishInput"), 1, mEngIMECheckBox);
    letterKey(QStringLiteral("KeyEnglishInputSwitch"), 4, &mEngIMEKey, mEngIMEShortCutCombox);
    mTable.addCheckBox(QStringLiteral("WBInputStyle"), 0, mWbpyCheckBox);
    letterKey(QStringLiteral("ShortcutWBInputStyleNew"), 22, &mWbpyKey, mWbpyShortCutCombox);
}

void SystemShortcutKeysDialog::initSettings()
{
    loadSettings(CON_CURRENT);
    updateFangjianShortCutCombox();
    updateEngIMEShortCutCombox();
    updateWbPyShortCutCombox();
}

void SystemShortcutKeysDialog::loadSettings(CON_TPYE mode)
{
    mTable.load(mode);
    if (QSettings *settings = SettingsStore::settings(mode))
        settings->sync();
}

void SystemShortcutKeysDialog::saveSettings()
{
    mTable.save();
}

void SystemShortcutKeysDialog::rebuildCombox(QComboBox *combox, const QString &own,
                                             const QString &other1, const QString &other2,
                                             const char *slot)
{
    combox->clear();
    QStringList letters;
    for (int i = 0; i < 26; ++i) {
        const QString letter = letterOf(i);
        if (letter != other1 && letter != other2)
            letters << letter;
    }
    combox->addItems(letters);
    combox->setCurrentIndex(combox->findText(own));
    connect(combox, SIGNAL(currentIndexChanged(QString)), this, slot, Qt::UniqueConnection);
}

void SystemShortcutKeysDialog::disconnectCombox(QComboBox *combox, const char *slot)
{
    disconnect(combox, SIGNAL(currentIndexChanged(QString)), this, slot);
}

void SystemShortcutKeysDialog::updateFangjianShortCutCombox()
{
    rebuildCombox(mFangjianShortCutCombox, mFanJianKey, mEngIMEKey, mWbpyKey, kFanJianSlot);
}

void SystemShortcutKeysDialog::updateEngIMEShortCutCombox()
{
    rebuildCombox(mEngIMEShortCutCombox, mEngIMEKey, mFanJianKey, mWbpyKey, kEngIMESlot);
}

void SystemShortcutKeysDialog::updateWbPyShortCutCombox()
{
    rebuildCombox(mWbpyShortCutCombox, mWbpyKey, mFanJianKey, mEngIMEKey, kWbpySlot);
}

void SystemShortcutKeysDialog::slot_fangjianShortCutCombox_currentIndexChanged(const QString &text)
{
    if (text.isEmpty() || text == mFanJianKey)
        return;
    disconnectCombox(mEngIMEShortCutCombox, kEngIMESlot);
    disconnectCombox(mWbpyShortCutCombox, kWbpySlot);
    mFanJianKey = text;
    updateEngIMEShortCutCombox();
    updateWbPyShortCutCombox();
}

void SystemShortcutKeysDialog::slot_engIMEShortCutCombox_currentIndexChanged(const QString &text)
{
    if (text.isEmpty() || text == mEngIMEKey)
        return;
    disconnectCombox(mFangjianShortCutCombox, kFanJianSlot);
    disconnectCombox(mWbpyShortCutCombox, kWbpySlot);
    mEngIMEKey = text;
    updateFangjianShortCutCombox();
    updateWbPyShortCutCombox();
}

void SystemShortcutKeysDialog::slot_wbpyShortCutCombox_currentIndexChanged(const QString &text)
{
    if (text.isEmpty() || text == mWbpyKey)
        return;
    disconnectCombox(mFangjianShortCutCombox, kFanJianSlot);
    disconnectCombox(mEngIMEShortCutCombox, kEngIMESlot);
    mWbpyKey = text;
    updateFangjianShortCutCombox();
    updateEngIMEShortCutCombox();
}

void SystemShortcutKeysDialog::on_ok_pushButton_clicked()
{
    saveSettings();
    MainController::self()->update_cfg_to_service();
    accept();
}

void SystemShortcutKeysDialog::on_cancel_pushButton_clicked()
{
    close();
}

void SystemShortcutKeysDialog::on_restore_default_pushButton_clicked()
{
    if (!KaiwoPromptDialog::confirmRestoreDefaults(this))
        return;
    disconnectCombox(mFangjianShortCutCombox, kFanJianSlot);
    disconnectCombox(mEngIMEShortCutCombox, kEngIMESlot);
    disconnectCombox(mWbpyShortCutCombox, kWbpySlot);
    loadSettings(CON_DEFAULT);
    updateFangjianShortCutCombox();
    updateEngIMEShortCutCombox();
    updateWbPyShortCutCombox();
}
