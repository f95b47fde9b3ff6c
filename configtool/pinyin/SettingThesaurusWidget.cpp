#include "SettingThesaurusWidget.h"
#include "ThesaurusLabelWidget.h"
#include "ThesaurusLookDialog.h"
#include "app/DataRoot.h"
#include "app/DigestCache.h"
#include "app/ImeServiceClient.h"
#include "app/Logging.h"
#include "app/MainController.h"
#include "app/SystemHelpers.h"
#include "config/AtomicFile.h"
#include "window/KaiwoPromptDialog.h"
#include "window/TableRowKeys.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace
{

QStringList nextFileNames;
bool hasNextFileNames = false;

const int kNameWidth = 130;
const QString kCellStyle = QStringLiteral("QLabel {border:1px;font-size:13px;}");

QFont nameFont()
{
    return QFont(QStringLiteral("Droid Sans Fallback"), 10);
}

// The name as its label shows it: shortened when 130 pixels or wider.
QString shownName(const QString &name, bool *elided)
{
    // The label's font as it resolves against the application's.
    const QFontMetrics metrics(nameFont().resolve(QApplication::font("QLabel")));
    *elided = metrics.horizontalAdvance(name) >= kNameWidth;
    return *elided ? metrics.elidedText(name, Qt::ElideRight, kNameWidth) : name;
}

} // namespace

SettingThesaurusWidget::SettingThesaurusWidget(QWidget *parent)
    : SettingsPage(parent),
      mCellDir(homeDirectory() + QStringLiteral("/.config/KaiwoShell/usr/kcd")),
      mKcdList(mCellDir + QLatin1Char('/') + KcdListFile::fileName())
{
    setObjectName(QStringLiteral("white_widget"));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    initUi();
    initThesaurusSettings();
    setCellThesaurusTable();
}

void SettingThesaurusWidget::setNextFileNames(const QStringList &paths)
{
    nextFileNames = paths;
    hasNextFileNames = true;
}

void SettingThesaurusWidget::initUi()
{
    auto *title = new QLabel(tr("细胞词库"), this);
    title->setObjectName(QStringLiteral("one_title_label"));

    mAddButton = new QPushButton(tr("添加细胞词库"), this);
    mAddButton->setObjectName(QStringLiteral("addCellThesaurusPushButton"));
    mAddButton->setFixedSize(150, 24);
    connect(mAddButton, &QPushButton::released, this,
            &SettingThesaurusWidget::slot_released_addCellThesaurusPushButton);

    mTable = new QTableWidget(this);
    mTable->setObjectName(QStringLiteral("tableWidget_thesaurus"));
    mTable->setAccessibleName(title->text());
    mTable->setFixedSize(420, 197);
    mTable->setColumnCount(4);
    mTable->verticalHeader()->setVisible(false);
    mTable->verticalHeader()->setDefaultSectionSize(36);
    QHeaderView *header = mTable->horizontalHeader();
    header->setSectionsClickable(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    const int widths[] = {175, 68, 80, 77};
    for (int i = 0; i < 4; ++i)
        mTable->setColumnWidth(i, widths[i]);
    mTable->setShowGrid(false);
    mTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    mTable->setSelectionMode(QAbstractItemView::SingleSelection);
    mTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(mTable, &QTableWidget::cellClicked, this,
            &SettingThesaurusWidget::slot_tabelWidgetThesaurusCellClicked);
    connect(mTable, &QTableWidget::cellPressed, this, &SettingThesaurusWidget::slot_cell_pressed);
    connect(mTable, &QTableWidget::itemSelectionChanged, this,
            &SettingThesaurusWidget::slot_selection_changed);
    connect(mTable->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &SettingThesaurusWidget::makeVisibleRowWidgets);
    mTable->installEventFilter(this);
    // The row's 查看 and 删除 labels take no focus: Enter and Delete stand in for them.
    auto *keys = new TableRowKeys(mTable);
    for (int key : {Qt::Key_Return, Qt::Key_Enter})
        keys->onKey(key, [this](int row) { actOnRow(row, QStringLiteral("lookLabel")); });
    keys->onKey(Qt::Key_Delete, [this](int row) { actOnRow(row, QStringLiteral("deleteLabel")); });

    auto *right = new QVBoxLayout;
    right->setSpacing(10);
    right->addWidget(mAddButton);
    right->addWidget(mTable);
    right->addStretch();

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(10);
    layout->addWidget(title, 0, Qt::AlignTop);
    layout->addLayout(right);
    layout->addStretch();
}

void SettingThesaurusWidget::setCellThesaurusTable()
{
    mTable->clear();
    mTable->setRowCount(0);
    mRows.clear();
    mTable->setHorizontalHeaderLabels({tr("名称"), tr("词条数"), tr("日期"), tr("操作")});
    QDir dir(mCellDir);
    if (dir.exists()) {
        const QStringList names = dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
        s_inputOutputDicData data;
        // Naming the directory asks for the installed files' headers only:
        // each was checked in full when it was added, and is again at rebuild.
        data.inputPath = mCellDir.toStdWString();
        for (const QString &name : names) {
            if (!name.endsWith(QLatin1String(".kcel")))
                continue;
            s_cellDicInfo info;
            info.strFilePath = (mCellDir + QLatin1Char('/') + name).toStdWString();
            data.cellDicList.push_back(info);
        }
        if (data.cellDicList.empty()) {
            mTable->setRowCount(0);
            return;
        }
        const bool ok =
            MainController::ShellWrapper()->DicOperation(ed_cellDict, ec_getCellDictInfo, data);
        qCDebug(lcConfigtool) << "nResult:" << data.nResult
                              << QString::fromStdWString(data.resultText);
        if (ok) {
            mNameIndex.clear();
            const QHash<QString, int> states = mKcdList.usedStates();
            for (s_cellDicInfo &info : data.cellDicList) {
                if (!info.bValid)
                    continue;
                int state = states.value(QString::fromStdWString(info.strId), -1);
                if (state < 0) {
                    state = 1;
                    mChanged = true;
                }
                appendRow(info, state == 1, mTable->rowCount() == 0);
            }
        }
    }
    makeVisibleRowWidgets();
    if (mTable->rowCount() > 0)
        makeFirstRowCurrent();
}

QString SettingThesaurusWidget::appendRow(const s_cellDicInfo &info, bool checked, bool whiteCheck)
{
    Row entry;
    entry.info = info;
    entry.shownName = shownName(QString::fromStdWString(info.strName), &entry.elided);
    entry.checked = checked;
    entry.whiteCheck = whiteCheck;
    mRows.append(entry);
    mTable->insertRow(mTable->rowCount());
    mNameIndex.insert(entry.shownName, QString::fromStdWString(info.strId));
    return entry.shownName;
}

void SettingThesaurusWidget::makeVisibleRowWidgets()
{
    if (mRows.isEmpty())
        return;
    // The table's own height, not its viewport's: that is laid out only
    // once the page is shown.
    const int first = qMax(0, mTable->rowAt(0));
    const int rows = mTable->height() / mTable->verticalHeader()->defaultSectionSize() + 2;
    for (int row = first; row < qMin(first + rows, int(mRows.size())); ++row)
        makeRowWidgets(row);
}

void SettingThesaurusWidget::makeRowWidgets(int row)
{
    if (mTable->cellWidget(row, 0))
        return;
    Row &entry = mRows[row];
    auto *nameCell = new QWidget;
    auto *nameLayout = new QHBoxLayout(nameCell);
    nameLayout->setSpacing(0);
    auto *box = new QCheckBox(nameCell);
    box->setObjectName(QStringLiteral("checkbox"));
    box->setFocusPolicy(Qt::NoFocus);
    box->setChecked(entry.checked);
    TableRowKeys::nameCheckBox(box, QString::fromStdWString(entry.info.strName));
    connect(box, &QCheckBox::clicked, this, &SettingThesaurusWidget::slot_checkbox_statechanged);
    auto *nameLabel = new QLabel(nameCell);
    nameLabel->setObjectName(QStringLiteral("text_label"));
    nameLabel->setFont(nameFont());
    nameLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (entry.elided)
        nameLabel->setToolTip(QString::fromStdWString(entry.info.strName));
    nameLabel->setText(entry.shownName);
    nameLayout->addWidget(box);
    nameLayout->addWidget(nameLabel, 1);
    mTable->setCellWidget(row, 0, nameCell);

    auto *count = new QLabel(QString::number(entry.info.nWordsCount));
    auto *date = new QLabel(time_2_string(entry.info.nDate));
    for (QLabel *label : {count, date}) {
        label->setStyleSheet(kCellStyle);
        label->setAlignment(Qt::AlignCenter);
    }
    mTable->setCellWidget(row, 1, count);
    mTable->setCellWidget(row, 2, date);

    auto *actions = new ThesaurusLabelWidget(true, entry.info, nullptr);
    connect(actions, &ThesaurusLabelWidget::sig_lookLabel_or_deleteLabel, this,
            &SettingThesaurusWidget::slot_lookLabel_or_deleteLabel);
    mTable->setCellWidget(row, 3, actions);

    setCheckImage(row, entry.whiteCheck);
}

QCheckBox *SettingThesaurusWidget::checkBox(int row) const
{
    return TableRowKeys::rowCheckBox(mTable, row);
}

void SettingThesaurusWidget::actOnRow(int row, const QString &action)
{
    makeRowWidgets(row);
    auto *labels = qobject_cast<ThesaurusLabelWidget *>(mTable->cellWidget(row, 3));
    s_cellDicInfo info = labels->info();
    slot_lookLabel_or_deleteLabel(action, info);
    slot_tabelWidgetThesaurusCellClicked(row, 3);
}

bool SettingThesaurusWidget::isChecked(int row) const
{
    QCheckBox *box = checkBox(row);
    return box ? box->isChecked() : mRows.at(row).checked;
}

void SettingThesaurusWidget::setChecked(int row, bool checked)
{
    mRows[row].checked = checked;
    if (QCheckBox *box = checkBox(row))
        box->setChecked(checked);
}

void SettingThesaurusWidget::setCheckImage(int row, bool white)
{
    mRows[row].whiteCheck = white;
    QCheckBox *box = checkBox(row);
    if (!box)
        return;
    box->setStyleSheet(
        white ? QStringLiteral(
                    "QCheckBox::indicator:checked{ image:url(://picture/check-select-white.png); }")
              : QStringLiteral(
                    "QCheckBox::indicator:checked{ image:url(://picture/check-select.png); }"));
}

void SettingThesaurusWidget::makeFirstRowCurrent()
{
    mTable->setCurrentCell(0, 0);
    mCurrentRow = 0;
    mTable->setFocus();
}

void SettingThesaurusWidget::slot_released_addCellThesaurusPushButton()
{
    QStringList paths;
    if (hasNextFileNames) {
        paths = nextFileNames;
        hasNextFileNames = false;
    } else {
        paths = QFileDialog::getOpenFileNames(
            this, tr("打开"), QString::fromLocal8Bit(qgetenv("HOME")), tr("细胞词库(*.kcel)"));
    }
    for (const QString &path : paths) {
        s_inputOutputDicData data;
        s_cellDicInfo request;
        request.strFilePath = path.toStdWString();
        data.cellDicList.push_back(request);
        MainController::ShellWrapper()->DicOperation(ed_cellDict, ec_getCellDictInfo, data);
        s_cellDicInfo info = data.cellDicList.empty() ? request : data.cellDicList.front();
        const QString fileName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        if (!info.bValid) {
            KaiwoPromptDialog(tr("添加细胞词库"), tr("细胞词库\"%1\"是无效词库。").arg(fileName),
                              DIALOG_NOTICE, this)
                .exec();
            continue;
        }
        const QString target = mCellDir + QLatin1Char('/') + fileName;
        if (!QFile::copy(path, target)) {
            qCDebug(lcConfigtool) << "copy cell dictionary failed:" << path << "->" << target;
        } else {
            info.strFilePath = target.toStdWString();
            // The name as it would be shown decides whether the row exists.
            bool elided = false;
            const QString shown = shownName(QString::fromStdWString(info.strName), &elided);
            if (!mNameIndex.contains(shown, QString::fromStdWString(info.strId))) {
                appendRow(info, true, mTable->rowCount() == 0);
                makeVisibleRowWidgets();
                if (mTable->rowCount() == 1)
                    makeFirstRowCurrent();
            }
        }
        KaiwoPromptDialog(tr("添加细胞词库"), tr("细胞词库\"%1\"安装成功。").arg(fileName),
                          DIALOG_NOTICE, this)
            .exec();
        mChanged = true;
        rebuildCell();
    }
}

void SettingThesaurusWidget::slot_lookLabel_or_deleteLabel(QString action, s_cellDicInfo &info)
{
    mLastAction = action;
    mLastInfo = info;
}

void SettingThesaurusWidget::slot_tabelWidgetThesaurusCellClicked(int row, int column)
{
    if (column != 3)
        return;
    // One label click is handled once, whatever the user answers.
    const QString action = mLastAction;
    mLastAction.clear();
    if (action == QLatin1String("lookLabel")) {
        ThesaurusLookDialog dialog(mLastInfo, this);
        dialog.setModal(true);
        dialog.exec();
    } else if (action == QLatin1String("deleteLabel")) {
        KaiwoPromptDialog prompt(
            tr("删除细胞词库"),
            tr("确定要删除细胞词库\"%1\"吗？").arg(QString::fromStdWString(mLastInfo.strName)),
            DIALOG_QUESTION, this);
        if (prompt.exec() != QDialog::Accepted)
            return;
        const bool removed = QFile::remove(QString::fromStdWString(mLastInfo.strFilePath));
        qCDebug(lcConfigtool) << "remove cell dictionary:" << removed;
        QWidget *cell = mTable->cellWidget(row, 0);
        auto *label = cell ? cell->findChild<QLabel *>(QStringLiteral("text_label")) : nullptr;
        // Only this row's entry: another row may show the same name and id.
        const auto entry =
            label ? mNameIndex.find(label->text(), QString::fromStdWString(mLastInfo.strId))
                  : mNameIndex.end();
        if (entry != mNameIndex.end())
            mNameIndex.erase(entry);
        mTable->removeRow(row);
        mRows.remove(row);
        makeVisibleRowWidgets();
        mChanged = true;
        rebuildCell();
    }
}

void SettingThesaurusWidget::slot_openurl(QString url)
{
    QDesktopServices::openUrl(QUrl(url));
}

void SettingThesaurusWidget::slot_checkbox_statechanged(bool)
{
    mChanged = true;
}

void SettingThesaurusWidget::slot_cell_pressed(int row, int)
{
    if (mCurrentRow >= 0 && mCurrentRow < mTable->rowCount())
        setCheckImage(mCurrentRow, false);
    setCheckImage(row, true);
    mCurrentRow = row;
}

void SettingThesaurusWidget::slot_selection_changed()
{
    if (mCurrentRow == -1)
        return;
    const QList<QTableWidgetSelectionRange> ranges = mTable->selectedRanges();
    const int top = ranges.isEmpty() ? -1 : ranges.first().topRow();
    const int bottom = ranges.isEmpty() ? -1 : ranges.first().bottomRow();
    for (int row = 0; row < mTable->rowCount(); ++row)
        setCheckImage(row, row >= top && row <= bottom);
}

bool SettingThesaurusWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mTable && event->type() == QEvent::Show)
        makeVisibleRowWidgets();
    if (watched == mTable && event->type() == QEvent::FocusOut) {
        mTable->setCurrentCell(-1, -1);
        return true;
    }
    return SettingsPage::eventFilter(watched, event);
}

void SettingThesaurusWidget::saveThesaurusSettings()
{
    rebuildCell();
}

void SettingThesaurusWidget::restoreTheaurusDefaultSetting()
{
    if (mNameIndex.isEmpty())
        return;
    for (int row = 0; row < mRows.size(); ++row)
        setChecked(row, false);
    mChanged = true;
}

void SettingThesaurusWidget::rebuildCell()
{
    if (!mChanged)
        return;
    s_inputOutputDicData data;
    data.inputPath = MainController::localPcPyDirPath().toStdWString();
    // The engines key their word data by the same digests, read from this cache.
    DigestCache digests(QFile::encodeName(mCellDir).toStdString());
    QList<KcdListFile::Row> rows;
    for (int row = 0; row < mRows.size(); ++row) {
        const s_cellDicInfo &info = mRows.at(row).info;
        const bool checked = isChecked(row);
        if (checked)
            data.cellDicList.push_back(info);
        KcdListFile::Row entry;
        entry.id = QString::fromStdWString(info.strId);
        entry.name = QString::fromStdWString(info.strName);
        entry.type = QString::fromStdWString(info.strType);
        const QString path = QString::fromStdWString(info.strFilePath);
        entry.md5 = path.startsWith(mCellDir + QLatin1Char('/'))
                        ? QString::fromStdString(digests.digest(
                              QFile::encodeName(path.mid(mCellDir.size() + 1)).toStdString()))
                        : KcdListFile::md5Of(path);
        entry.used = checked;
        rows << entry;
    }
    mKcdList.rewrite(rows);
    if (digests.changed()) {
        const std::string cache = digests.serialize();
        writeFileAtomically(digests.path().c_str(), QByteArray::fromStdString(cache));
    }

    MainController *controller = MainController::self();
    const bool pinyin = controller->OperDic(ed_cellDict, ec_rebuildCellDict, data, SHELL_PINYIN);
    qCDebug(lcConfigtool) << "rebuild cell pinyin:" << pinyin;
    const bool wubi = controller->OperDic(ed_cellDict, ec_rebuildCellDict, data, SHELL_WUBI);
    qCDebug(lcConfigtool) << "rebuild cell wubi:" << wubi;
    ImeServiceClient::reloadDictionary(1);
    mChanged = false;
}
