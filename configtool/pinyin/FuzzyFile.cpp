#include "FuzzyFile.h"
#include "SectionKeyFile.h"
#include "config/AtomicFile.h"

#include <QFile>

namespace
{

const FuzzyFile::Pair kPairs[FuzzyFile::kPairCount] = {
    {"zh", "z"},   {"ch", "c"},   {"sh", "s"},     {"l", "r"},      {"n", "l"},    {"h", "f"},
    {"ang", "an"}, {"eng", "en"}, {"iang", "ian"}, {"uang", "uan"}, {"ing", "in"},
};

} // namespace

const FuzzyFile::Pair &FuzzyFile::pair(int index)
{
    return kPairs[index];
}

QString FuzzyFile::pairText(int index)
{
    return QLatin1String(kPairs[index].value) + QLatin1String(" = ") +
           QLatin1String(kPairs[index].key);
}

bool FuzzyFile::read(const QString &path, Pairs *on)
{
    return SectionKeyFile::readKeys(path, QByteArrayLiteral("[Fuzzy]"),
                                    [on](const QByteArray &key) {
                                        for (int i = 0; i < kPairCount; ++i) {
                                            if (key == kPairs[i].key)
                                                (*on)[i] = true;
                                        }
                                    });
}

QByteArray FuzzyFile::format(const Pairs &on, bool smart)
{
    const auto line = [](const Pair &pair) {
        return QByteArray(pair.key) + '=' + pair.value + '\n';
    };
    QByteArray bytes("[Metadata]\nversion=1\n[Fuzzy]\n");
    for (int i = 0; i < kPairCount; ++i) {
        if (on[i])
            bytes += line(kPairs[i]);
    }
    bytes += "[Gray]\n";
    for (int i = 0; smart && i < kPairCount; ++i) {
        if (!on[i])
            bytes += line(kPairs[i]);
    }
    return bytes;
}

bool FuzzyFile::write(const QString &path, const Pairs &on, bool smart)
{
    if (!QFile::exists(path))
        return false;
    return writeFileAtomically(QFile::encodeName(path).constData(), format(on, smart)) ==
           AtomicWriteResult::Written;
}
