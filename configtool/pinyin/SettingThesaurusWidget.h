#pragma once

#include "KcdListFile.h"
#include "app/DicOperationTypes.h"
#include "window/SettingsPage.h"

#include <QMultiMap>
#include <QStringList>
#include <QVector>

class QCheckBox;
class QPushButton;
class QTableWidget;

// The "细胞词库" page: installs .kcel cell dictionaries, lists them with their
// on/off state, shows and deletes them, and has the engines rebuild.
class SettingThesaurusWidget : public SettingsPage
{
    Q_OBJECT

public:
    explicit SettingThesaurusWidget(QWidget *parent);

    // Cancel never reloads this page, so loadSettings stays empty.
    void saveSettings() override { saveThesaurusSettings(); }
    void restoreDefaultSettings() override { restoreTheaurusDefaultSetting(); }

    void saveThesaurusSettings();
    void restoreTheaurusDefaultSetting();

    // Test hook: the next add uses these paths instead of a file dialog.
    static void setNextFileNames(const QStringList &paths);

    QTableWidget *table() const { return mTable; }
    bool isChanged() const { return mChanged; }
    QString cellDirectory() const { return mCellDir; }

public slots:
    void slot_released_addCellThesaurusPushButton();
    void slot_lookLabel_or_deleteLabel(QString action, s_cellDicInfo &info);
    void slot_tabelWidgetThesaurusCellClicked(int row, int column);
    void slot_openurl(QString url);
    void slot_checkbox_statechanged(bool checked);
    void slot_cell_pressed(int row, int column);
    void slot_selection_changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void initUi();
    void initThesaurusSettings() {}
    void setCellThesaurusTable();
    void rebuildCell();
    // Appends a row; returns the name as shown.
    QString appendRow(const s_cellDicInfo &info, bool checked, bool whiteCheck);
    // A row's cell widgets are made when it first comes into view, so a
    // long list costs little more than reading its files' headers.
    void makeVisibleRowWidgets();
    void makeRowWidgets(int row);
    QCheckBox *checkBox(int row) const;
    // What a click on the row's 查看 or 删除 label does.
    void actOnRow(int row, const QString &action);
    bool isChecked(int row) const;
    void setChecked(int row, bool checked);
    void setCheckImage(int row, bool white);
    void makeFirstRowCurrent();

    // What a row shows; its check box, once made, holds the check state.
    struct Row {
        s_cellDicInfo info;
        QString shownName;
        bool elided = false;
        bool checked = true;
        bool whiteCheck = false;
    };

    QString mCellDir;
    KcdListFile mKcdList;
    QTableWidget *mTable = nullptr;
    QVector<Row> mRows;
    QPushButton *mAddButton = nullptr;
    QMultiMap<QString, QString> mNameIndex;
    int mCurrentRow = -1;
    bool mChanged = false;
    QString mLastAction;
    s_cellDicInfo mLastInfo;
};
