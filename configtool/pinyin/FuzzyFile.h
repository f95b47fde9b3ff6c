#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// Fuzzy.dat: the engine's fuzzy-pinyin pairs. "[Fuzzy]" lists the pairs in
// use; "[Gray]" lists the others when smart recommendation is on.
class FuzzyFile
{
public:
    static constexpr int kPairCount = 11;
    // One flag per pair, in the order of pair().
    using Pairs = std::array<bool, kPairCount>;

    struct Pair {
        const char *key; // the second sound of the pair; identifies it
        const char *value;
    };
    // The pairs in the order they are written.
    static const Pair &pair(int index);
    // The pair as the user reads it, e.g. "z = zh".
    static QString pairText(int index);

    static QString fileName() { return QStringLiteral("Fuzzy.dat"); }

    // Sets the flag of every pair listed under "[Fuzzy]"; never clears
    // one. False when the file is missing or unreadable.
    static bool read(const QString &path, Pairs *on);
    static QByteArray format(const Pairs &on, bool smart);
    // Replaces an existing file whole; false, writing nothing, when it does
    // not exist or cannot be replaced.
    static bool write(const QString &path, const Pairs &on, bool smart);
};
