#include "NewSPConfDialog.h"
#include "KeyboardViewDialog.h"
#include "ShuangPinController.h"
#include "ui_NewSPConfDialog.h"
#include "window/KaiwoPromptDialog.h"

#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QQuickWidget>
#include <QRandomGenerator>

namespace
{

const QStringList kSystemTitles{"智能ABC",  "微软双拼", "拼音加加", "凯沃双拼",
                                "小鹤双拼", "紫光双拼", "自然码"};

// The syllables the editor offers: the compound consonants and the finals
// without "van" and "vn", in the model's table order.
const QStringList kSyllables{"zh",  "ch",   "sh",   "ai", "an",  "ang",  "ao",  "ei",
                             "en",  "eng",  "er",   "ia", "ian", "iang", "iao", "ie",
                             "in",  "ing",  "iong", "iu", "ong", "ou",   "ua",  "uai",
                             "uan", "uang", "ue",   "ui", "un",  "uo",   "v",   "ve"};

// Also the name a new scheme starts with.
QString title()
{
    return NewSPConfDialog::tr("新建双拼方案");
}

// The first choice of "基于方案": no scheme, every key free.
QString blankBase()
{
    return NewSPConfDialog::tr("基础方案");
}

} // namespace

NewSPConfDialog::NewSPConfDialog(QWidget *parent) : QDialog(parent), ui(new Ui::NewSPConfDialog)
{
    ui->setupUi(this);
    ShuangPinController::self()->loadShuangPinConf();
    mView = setUpKeyboardViewDialog(this, title(), ui->label_title, ui->title_close_button,
                                    ui->widget_2, ui->widget, this,
                                    QStringLiteral("newShuangPin.qml"), &mViewLayout);
    init();
}

NewSPConfDialog::~NewSPConfDialog() = default;

void NewSPConfDialog::init()
{
    mComboReady = true;
    ui->lineEdit->setText(title());
    ui->comboBox_baseOn->addItem(blankBase());
    ui->comboBox_baseOn->addItems(ShuangPinController::self()->mSchemeTitles);
    ui->comboBox_syllable->addItems(kSyllables);
    ui->comboBox_baseOn->setCurrentIndex(0);
}

void NewSPConfDialog::on_comboBox_baseOn_currentIndexChanged(const QString &arg1)
{
    ShuangPinController *model = ShuangPinController::self();
    if (arg1.contains(blankBase()))
        model->LoadBaseSpScheme();
    else
        model->showBaseOnShuangPin(model->mSchemeFiles.value(arg1));
    // Through entry 1 so that the key chooser is refilled for "zh".
    ui->comboBox_syllable->setCurrentIndex(1);
    ui->comboBox_syllable->setCurrentIndex(0);
}

void NewSPConfDialog::on_comboBox_syllable_currentIndexChanged(const QString &arg1)
{
    if (arg1.isEmpty())
        return;
    // A key the model does not offer leaves "-" selected.
    int index = 0;
    const QStringList keys = ShuangPinController::self()->getSyllablechoiceList(arg1, index);
    mComboReady = false;
    ui->comboBox_key->clear();
    ui->comboBox_key->addItems(keys);
    mComboReady = true;
    ui->comboBox_key->setCurrentIndex(index);
}

void NewSPConfDialog::on_comboBox_key_currentIndexChanged(const QString &arg1)
{
    if (!mComboReady || arg1.isEmpty())
        return;
    ShuangPinController *model = ShuangPinController::self();
    const char key = arg1.at(0).toLatin1();
    if (key == model->currentKey())
        return;
    const QString syllable = ui->comboBox_syllable->currentText();
    if (key == '-')
        model->removeCurrentChoiceSyllable(syllable);
    else
        model->currentSyllableKeyChange(syllable, key);
    // The model keeps its current key private; asking for the choices again
    // sets it to the syllable's new key.
    int index = 0;
    model->getSyllablechoiceList(syllable, index);
}

void NewSPConfDialog::notice(const QString &text, int kind)
{
    KaiwoPromptDialog prompt(title(), text, DIALOG_NOTICE, this);
    prompt.exec();
    mMessageKind = kind;
    SlotHandelMessageBox();
}

void NewSPConfDialog::on_pushButton_keep_clicked()
{
    ShuangPinController *model = ShuangPinController::self();
    QDir engineDir(ShuangPinController::localPath());
    if (!engineDir.exists())
        QDir().mkdir(engineDir.path());
    if (!engineDir.exists(QStringLiteral("ShuangPinSchemes")))
        engineDir.mkdir(QStringLiteral("ShuangPinSchemes"));

    const QString name = ui->lineEdit->text().trimmed();
    if (name.isEmpty()) {
        notice(tr("保存双拼方案失败：\n没有指定双拼方案名称！"), 4);
        return;
    }
    if (model->mSchemeTitles.contains(name)) {
        if (kSystemTitles.contains(name)) {
            notice(tr("双拼方案\"%1\"\n与系统方案重名，请重新命名！").arg(name), 3);
            return;
        }
        KaiwoPromptDialog question(title(), tr("双拼方案\"%1\"\n已经存在,确定要覆盖吗？").arg(name),
                                   DIALOG_QUESTION, this);
        if (question.exec() != 1)
            return;
        mMessageKind = 2;
        SlotHandelMessageBox();
        return;
    }

    const QTime now = QTime::currentTime();
    QRandomGenerator generator(quint32(now.second() * 1000 + now.msec()));
    mFileName = QString::number(generator.generate() & 0x7fffffff) + QStringLiteral(".ini");
    if (!model->keepNewSpScheme(name, mFileName)) {
        notice(tr("还有部分音节没有设置，请设置\n完所有音节后再进行保存！"), 0);
        return;
    }
    emit SigRefurbishSpSchemeList();
    mMessageKind = 1;
    accept();
}

void NewSPConfDialog::SlotHandelMessageBox()
{
    if (mMessageKind != 2)
        return;
    ShuangPinController *model = ShuangPinController::self();
    const QString name = ui->lineEdit->text().trimmed();
    const QString file = model->mSchemeFiles.value(name).split(QLatin1Char('/')).last();
    if (model->keepNewSpScheme(name, file))
        accept();
}

void NewSPConfDialog::on_pushButton_cancel_clicked()
{
    accept();
}
