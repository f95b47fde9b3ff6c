#include "Scoring.h"

#include <QVector>

#include <algorithm>
#include <cmath>

namespace
{

int levenshtein(const QVector<uint> &a, const QVector<uint> &b)
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

} // namespace

double characterAccuracy(const QString &reference, const QString &typed)
{
    const QVector<uint> ref = reference.toUcs4();
    if (ref.isEmpty())
        return 0;
    return std::max(0.0, 1.0 - double(levenshtein(ref, typed.toUcs4())) / ref.size());
}

double quantileMs(std::vector<qint64> micros, double p)
{
    if (micros.empty())
        return 0;
    std::sort(micros.begin(), micros.end());
    const size_t rank = size_t(std::ceil(p * micros.size()));
    return micros[std::min(micros.size(), std::max<size_t>(rank, 1)) - 1] / 1000.0;
}

void Tally::add(const QString &reference, const QString &typed, int spaceCount,
                const std::vector<qint64> &micros)
{
    ++phrases;
    exact += typed == reference;
    accuracySum += characterAccuracy(reference, typed);
    spaces += spaceCount;
    keyMicros.insert(keyMicros.end(), micros.begin(), micros.end());
}
