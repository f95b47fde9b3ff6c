// Types continuous pinyin into one input method of a running fcitx and
// scores what it commits; run.sh starts each engine and calls this.
//   bench_accuracy --framework 4|5 --im NAME --engine LABEL --corpus TSV
//                  --out RESULTS.tsv [--details TSV] [--pid FCITX_PID] ...
//   bench_accuracy --out RESULTS.tsv --engine LABEL --fail REASON
//   bench_accuracy --table RESULTS.tsv
#include "Choosing.h"
#include "ImeClient.h"
#include "Scoring.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace
{

const int kMaxSpaces = 20;
// A user looks a few pages down for the intended word, then gives up.
const int kMaxPages = 3;
// Teaching stops when this many phrases showed no candidates at all: the
// engine's are not reaching the driver.
const int kBlindPhrases = 10;
const uint kSpace = 0x20;
const uint kSpaceKeycode = 65;
const char *const kBuckets[] = {"2-4", "5-16", "all"};
const QStringList kColumns = {"set",         "engine",        "status",     "pass",
                              "bucket",      "phrases",       "exact_pct",  "char_acc_pct",
                              "spaces_mean", "key_ms_median", "key_ms_p99", "key_ms_max",
                              "vmhwm_mb",    "vmrss_mb",      "ready_s"};

struct Options {
    int framework = 4;
    QString im, engine, corpus, set, out, details, fail, table;
    int limit = 0, passes = 2, readyTimeout = 300;
    bool teach = true;
    qint64 pid = 0;
};

struct Phrase {
    QString text;
    QString pinyin;
    QString letters;
};

struct Typed {
    QString committed;
    int spaces = 0; // when teaching: every choice, by Space or selection
    std::vector<qint64> micros;
    bool sawCandidates = false;
};

// X keycodes of a US keyboard; engines look at the keysym, some at both.
uint keycodeFor(QChar letter)
{
    static const std::array<uint, 26> codes = {38, 56, 54, 40, 26, 41, 42, 43, 31, 44, 45, 46, 58,
                                               57, 32, 33, 24, 27, 39, 28, 30, 55, 25, 53, 29, 52};
    return codes[letter.unicode() - 'a'];
}

std::vector<Phrase> loadCorpus(const QString &path, int limit)
{
    std::vector<Phrase> phrases;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return phrases;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    while (!in.atEnd() && (limit <= 0 || int(phrases.size()) < limit)) {
        const QStringList fields = in.readLine().split(QLatin1Char('\t'));
        if (fields.size() == 2)
            phrases.push_back({fields[0], fields[1], QString(fields[1]).remove(QLatin1Char(' '))});
    }
    return phrases;
}

int bucketOf(const QString &phrase)
{
    return phrase.toUcs4().size() <= 4 ? 0 : 1;
}

void typeLetters(ImeClient &client, const QString &letters, Typed *typed)
{
    client.reset();
    client.settle();
    client.takeCommitted();
    for (QChar letter : letters) {
        qint64 micros = 0;
        client.press(letter.unicode(), keycodeFor(letter), &micros);
        typed->micros.push_back(micros);
    }
    client.settle();
}

// The letters, then Space while anything is left in the preedit. A Space
// the engine did not take found nothing to convert and is not counted.
Typed typePhrase(ImeClient &client, const QString &letters)
{
    Typed typed;
    typeLetters(client, letters, &typed);
    while (!client.preedit().isEmpty() && typed.spaces < kMaxSpaces) {
        qint64 micros = 0;
        const bool handled = client.press(kSpace, kSpaceKeycode, &micros);
        typed.micros.push_back(micros);
        client.settle();
        if (!handled)
            break;
        ++typed.spaces;
    }
    typed.committed = client.takeCommitted();
    return typed;
}

// The letters, then the intended candidates as a user who knows the phrase
// picks them: the one that is the longest prefix of what is left, from the
// first few pages, else Space. Once the engine holds something unintended
// no later choice can mend the phrase, so Space finishes it.
Typed teachPhrase(ImeClient &client, const Phrase &phrase)
{
    Typed typed;
    typeLetters(client, phrase.letters, &typed);
    QString committed;
    int chosen = 0; // of the phrase, committed or picked into the composition
    bool onTrack = true;
    while (!client.preedit().isEmpty() && typed.spaces < kMaxSpaces) {
        typed.sawCandidates = typed.sawCandidates || !client.candidates().isEmpty();
        int choice = -1, length = 0, pages = 0;
        while (onTrack) {
            choice = intendedCandidate(client.candidates(), phrase.text.mid(chosen), &length);
            if (choice >= 0 || pages == kMaxPages || !client.hasNextPage())
                break;
            client.turnPage(true);
            client.settle();
            ++pages;
        }
        if (choice >= 0) {
            client.selectCandidate(choice);
            chosen += length;
        } else {
            // Space takes the first candidate of the first page.
            for (; pages > 0; --pages) {
                client.turnPage(false);
                client.settle();
            }
            // With nothing shown Space may only bring the candidates up.
            onTrack = onTrack && client.candidates().isEmpty();
            qint64 micros = 0;
            const bool handled = client.press(kSpace, kSpaceKeycode, &micros);
            typed.micros.push_back(micros);
            if (!handled)
                break;
        }
        ++typed.spaces;
        client.settle();
        committed += client.takeCommitted();
        if (!phrase.text.startsWith(committed))
            onTrack = false;
        chosen = std::max(chosen, int(committed.size()));
    }
    typed.committed = committed + client.takeCommitted();
    return typed;
}

bool hasHan(const QString &text)
{
    for (uint c : text.toUcs4()) {
        if (QChar::script(c) == QChar::Script_Han)
            return true;
    }
    return false;
}

// Ready means a syllable becomes a character: fcitx is up, the input method
// is selected and its dictionaries are loaded (fcitx-rime deploys first).
bool waitReady(ImeClient &client, qint64 pid, int timeoutSec, double *seconds, QString *error)
{
    QElapsedTimer timer;
    timer.start();
    bool open = false;
    while (timer.elapsed() < timeoutSec * 1000) {
        if (pid > 0 && !QFile::exists(QStringLiteral("/proc/%1").arg(pid))) {
            *error = QStringLiteral("fcitx exited");
            return false;
        }
        open = open || client.open(error);
        if (open && hasHan(typePhrase(client, QStringLiteral("ni")).committed)) {
            *seconds = timer.elapsed() / 1000.0;
            client.reset();
            return true;
        }
        if (open)
            *error = QStringLiteral("'ni' and Space gave no character");
        QThread::msleep(250);
    }
    return false;
}

// VmHWM and VmRSS of the process, in MB.
std::pair<double, double> memoryOf(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    double hwm = 0, rss = 0;
    if (pid > 0 && status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            const QList<QByteArray> f = line.simplified().split(' ');
            if (f.size() >= 2 && f[0] == "VmHWM:")
                hwm = f[1].toDouble() / 1024;
            if (f.size() >= 2 && f[0] == "VmRSS:")
                rss = f[1].toDouble() / 1024;
        }
    }
    return {hwm, rss};
}

void appendRows(const QString &path, const QList<QStringList> &rows)
{
    QFile file(path);
    if (!file.open(QIODevice::Append | QIODevice::Text)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return;
    }
    QTextStream out(&file);
    out.setCodec("UTF-8");
    if (file.size() == 0)
        out << kColumns.join(QLatin1Char('\t')) << '\n';
    for (const QStringList &row : rows)
        out << row.join(QLatin1Char('\t')) << '\n';
}

QString number(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

QStringList tallyRow(const Options &o, const QString &pass, int bucket, const Tally &t,
                     std::pair<double, double> memory, double ready)
{
    return {o.set,
            o.engine,
            QStringLiteral("ok"),
            pass,
            kBuckets[bucket],
            QString::number(t.phrases),
            number(t.exactPercent(), 1),
            number(t.accuracyPercent(), 1),
            number(t.meanSpaces(), 2),
            number(quantileMs(t.keyMicros, 0.5), 3),
            number(quantileMs(t.keyMicros, 0.99), 3),
            number(quantileMs(t.keyMicros, 1.0), 3),
            number(memory.first, 1),
            number(memory.second, 1),
            number(ready, 1)};
}

void writeDetail(QTextStream &details, const QString &pass, const Phrase &phrase,
                 const Typed &typed)
{
    QString committed = typed.committed;
    committed.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), ' ');
    const auto slowest = std::max_element(typed.micros.begin(), typed.micros.end());
    details << pass << '\t' << phrase.text << '\t' << phrase.pinyin << '\t' << committed << '\t'
            << typed.spaces << '\t' << int(committed == phrase.text) << '\t'
            << (slowest == typed.micros.end() ? 0 : *slowest) / 1000.0 << '\t'
            << (slowest - typed.micros.begin()) << '\n';
}

int runEngine(const Options &o)
{
    const std::vector<Phrase> phrases = loadCorpus(o.corpus, o.limit);
    const std::unique_ptr<ImeClient> client = makeClient(o.framework, o.im);
    QString error;
    double ready = 0;
    if (phrases.empty())
        error = QStringLiteral("no phrases in %1").arg(o.corpus);
    else if (!client)
        error = QStringLiteral("no fcitx %1").arg(o.framework);
    if (!error.isEmpty() || !waitReady(*client, o.pid, o.readyTimeout, &ready, &error)) {
        appendRows(o.out, {{o.set, o.engine, "failed: " + error}});
        std::fprintf(stderr, "%s: %s\n", qPrintable(o.engine), qPrintable(error));
        return 1;
    }
    // The rounds: Space alone, then (when teaching) the intended words
    // chosen, then Space alone again for what the engine learnt.
    struct Round {
        QString name;
        bool teach = false;
        QString untaught; // why the engine could not be taught
        std::array<Tally, 3> tallies;
    };
    std::vector<Round> rounds;
    for (int pass = 1; pass <= o.passes; ++pass) {
        if (pass == 2 && o.teach)
            rounds.push_back({QStringLiteral("teach"), true, {}, {}});
        rounds.push_back({QString::number(pass), false, {}, {}});
    }
    std::fprintf(stderr, "%s: ready after %.1f s, typing %zu phrases %zu times\n",
                 qPrintable(o.engine), ready, phrases.size(), rounds.size());

    QFile detailsFile(o.details);
    QTextStream details(&detailsFile);
    details.setCodec("UTF-8");
    if (!o.details.isEmpty() && detailsFile.open(QIODevice::WriteOnly | QIODevice::Text))
        details << "pass\tphrase\tpinyin\tcommitted\tspaces\texact\tslowest key ms\tslowest key\n";

    for (Round &round : rounds) {
        if (round.teach && !client->watchCandidates(&error))
            round.untaught = QStringLiteral("not taught: ") + error;
        bool seen = false;
        int count = 0;
        for (const Phrase &phrase : phrases) {
            if (!round.untaught.isEmpty())
                break;
            const Typed typed =
                round.teach ? teachPhrase(*client, phrase) : typePhrase(*client, phrase.letters);
            seen = seen || typed.sawCandidates;
            if (round.teach && !seen && ++count >= kBlindPhrases)
                round.untaught = QStringLiteral("not taught: no candidates reached the driver");
            for (int bucket : {bucketOf(phrase.text), 2})
                round.tallies[bucket].add(phrase.text, typed.committed, typed.spaces, typed.micros);
            if (detailsFile.isOpen())
                writeDetail(details, round.name, phrase, typed);
        }
        const Tally &all = round.tallies[2];
        if (!round.untaught.isEmpty())
            std::fprintf(stderr, "%s: %s\n", qPrintable(o.engine), qPrintable(round.untaught));
        else if (round.teach)
            std::fprintf(stderr, "%s: taught %d of %d phrases fully right (%.1f %%)\n",
                         qPrintable(o.engine), all.exact, all.phrases, all.exactPercent());
        else
            std::fprintf(stderr, "%s: pass %s exact %.1f %%\n", qPrintable(o.engine),
                         qPrintable(round.name), all.exactPercent());
    }
    client->reset();

    const auto memory = memoryOf(o.pid);
    QList<QStringList> rows;
    for (const Round &round : rounds) {
        if (!round.untaught.isEmpty()) {
            rows << QStringList{o.set, o.engine, round.untaught, round.name};
            continue;
        }
        for (int bucket = 0; bucket < 3; ++bucket)
            rows << tallyRow(o, round.name, bucket, round.tallies[bucket], memory, ready);
    }
    appendRows(o.out, rows);
    return 0;
}

QList<QStringList> readRows(const QString &path)
{
    QList<QStringList> rows;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return rows;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    in.readLine(); // the header
    while (!in.atEnd()) {
        QStringList row = in.readLine().split(QLatin1Char('\t'));
        while (row.size() < kColumns.size())
            row << QString();
        rows << row;
    }
    return rows;
}

// Markdown: the figures per engine, pass and bucket, then each engine's
// memory and readiness (or why it did not run).
int printTable(const QString &path)
{
    const QList<QStringList> rows = readRows(path);
    auto col = [](const QStringList &row, const char *name) {
        return row.value(kColumns.indexOf(QLatin1String(name)));
    };
    QTextStream out(stdout);
    out.setCodec("UTF-8");
    out << "| engine | pass | chars | phrases | exact % | char acc % | Spaces | key ms median / "
           "p99 / max |\n|---|---|---|---|---|---|---|---|\n";
    for (const QStringList &r : rows) {
        if (col(r, "status") != QLatin1String("ok"))
            continue;
        out << "| " << col(r, "engine") << " | " << col(r, "pass") << " | " << col(r, "bucket")
            << " | " << col(r, "phrases") << " | " << col(r, "exact_pct") << " | "
            << col(r, "char_acc_pct") << " | " << col(r, "spaces_mean") << " | "
            << col(r, "key_ms_median") << " / " << col(r, "key_ms_p99") << " / "
            << col(r, "key_ms_max") << " |\n";
    }
    // The first row of an engine holds its memory and readiness; a round it
    // could not do adds its reason to the status.
    out << "\n| engine | set | taught % | fcitx VmHWM MB | fcitx VmRSS MB | ready after s | status "
           "|\n|---|---|---|---|---|---|---|\n";
    QStringList engines;
    for (const QStringList &r : rows) {
        if (!engines.contains(col(r, "engine")))
            engines << col(r, "engine");
    }
    for (const QString &engine : engines) {
        QStringList first, statuses;
        QString taught = QStringLiteral("-");
        for (const QStringList &r : rows) {
            if (col(r, "engine") != engine)
                continue;
            if (first.isEmpty())
                first = r;
            if (!statuses.contains(col(r, "status")))
                statuses << col(r, "status");
            if (col(r, "pass") == QLatin1String("teach") &&
                col(r, "bucket") == QLatin1String("all"))
                taught = col(r, "exact_pct");
        }
        out << "| " << engine << " | " << col(first, "set") << " | " << taught << " | "
            << col(first, "vmhwm_mb") << " | " << col(first, "vmrss_mb") << " | "
            << col(first, "ready_s") << " | " << statuses.join(QStringLiteral("; ")) << " |\n";
    }
    return rows.isEmpty() ? 1 : 0;
}

Options parse(const QCoreApplication &app)
{
    QCommandLineParser p;
    p.addHelpOption();
    const QList<QCommandLineOption> options = {
        {"framework", "fcitx 4 or 5.", "N", "4"},
        {"im", "Input method name in fcitx.", "NAME"},
        {"engine", "Label in the results.", "LABEL"},
        {"corpus", "Phrases: phrase<TAB>pinyin.", "TSV"},
        {"set", "Name of the phrase set in the results.", "NAME", "test"},
        {"limit", "Type only the first N phrases.", "N", "0"},
        {"passes", "Times the set is typed with Space alone.", "N", "2"},
        {"no-teach", "Do not choose the intended words between passes 1 and 2."},
        {"pid", "fcitx's process, for its memory.", "PID", "0"},
        {"out", "Results file (rows are appended).", "TSV"},
        {"details", "Every typed phrase.", "TSV"},
        {"ready-timeout", "Seconds to wait for the engine.", "S", "300"},
        {"fail", "Record that the engine did not run, and why.", "REASON"},
        {"table", "Print a results file as Markdown.", "TSV"}};
    p.addOptions(options);
    p.process(app);
    Options o;
    o.framework = p.value("framework").toInt();
    o.im = p.value("im");
    o.engine = p.value("engine");
    o.corpus = p.value("corpus");
    o.set = p.value("set");
    o.limit = p.value("limit").toInt();
    o.passes = std::max(1, p.value("passes").toInt());
    o.teach = !p.isSet("no-teach");
    o.pid = p.value("pid").toLongLong();
    o.out = p.value("out");
    o.details = p.value("details");
    o.readyTimeout = p.value("ready-timeout").toInt();
    o.fail = p.value("fail");
    o.table = p.value("table");
    return o;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const Options o = parse(app);
    if (!o.table.isEmpty())
        return printTable(o.table);
    if (o.out.isEmpty() || o.engine.isEmpty()) {
        std::fprintf(stderr, "--out and --engine are needed\n");
        return 2;
    }
    if (!o.fail.isEmpty()) {
        appendRows(o.out, {{o.set, o.engine, o.fail}});
        return 0;
    }
    return runEngine(o);
}
