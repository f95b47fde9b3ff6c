// What the typed phrases add up to: matches, character accuracy, Spaces
// and key round trips.
#pragma once

#include <QString>

#include <vector>

// 1 - Levenshtein distance / reference length, in code points, floored at 0
// so that one runaway commit cannot outweigh a whole set.
double characterAccuracy(const QString &reference, const QString &typed);

// The p-quantile (0..1, nearest rank) of round trips in microseconds, in ms.
double quantileMs(std::vector<qint64> micros, double p);

struct Tally {
    int phrases = 0;
    int exact = 0;
    double accuracySum = 0;
    long spaces = 0;
    std::vector<qint64> keyMicros;

    void add(const QString &reference, const QString &typed, int spaceCount,
             const std::vector<qint64> &micros);
    double exactPercent() const { return phrases ? 100.0 * exact / phrases : 0; }
    double accuracyPercent() const { return phrases ? 100.0 * accuracySum / phrases : 0; }
    double meanSpaces() const { return phrases ? double(spaces) / phrases : 0; }
};
