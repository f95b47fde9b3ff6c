// The cell dictionary page: listing, kcdlist.ini, add, delete, restore and
// what the engines and the service are told.
#include "PageFixture.h"
#include "app/DataRoot.h"
#include "pinyin/SettingThesaurusWidget.h"
#include "pinyin/ThesaurusLookDialog.h"

#include <QCryptographicHash>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

class TestThesaurusPage : public QObject
{
    Q_OBJECT

    static QString sample(const QString &name) { return kaiwoDataRoot() + "/samples/kcel/" + name; }

    static QString cellDir() { return homeDirectory() + "/.config/KaiwoShell/usr/kcd"; }

    static QString kcdlist() { return cellDir() + "/kcdlist.ini"; }

    static QCheckBox *box(QTableWidget *table, int row)
    {
        return table->cellWidget(row, 0)->findChild<QCheckBox *>("checkbox");
    }

    static QLabel *nameLabel(QTableWidget *table, int row)
    {
        return table->cellWidget(row, 0)->findChild<QLabel *>("text_label");
    }

    bool mByKeyboard = false;

    // Does what the check box ("box"), "查看" or "删除" of a row does: clicked,
    // or by keyboard, the key that stands in for it in the focused table.
    void act(QTableWidget *table, int row, const QString &what) const
    {
        if (mByKeyboard) {
            table->setFocus();
            table->setCurrentCell(row, 0);
            QTest::keyClick(table, what == "box"    ? Qt::Key_Space
                                   : what == "查看" ? Qt::Key_Return
                                                    : Qt::Key_Delete);
        } else if (what == "box") {
            QTest::mouseClick(box(table, row), Qt::LeftButton);
        } else {
            for (QLabel *label : table->cellWidget(row, 3)->findChildren<QLabel *>()) {
                if (label->text() == what)
                    QTest::mouseClick(label, Qt::LeftButton);
            }
        }
    }

    static void addWays()
    {
        QTest::addColumn<bool>("keyboard");
        QTest::newRow("mouse") << false;
        QTest::newRow("keyboard") << true;
    }

    // "name" installs a sample, "name=" junk under that name, "name~" the
    // sample with its last byte cut (header whole, last entry damaged).
    static void install(const QStringList &files)
    {
        for (const QString &file : files) {
            const QString name = file.section('=', 0, 0).section('~', 0, 0);
            const QString target = cellDir() + '/' + name;
            if (file.contains('='))
                QVERIFY(writeFile(target, "not a cell dictionary"));
            else if (file.contains('~'))
                QVERIFY(writeFile(target, readFile(sample(name)).chopped(1)));
            else
                QVERIFY(QFile::copy(sample(file.toLower()), target));
        }
    }

    static void makeKcel(const QString &name, const QString &id)
    {
        const QString words = QDir::home().filePath("w.txt");
        QVERIFY(writeFile(words, "一 yi\n二 er\n"));
        QCOMPARE(QProcess::execute(qEnvironmentVariable("KAIWO_BUILD_DIR") + "/bin/kaiwo-make-kcel",
                                   {"--name", name, "--id", id, "--category", "c", "--date", "0",
                                    words, cellDir() + '/' + id + ".kcel"}),
                 0);
    }

    // The words of an engine's rebuilt cell data, through its list of pieces.
    static QString engineWords(const QString &userDir)
    {
        QString words;
        const QList<QByteArray> digests = readFile(userDir + "/kaiwo_cells.txt").split('\n');
        for (const QByteArray &md5 : digests.mid(1)) {
            if (!md5.isEmpty())
                words += QString::fromUtf8(readFile(userDir + "/kaiwo_cells/" + md5 + ".txt"));
        }
        return words;
    }

    std::unique_ptr<ServiceProcess> mService;
    std::unique_ptr<SettingThesaurusWidget> mPage;

    QTableWidget *makePage()
    {
        mPage = std::make_unique<SettingThesaurusWidget>(nullptr);
        mPage->show();
        return mPage->table();
    }

    QStringList reloads() const { return mService->journal().filter("ReloadDictionary"); }

    void add(const QString &path)
    {
        SettingThesaurusWidget::setNextFileNames({path});
        KaiwoPromptDialog::setNextAnswer(1);
        QTest::mouseClick(mPage->findChild<QPushButton *>("addCellThesaurusPushButton"),
                          Qt::LeftButton);
        QCOMPARE(KaiwoPromptDialog::lastTitle(), QStringLiteral("添加细胞词库"));
    }

private slots:
    void initTestCase() { startShellsAndService(mService); }

    void init()
    {
        mByKeyboard = false;
        mPage.reset();
        QDir(cellDir()).removeRecursively();
        QVERIFY(QDir().mkpath(cellDir()));
        mService->clearJournal();
    }

    // Rows by name; a dictionary kcdlist.ini does not name is checked.
    void listing_data()
    {
        addColumns<QStringList, QByteArray, QStringList, QString, bool>(
            {"files", "list", "names", "checks", "changed"});
        const QByteArray idiomsOff = "[kcd0]\nid=kaiwo.sample.idioms\nused=0\n";
        QTest::newRow("upper-case and rejected files skipped")
            << QStringList{"computer.kcel", "CITIES.KCEL", "bad.kcel="} << QByteArray()
            << QStringList{"计算机词汇大全"} << "1" << true;
        QTest::newRow("state from kcdlist, missing entry checked")
            << QStringList{"idioms.kcel", "computer.kcel"} << "[kcdlist]\nkcdNum=1\n" + idiomsOff
            << QStringList{"计算机词汇大全", "成语精选"} << "10" << true;
        QTest::newRow("serialised value taken out")
            << QStringList{"idioms.kcel"}
            << "[kcdlist]\nkcdNum=1\nx=@Variant(\\0\\0\\0\\v\\x7f\\xff\\xff\\xff)\n" + idiomsOff
            << QStringList{"成语精选"} << "0" << false;
        QTest::newRow("garbage kcdlist")
            << QStringList{"idioms.kcel"} << literalBytes("\x01\xff[[kcd\n=\n")
            << QStringList{"成语精选"} << "1" << true;
        QTest::newRow("damaged entry listed")
            << QStringList{"computer.kcel~", "idioms.kcel"} << QByteArray()
            << QStringList{"计算机词汇大全", "成语精选"} << "11" << true;
        QTest::newRow("nothing installed")
            << QStringList{} << QByteArray() << QStringList{} << "" << false;
    }

    void listing()
    {
        QFETCH(QStringList, files);
        QFETCH(QByteArray, list);
        QFETCH(QStringList, names);
        QFETCH(QString, checks);
        QFETCH(bool, changed);
        install(files);
        if (!list.isEmpty())
            QVERIFY(writeFile(kcdlist(), list));
        QTableWidget *table = makePage();
        QCOMPARE(table->rowCount(), names.size());
        for (int row = 0; row < names.size(); ++row) {
            QCOMPARE(nameLabel(table, row)->text(), names[row]);
            QCOMPARE(box(table, row)->isChecked(), checks[row] == '1');
        }
        QCOMPARE(mPage->isChanged(), changed);
        QCOMPARE(table->currentRow(), names.isEmpty() ? -1 : 0);
    }

    void okWritesKcdlistAndEnginesFollow_data() { addWays(); }

    void okWritesKcdlistAndEnginesFollow()
    {
        QFETCH(bool, keyboard);
        mByKeyboard = keyboard;
        install({"computer.kcel", "idioms.kcel"});
        QTableWidget *table = makePage();
        QCOMPARE(qobject_cast<QLabel *>(table->cellWidget(0, 1))->text(), QStringLiteral("12"));
        QCOMPARE(qobject_cast<QLabel *>(table->cellWidget(0, 2))->text(),
                 QStringLiteral("2026-01-01 "));
        act(table, 1, "box");
        mPage->saveSettings();

        QSettings list(kcdlist(), QSettings::IniFormat);
        list.setIniCodec("UTF-8");
        QCOMPARE(list.value("kcdlist/kcdNum").toInt(), 2);
        const QString files[] = {"computer", "idioms"};
        for (int i = 0; i < 2; ++i) {
            const QString group = "kcd" + QString::number(i) + '/';
            QCOMPARE(list.value(group + "id").toString(), "kaiwo.sample." + files[i]);
            QCOMPARE(list.value(group + "used").toInt(), 1 - i);
            const QByteArray file = readFile(cellDir() + '/' + files[i] + ".kcel");
            QCOMPARE(list.value(group + "md5").toByteArray(),
                     QCryptographicHash::hash(file, QCryptographicHash::Md5).toHex());
        }
        QCOMPARE(list.value("kcd0/name").toString(), QStringLiteral("计算机词汇大全"));
        QCOMPARE(list.value("kcd1/type").toString(), QStringLiteral("文学"));
        for (const QString &dir :
             {MainController::localPcPyDirPath(), MainController::localPcWbDirPath()}) {
            const QString words = engineWords(dir);
            QVERIFY2(words.contains("编译器") && !words.contains("画蛇添足"), qPrintable(dir));
        }
        QCOMPARE(reloads(), QStringList{"ReloadDictionary\t1"});
        QVERIFY(!mPage->isChanged());
        // Nothing changed since: a second OK rebuilds nothing.
        mPage->saveSettings();
        QCOMPARE(reloads().size(), 1);
    }

    // Rows get their widgets as they come into view; rows never shown keep
    // and save their state all the same, and restore reaches them too.
    void longListKeepsStateOfRowsNotShown()
    {
        for (int i = 0; i < 20; ++i)
            makeKcel(QString("d%1").arg(i, 2, 10, QChar('0')),
                     QString("d%1").arg(i, 2, 10, QChar('0')));
        QVERIFY(writeFile(kcdlist(), "[kcdlist]\nkcdNum=1\n[kcd0]\nid=d09\nused=0\n"));
        QTableWidget *table = makePage();
        QCOMPARE(table->rowCount(), 20);
        QVERIFY(!table->cellWidget(19, 0));
        table->scrollToBottom();
        QCOMPARE(nameLabel(table, 19)->text(), QStringLiteral("d19"));
        QTest::mouseClick(box(table, 19), Qt::LeftButton);
        mPage->saveSettings();
        QSettings saved(kcdlist(), QSettings::IniFormat);
        QString used;
        for (int i = 0; i < 20; ++i)
            used += saved.value(QString("kcd%1/used").arg(i)).toString();
        QCOMPARE(used, QString("11111111101111111110"));

        mPage->restoreDefaultSettings();
        mPage->saveSettings();
        saved.sync();
        QCOMPARE(saved.value("kcd10/used").toInt() + saved.value("kcd19/used").toInt(), 0);
    }

    // Restore unchecks every row but, like every click, writes nothing
    // until OK.
    void restoreAndCancelLeaveKcdlistAlone()
    {
        install({"computer.kcel", "cities.kcel"});
        QTableWidget *table = makePage();
        mPage->saveSettings();
        const QByteArray before = readFile(kcdlist());
        QVERIFY(before.contains("used=1"));
        mPage->restoreDefaultSettings();
        QVERIFY(mPage->isChanged());
        QVERIFY(!box(table, 0)->isChecked() && !box(table, 1)->isChecked());
        QTest::mouseClick(box(table, 0), Qt::LeftButton);
        mPage.reset();
        QCOMPARE(readFile(kcdlist()), before);
    }

    void add_data()
    {
        addColumns<QStringList, QStringList, int, QStringList>(
            {"paths", "prompts", "rows", "filesAfter"});
        const QString computer = sample("computer.kcel");
        const QString other = QDir::home().filePath("另一个.kcel");
        const QString installed = "细胞词库\"%1\"安装成功。";
        QTest::newRow("same dictionary, other file name")
            << QStringList{computer, other}
            << QStringList{installed.arg("computer.kcel"), installed.arg("另一个.kcel")} << 1
            << QStringList{"computer.kcel", "kcdlist.ini", "另一个.kcel"};
        QTest::newRow("invalid file")
            << QStringList{QDir::home().filePath("junk.kcel")}
            << QStringList{"细胞词库\"junk.kcel\"是无效词库。"} << 0 << QStringList{};
    }

    void add()
    {
        QFETCH(QStringList, paths);
        QFETCH(QStringList, prompts);
        QFETCH(int, rows);
        QFETCH(QStringList, filesAfter);
        QFile::remove(QDir::home().filePath("另一个.kcel"));
        QVERIFY(QFile::copy(sample("computer.kcel"), QDir::home().filePath("另一个.kcel")));
        QVERIFY(writeFile(QDir::home().filePath("junk.kcel"), QByteArray(100, '\x7f')));
        makePage();
        for (int i = 0; i < paths.size(); ++i) {
            add(paths[i]);
            QCOMPARE(KaiwoPromptDialog::lastContent(), prompts[i]);
        }
        QCOMPARE(mPage->table()->rowCount(), rows);
        QCOMPARE(QDir(cellDir()).entryList(QDir::Files, QDir::Name), filesAfter);
        QCOMPARE(reloads().size(), prompts.filter("安装成功。").size());
    }

    void deleteCancelThenConfirm_data() { addWays(); }

    void deleteCancelThenConfirm()
    {
        QFETCH(bool, keyboard);
        mByKeyboard = keyboard;
        install({"computer.kcel", "cities.kcel"});
        QTableWidget *table = makePage();
        QVERIFY(QTest::qWaitForWindowExposed(mPage.get()));
        const int shown = KaiwoPromptDialog::promptCount();
        KaiwoPromptDialog::setNextAnswer(0);
        act(table, 0, "删除");
        QCOMPARE(KaiwoPromptDialog::lastContent(),
                 QStringLiteral("确定要删除细胞词库\"城市地名\"吗？"));
        // A click on the empty part of another row's "操作" cell does nothing.
        const QRect cell = table->visualRect(table->model()->index(1, 3));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.bottomRight() - QPoint(2, 2));
        QCOMPARE(KaiwoPromptDialog::promptCount(), shown + 1);
        QCOMPARE(table->rowCount(), 2);
        QVERIFY(reloads().isEmpty());

        KaiwoPromptDialog::setNextAnswer(1);
        act(table, 0, "删除");
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(nameLabel(table, 0)->text(), QStringLiteral("计算机词汇大全"));
        QVERIFY(!QFile::exists(cellDir() + "/cities.kcel"));
        QCOMPARE(reloads(), QStringList{"ReloadDictionary\t1"});
        QSettings list(kcdlist(), QSettings::IniFormat);
        QCOMPARE(list.value("kcdlist/kcdNum").toInt(), 1);
        QCOMPARE(list.value("kcd0/id").toString(), QStringLiteral("kaiwo.sample.computer"));
    }

    // Two files of one dictionary show two rows of one name and id; deleting
    // one leaves the other's entry, so adding the dictionary again adds no row.
    void deleteOneOfTwoEqualRows()
    {
        install({"computer.kcel"});
        QVERIFY(QFile::copy(sample("computer.kcel"), cellDir() + "/computer2.kcel"));
        QTableWidget *table = makePage();
        QVERIFY(QTest::qWaitForWindowExposed(mPage.get()));
        QCOMPARE(table->rowCount(), 2);
        KaiwoPromptDialog::setNextAnswer(1);
        act(table, 0, "删除");
        QCOMPARE(table->rowCount(), 1);
        add(sample("computer.kcel"));
        QCOMPARE(KaiwoPromptDialog::lastContent(),
                 QStringLiteral("细胞词库\"computer.kcel\"安装成功。"));
        QCOMPARE(table->rowCount(), 1);
    }

    void lookAndLongName_data() { addWays(); }

    void lookAndLongName()
    {
        QFETCH(bool, keyboard);
        mByKeyboard = keyboard;
        const QString longName = QString(30, QChar(0x957f)); // far wider than 130 pixels
        makeKcel(longName, "long");
        install({"cities.kcel"});
        QTableWidget *table = makePage();
        QVERIFY(QTest::qWaitForWindowExposed(mPage.get()));
        QVERIFY(nameLabel(table, 0)->toolTip().isEmpty());
        QCOMPARE(nameLabel(table, 1)->toolTip(), longName);
        QVERIFY(nameLabel(table, 1)->text().size() < longName.size());

        QStringList seen;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<ThesaurusLookDialog *>(QApplication::activeModalWidget());
            for (const char *name : {"label_Name", "label_Count", "label_Date", "label_Example"})
                seen << dialog->findChild<QLabel *>(name)->text();
            dialog->accept();
        });
        act(table, 1, "查看");
        QCOMPARE(seen, (QStringList{"词库名称:" + longName, "词库条数:2", "词库日期:1970-01-01 ",
                                    "一 \n二 \n"}));
        // At most seven parts; bare line feeds are skipped but counted.
        QCOMPARE(ThesaurusLookDialog::exampleText("a \n b c d e f g h"),
                 QStringLiteral("a \nb \nc \nd \ne \nf \n"));
    }
};

QTEST_MAIN(TestThesaurusPage)
#include "tst_thesaurus_page.moc"
