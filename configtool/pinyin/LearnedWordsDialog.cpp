#include "LearnedWordsDialog.h"
#include "app/ImeServiceClient.h"
#include "config/LearnedWordList.h"
#include "window/DialogFrame.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QWidget>

#include <algorithm>

namespace
{

enum Column { PinyinColumn, WordColumn, UsesColumn };

QList<QStandardItem *> rowOf(const LearnedWordList::Word &word)
{
    auto *uses = new QStandardItem;
    uses->setData(word.uses, Qt::DisplayRole); // sorts as a number
    return {new QStandardItem(word.pinyin), new QStandardItem(word.word), uses};
}

// "nihao" finds "ni hao" (the engine's) and "ni'hao": the separators
// between syllables are nothing one types when searching.
QRegularExpression looseMatch(const QString &typed)
{
    QStringList characters;
    for (const QChar c : typed)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\''))
            characters << QRegularExpression::escape(c);
    return QRegularExpression(characters.join(QStringLiteral("[ ']*")),
                              QRegularExpression::CaseInsensitiveOption);
}

} // namespace

LearnedWordsDialog::LearnedWordsDialog(QWidget *parent)
    : QDialog(parent), mTitle(new QLabel(tr("已学词语"), this)),
      mCloseButton(new QPushButton(this)), mSearch(new QLineEdit(this)), mStatus(new QLabel(this)),
      mTable(new QTableView(this)), mWords(new QStandardItemModel(this)),
      mShown(new QSortFilterProxyModel(this)), mDeleteButton(new QPushButton(tr("删除"))),
      mOkButton(new QPushButton(tr("确定")))
{
    DialogFrame::apply(this, mTitle, mCloseButton);
    setFixedSize(500, 375);
    QPalette background = palette();
    background.setBrush(QPalette::Window,
                        QBrush(QPixmap(QStringLiteral("://picture/backImage-500x375.png"))));
    setPalette(background);
    setAutoFillBackground(true);
    auto *logo = new QLabel(this);
    logo->setPixmap(QPixmap(QStringLiteral(":/picture/logo22x22.png")));
    logo->setGeometry(4, 4, 22, 22);
    mTitle->setGeometry(31, 2, 201, 24);
    mCloseButton->setGeometry(469, 1, 30, 28);
    mCloseButton->setObjectName(QStringLiteral("title_close_button"));
    mSearch->setObjectName(QStringLiteral("search_lineEdit"));
    mStatus->setObjectName(QStringLiteral("count_label"));
    mTable->setObjectName(QStringLiteral("words_tableView"));
    mDeleteButton->setObjectName(QStringLiteral("delete_pushButton"));
    mOkButton->setObjectName(QStringLiteral("ok_pushButton"));
    mCloseButton->setAccessibleName(tr("关闭"));

    mSearch->setGeometry(32, 40, 300, 26);
    mSearch->setPlaceholderText(tr("搜索拼音或词语"));
    mSearch->setAccessibleName(tr("搜索"));
    mSearch->setClearButtonEnabled(true);
    mStatus->setGeometry(342, 40, 126, 26);
    mStatus->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    mWords->setHorizontalHeaderLabels({tr("拼音"), tr("词语"), tr("使用次数")});
    mShown->setSourceModel(mWords);
    mShown->setFilterKeyColumn(-1);
    mTable->setModel(mShown);
    mTable->setGeometry(32, 74, 436, 240);
    mTable->setAccessibleName(tr("已学词语"));
    mTable->setSortingEnabled(true);
    mTable->sortByColumn(UsesColumn, Qt::DescendingOrder);
    mTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    mTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mTable->verticalHeader()->hide();
    mTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    auto *bottom = new QWidget(this);
    bottom->setGeometry(1, 323, 498, 51);
    DialogFrame::markBottomStrip(bottom);
    mDeleteButton->setParent(bottom);
    mDeleteButton->setGeometry(20, 10, 80, 30);
    mOkButton->setParent(bottom);
    mOkButton->setGeometry(398, 10, 80, 30);
    mOkButton->setDefault(true);

    connect(mSearch, &QLineEdit::textChanged, this, [this](const QString &typed) {
        mShown->setFilterRegularExpression(looseMatch(typed));
    });
    connect(mTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LearnedWordsDialog::updateButtons);
    connect(mDeleteButton, &QPushButton::clicked, this, &LearnedWordsDialog::forgetSelected);
    connect(new QShortcut(QKeySequence::Delete, mTable), &QShortcut::activated, this,
            &LearnedWordsDialog::forgetSelected);
    connect(mOkButton, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(mSearch, mTable);
    setTabOrder(mTable, mDeleteButton);
    setTabOrder(mDeleteButton, mOkButton);
    reload();
    DialogFrame::centreOnDesktop(this);
}

bool LearnedWordsDialog::reload()
{
    mWords->removeRows(0, mWords->rowCount());
    bool answered = false;
    const QString text = ImeServiceClient::learnedWords(&answered);
    for (const LearnedWordList::Word &word : LearnedWordList::decode(text))
        mWords->appendRow(rowOf(word));
    mStatus->setText(answered ? tr("共 %1 个").arg(mWords->rowCount()) : tr("输入法未响应"));
    updateButtons();
    return answered;
}

void LearnedWordsDialog::forgetSelected()
{
    QList<int> rows;
    for (const QModelIndex &shown : mTable->selectionModel()->selectedRows())
        rows << mShown->mapToSource(shown).row();
    // From the bottom, so the rows still to go keep their numbers.
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (const int row : rows) {
        const QString pinyin = mWords->item(row, PinyinColumn)->text();
        const QString word = mWords->item(row, WordColumn)->text();
        if (ImeServiceClient::forgetLearnedWord(pinyin, word))
            mWords->removeRow(row);
    }
    mStatus->setText(tr("共 %1 个").arg(mWords->rowCount()));
    updateButtons();
}

void LearnedWordsDialog::updateButtons()
{
    mDeleteButton->setEnabled(mTable->selectionModel()->hasSelection());
}
