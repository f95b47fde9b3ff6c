// Which candidate a user who knows the intended words picks.
#pragma once

#include <QString>
#include <QStringList>

// The word a candidate shows: its leading Han characters. fcitx 4's panel
// sends each word joined to its comment and a separating space, and the
// phrases are runs of Han characters, so nothing after the first other
// character can be part of a match.
QString candidateWord(const QString &text);

// The candidate whose word is the longest prefix of `rest` (the first of
// equals), or -1; `length` gets that word's length.
int intendedCandidate(const QStringList &candidates, const QString &rest, int *length);
