// How often continuous pinyin becomes the intended words inside the engine
// (no fcitx, no D-Bus): each phrase of a TSV file ("phrase<TAB>pinyin with
// spaces") is typed as its letters, then Space until nothing is left, into
// a Rime session set up from the shipped env.ini in a scratch HOME. After
// the first pass the phrases that came out wrong are typed again as a user
// would fix them, choosing the right words from the pages; the second pass
// shows what that taught. Quicker to iterate on than bench/accuracy, which
// types through each framework's bus.
//   bench_sentences PHRASES.tsv [SETTING=VALUE ...]
// KAIWO_BENCH_VERBOSE=1 prints the phrases that came out wrong,
// KAIWO_BENCH_SLOW=MS prints the input after each key slower than MS,
// KAIWO_NO_MODEL=1 leaves the language model out, and
// KAIWO_BENCH_SHOW=keys,keys,... prints the preedit and the first pages
// (text/comment) for each input instead of typing the phrases.
#include "ConfigTranslator.h"
#include "RimeEngine.h"
#include "SentenceFilter.h"
#include "SentenceModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

struct Phrase {
    QString text;
    QByteArray keys;
};

std::vector<Phrase> readPhrases(const QString &path)
{
    std::vector<Phrase> phrases;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return phrases;
    QTextStream in(&file);
    while (!in.atEnd()) {
        QStringList fields = in.readLine().split(QLatin1Char('\t'));
        if (fields.size() == 2)
            phrases.push_back({fields[0], fields[1].remove(QLatin1Char(' ')).toLatin1()});
    }
    return phrases;
}

int editDistance(const QString &a, const QString &b)
{
    std::vector<int> row(b.size() + 1);
    for (int j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (int i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = i;
        for (int j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

QString typePhrase(RimeEngine &rime, const QByteArray &keys, std::vector<double> &keyMs)
{
    static const double slowMs = qEnvironmentVariable("KAIWO_BENCH_SLOW", "1e9").toDouble();
    rime.clear();
    QElapsedTimer timer;
    for (int typed = 0; typed < keys.size(); ++typed) {
        timer.start();
        rime.processKey(keys[typed], 0);
        rime.state();
        keyMs.push_back(timer.nsecsElapsed() / 1e6);
        if (keyMs.back() > slowMs)
            std::printf("slow %.2f ms\t%s\n", keyMs.back(), keys.left(typed + 1).constData());
    }
    QString committed;
    for (int spaces = 0; spaces < 20 && rime.state().composing; ++spaces) {
        rime.processKey(' ', 0);
        committed += QString::fromStdString(rime.takeCommit());
    }
    return committed;
}

// Types the phrase choosing, step by step, the candidate on the first five
// pages that is the longest start of what is left; Space where none is.
// A choice that leaves input to convert commits nothing yet: what is left
// follows the words chosen so far.
void typeCorrecting(RimeEngine &rime, const Phrase &phrase)
{
    rime.clear();
    for (const char key : phrase.keys)
        rime.processKey(key, 0);
    QString committed, chosen;
    for (int steps = 0; steps < 40 && rime.state().composing; ++steps) {
        const QString left = phrase.text.mid(committed.size() + chosen.size());
        int best = -1, bestLength = 0, pagesTurned = 0;
        RimeEngine::State state;
        for (; best < 0; ++pagesTurned) {
            state = rime.state();
            for (int i = 0; i < int(state.candidates.size()); ++i) {
                const QString text = QString::fromStdString(state.candidates[i].text);
                if (left.startsWith(text) && text.size() > bestLength)
                    best = i, bestLength = text.size();
            }
            if (best >= 0 || pagesTurned == 4 || state.lastPage || !rime.changePage(false))
                break;
        }
        if (best < 0) {
            // Nothing fits: back to the first page and take what comes first.
            while (pagesTurned-- > 0)
                rime.changePage(true);
            rime.processKey(' ', 0);
        } else {
            rime.selectOnPage(best);
            chosen += QString::fromStdString(state.candidates[best].text);
        }
        const QString commit = QString::fromStdString(rime.takeCommit());
        if (!commit.isEmpty()) {
            committed += commit;
            chosen.clear();
        }
    }
}

struct Bucket {
    int phrases = 0;
    int exact = 0;
    double characters = 0;
    void add(const QString &want, const QString &got)
    {
        ++phrases;
        exact += want == got;
        characters += std::max(0.0, 1.0 - double(editDistance(want, got)) / want.size());
    }
    void print(const char *name, int pass) const
    {
        if (phrases)
            std::printf("pass %d %-5s phrases %4d  exact %5.1f %%  characters %5.1f %%\n", pass,
                        name, phrases, 100.0 * exact / phrases, 100.0 * characters / phrases);
    }
};

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[std::min(values.size() - 1, size_t(p * values.size()))];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_sentences PHRASES.tsv [SETTING=VALUE ...]\n");
        return 2;
    }
    const std::vector<Phrase> phrases = readPhrases(QString::fromLocal8Bit(argv[1]));
    if (phrases.empty()) {
        std::fprintf(stderr, "bench_sentences: no phrases in %s\n", argv[1]);
        return 1;
    }
    QTemporaryDir home;
    const QString dataRoot = qEnvironmentVariable("KAIWOIMEBS_DATA_ROOT", KAIWO_SOURCE_DATA_DIR);
    const ConfigTranslator::Paths paths = ConfigTranslator::Paths::forHome(home.path(), dataRoot);
    QDir().mkpath(paths.pinyinDir);
    const QString envIni = paths.pinyinDir + QStringLiteral("env.ini");
    QFile::copy(dataRoot + QStringLiteral("/KaiwoShell/dict/PCPYDict/env.ini"), envIni);
    QFile(envIni).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    {
        QSettings env(envIni, QSettings::IniFormat);
        for (int i = 2; i < argc; ++i) {
            const QString pair = QString::fromLocal8Bit(argv[i]);
            env.setValue(QStringLiteral("Setting/") + pair.section(QLatin1Char('='), 0, 0),
                         pair.section(QLatin1Char('='), 1));
        }
    }
    if (!qEnvironmentVariableIsSet("KAIWO_NO_MODEL")) {
        std::string problem;
        SentenceFilter::setModel(SentenceModel::load(std::string(), &problem));
        if (!problem.empty())
            std::fprintf(stderr, "bench_sentences: %s\n", problem.c_str());
    }
    RimeEngine rime("/usr/share/rime-data", QFile::encodeName(paths.rimeDir).toStdString());
    ConfigTranslator(paths).apply();
    rime.deploy(true);

    if (qEnvironmentVariableIsSet("KAIWO_BENCH_SHOW")) {
        for (const QString &keys : qEnvironmentVariable("KAIWO_BENCH_SHOW").split(',')) {
            rime.clear();
            for (const char key : keys.toLatin1())
                rime.processKey(key, 0);
            for (int page = 0; page < 6; ++page) {
                const RimeEngine::State state = rime.state();
                std::printf("%s p%d: [%s]", keys.toLatin1().constData(), page,
                            state.preedit.c_str());
                for (const auto &c : state.candidates)
                    std::printf(" %s/%s", c.text.c_str(), c.comment.c_str());
                std::printf("\n");
                if (state.lastPage || !rime.changePage(false))
                    break;
            }
        }
        return 0;
    }
    const bool verbose = qEnvironmentVariableIsSet("KAIWO_BENCH_VERBOSE");
    std::vector<bool> wrong(phrases.size());
    for (int pass = 1; pass <= 2; ++pass) {
        Bucket shortPhrases, longPhrases;
        std::vector<double> keyMs;
        for (size_t i = 0; i < phrases.size(); ++i) {
            const Phrase &phrase = phrases[i];
            const QString got = typePhrase(rime, phrase.keys, keyMs);
            wrong[i] = got != phrase.text;
            (phrase.text.size() <= 4 ? shortPhrases : longPhrases).add(phrase.text, got);
            if (verbose && got != phrase.text)
                std::printf("%d\t%s\t%s\t%s\n", pass, qPrintable(phrase.text), qPrintable(got),
                            phrase.keys.constData());
        }
        shortPhrases.print("2-4", pass);
        longPhrases.print("5-16", pass);
        std::printf("pass %d key to candidates: median %.3f ms  p99 %.3f ms  max %.3f ms\n", pass,
                    percentile(keyMs, 0.5), percentile(keyMs, 0.99), percentile(keyMs, 1.0));
        for (size_t i = 0; pass == 1 && i < phrases.size(); ++i)
            if (wrong[i])
                typeCorrecting(rime, phrases[i]);
    }
    return 0;
}
