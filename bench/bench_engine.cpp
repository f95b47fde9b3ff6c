// The input method's speeds, printed with their targets:
// - a key press to updated candidates inside the engine (Rime session and
//   the state the addon reads for the candidate window), p50 and p99;
// - the tool's OK to the new behaviour: translate the files, redeploy Rime
//   and type the next key, after one setting changed;
// - the same OK when nothing changed (the second call of every OK).
#include "ConfigTranslator.h"
#include "PhraseBinaryFile.h"
#include "PhraseBook.h"
#include "PhraseFilter.h"
#include "RimeEngine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * values.size()))];
}

void report(const char *what, const std::vector<double> &ms, double target, bool p99)
{
    const double value = p99 ? percentile(ms, 0.99) : percentile(ms, 0.5);
    std::printf("%-46s median %8.3f ms  p99 %8.3f ms  (n=%zu)  target %s < %g ms: %s\n", what,
                percentile(ms, 0.5), percentile(ms, 0.99), ms.size(), p99 ? "p99" : "median",
                target, value < target ? "PASS" : "FAIL");
}

void setPageSize(const QString &envIni, int size)
{
    QSettings env(envIni, QSettings::IniFormat);
    env.setValue(QStringLiteral("Setting/PageSize"), size);
}

} // namespace

int main()
{
    QTemporaryDir home;
    const QString dataRoot = qEnvironmentVariableIsSet("KAIWOIMEBS_DATA_ROOT")
                                 ? qEnvironmentVariable("KAIWOIMEBS_DATA_ROOT")
                                 : QStringLiteral(KAIWO_SOURCE_DATA_DIR);
    const ConfigTranslator::Paths paths = ConfigTranslator::Paths::forHome(home.path(), dataRoot);
    QDir().mkpath(paths.pinyinDir);
    const QString envIni = paths.pinyinDir + QStringLiteral("env.ini");
    QFile::copy(dataRoot + QStringLiteral("/KaiwoShell/dict/PCPYDict/env.ini"), envIni);
    QFile(envIni).setPermissions(QFile::ReadOwner | QFile::WriteOwner);

    RimeEngine rime("/usr/share/rime-data", QFile::encodeName(paths.rimeDir).toStdString());
    ConfigTranslator(paths).apply();
    rime.deploy(true);

    const char *const words[] = {"nihao",  "zhongguo", "shijie", "women",   "jintian",
                                 "tianqi", "henhao",   "xuexi",  "gongzuo", "pengyou"};
    std::vector<double> keys;
    QElapsedTimer timer;
    for (int round = 0; round < 40; ++round) {
        for (const char *word : words) {
            for (const char *key = word; *key; ++key) {
                timer.start();
                rime.processKey(*key, 0);
                const RimeEngine::State state = rime.state();
                keys.push_back(timer.nsecsElapsed() / 1e6);
                if (state.candidates.empty())
                    std::printf("no candidates for %s\n", word);
            }
            rime.clear();
        }
    }
    report("key press to candidates", keys, 1.0, true);

    std::vector<double> changed;
    for (int run = 0; run < 9; ++run) {
        setPageSize(envIni, 5 + run % 4);
        timer.start();
        if (ConfigTranslator(paths).apply().rimeChanged)
            rime.deploy(true);
        rime.processKey('n', 0);
        rime.state();
        changed.push_back(timer.nsecsElapsed() / 1e6);
        rime.clear();
    }
    report("OK, one setting changed: translate+redeploy", changed, 300.0, false);

    std::vector<double> unchanged;
    for (int run = 0; run < 50; ++run) {
        timer.start();
        if (ConfigTranslator(paths).apply().rimeChanged)
            rime.deploy(true);
        unchanged.push_back(timer.nsecsElapsed() / 1e6);
    }
    report("OK, nothing changed: translate only", unchanged, 5.0, false);

    // 10,000 custom phrases: every two-letter abbreviation has some.
    std::vector<UserPhraseItem> phrases;
    for (int i = 0; i < 10000; ++i) {
        const std::wstring abbr{wchar_t('a' + i % 26), wchar_t('a' + i / 26 % 26)};
        phrases.push_back({abbr, L"短语" + std::to_wstring(i), int16_t(1 + i % 9)});
    }
    const QString phraseFile = paths.pinyinDir + QStringLiteral("kwim_phrases.bin");
    PhraseBinaryFile::write(QFile::encodeName(phraseFile).toStdString(), phrases);
    PhraseBook book;
    QString problem;
    timer.start();
    PhraseBook::load(PhraseBook::Sources::forFolders(paths.pinyinDir, dataRoot, true), &book,
                     &problem);
    std::printf("%-46s %8.3f ms for %zu phrases\n", "load the phrase book",
                timer.nsecsElapsed() / 1e6, book.size());
    PhraseFilter::setBook(std::make_shared<const PhraseBook>(std::move(book)));
    std::vector<double> phraseKeys;
    for (int round = 0; round < 200; ++round) {
        for (const char *abbreviation : {"ab", "kw", "zz", "hi", "dh"}) {
            for (const char *key = abbreviation; *key; ++key) {
                timer.start();
                rime.processKey(*key, 0);
                rime.state();
                phraseKeys.push_back(timer.nsecsElapsed() / 1e6);
            }
            rime.clear();
        }
    }
    report("key to candidates, 10,000 custom phrases", phraseKeys, 1.0, true);
    return 0;
}
