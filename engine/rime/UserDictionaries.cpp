#include "UserDictionaries.h"

#include "RimeEngine.h"
#include "RimeSchema.h"
#include "RimeUserWords.h"
#include "Simplifier.h"
#include "UserDictionaryFile.h"
#include "WubiSchema.h"
#include "config/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace
{

std::string localPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

const char *UserDictionaries::dictionary(Kind kind)
{
    switch (kind) {
    case Kind::Pinyin:
        return "luna_pinyin";
    case Kind::Wubi:
        return WubiSchema::userDictionary();
    case Kind::WubiPinyin:
        return WubiSchema::pinyinUserDictionary();
    case Kind::English:
        return RimeSchema::englishDictionary();
    case Kind::Web:
        return RimeSchema::webDictionary();
    }
    return "";
}

const char *UserDictionaries::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Pinyin:
        return "pinyin";
    case Kind::Wubi:
        return "wubi";
    case Kind::WubiPinyin:
        return "wubi-pinyin";
    case Kind::English:
        return "english";
    case Kind::Web:
        return "web";
    }
    return "";
}

QString UserDictionaries::scratchFile() const
{
    return mRimeDir + QStringLiteral("kaiwo-exchange.txt");
}

bool UserDictionaries::exportTo(Kind kind, const QString &path)
{
    const QString scratch = scratchFile();
    QFile::remove(scratch);
    bool ok = mRime->exportUserDictionary(dictionary(kind), localPath(scratch));
    QFile file(scratch);
    QByteArray ours;
    ok = ok && file.open(QIODevice::ReadOnly) &&
         UserDictionaryFile::fromRime(file.readAll(), kindName(kind), &ours);
    file.close();
    QFile::remove(scratch);
    return ok && writeFileAtomically(QFile::encodeName(path).constData(), ours) ==
                     AtomicWriteResult::Written;
}

bool UserDictionaries::importRime(Kind kind, const QByteArray &rime)
{
    const QString scratch = scratchFile();
    bool ok = writeFileAtomically(QFile::encodeName(scratch).constData(), rime) ==
              AtomicWriteResult::Written;
    ok = ok && mRime->importUserDictionary(dictionary(kind), localPath(scratch));
    QFile::remove(scratch);
    return ok;
}

bool UserDictionaries::importFrom(Kind kind, const QString &path, QString *error)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() > UserDictionaryFile::maxSize() ||
        !file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1 is missing, not a file or too large").arg(path);
        return false;
    }
    QByteArray rime;
    if (!UserDictionaryFile::toRime(file.readAll(), kindName(kind), &rime, error))
        return false;
    const bool ok = importRime(kind, rime);
    if (!ok)
        *error = QStringLiteral("Rime did not take the words");
    return ok;
}

bool UserDictionaries::clear(const std::vector<Kind> &kinds)
{
    std::vector<std::string> names;
    for (const Kind kind : kinds)
        names.push_back(dictionary(kind));
    return mRime->clearUserDictionaries(names);
}

bool UserDictionaries::learn(Kind kind, const QVector<QPair<QString, QString>> &entries)
{
    QByteArray rime;
    for (const auto &entry : entries) {
        const QString line = entry.first + QLatin1Char('\t') + entry.second;
        if (line.count(QLatin1Char('\t')) != 1 || line.contains(QLatin1Char('\n')))
            return false;
        rime += line.toUtf8() + "\t1\n";
    }
    return importRime(kind, rime);
}

bool UserDictionaries::learnedWords(Kind kind, QVector<LearnedWordList::Word> *words)
{
    std::vector<RimeUserWords::Word> learned;
    const bool simplified = mRime->option("simplification");
    if (!mRime->withSessionClosed([&] { return RimeUserWords::list(dictionary(kind), &learned); }))
        return false;
    std::stable_sort(learned.begin(), learned.end(),
                     [](const auto &a, const auto &b) { return a.commits > b.commits; });
    words->clear();
    Simplifier simplify;
    for (const RimeUserWords::Word &word : learned)
        words->append({QString::fromStdString(word.code),
                       QString::fromStdString(simplified ? simplify(word.text) : word.text),
                       quint32(word.commits)});
    return true;
}

bool UserDictionaries::forget(Kind kind, const QString &pinyin, const QString &word)
{
    // The word as the list showed it: Rime keeps it in traditional characters.
    const std::string shown = word.toStdString(), code = pinyin.toStdString();
    Simplifier simplify;
    return mRime->withSessionClosed([&] {
        return RimeUserWords::forget(dictionary(kind), [&](const RimeUserWords::Word &learned) {
            return (code.empty() || learned.code == code) &&
                   (learned.text == shown || simplify(learned.text) == shown);
        });
    });
}

bool UserDictionaries::forgetHighlighted()
{
    const RimeEngine::State state = mRime->state();
    if (!state.composing || state.highlighted < 0 ||
        state.highlighted >= int(state.candidates.size()))
        return false;
    const QString word = QString::fromStdString(state.candidates[state.highlighted].text);
    if (!forget(Kind::Pinyin, QString(), word))
        return false;
    mRime->setInput(state.input);
    return true;
}
