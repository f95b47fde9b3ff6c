#include "Choosing.h"

#include <QVector>

QString candidateWord(const QString &text)
{
    int end = 0;
    for (uint c : text.toUcs4()) {
        if (QChar::script(c) != QChar::Script_Han)
            break;
        end += QChar::requiresSurrogates(c) ? 2 : 1;
    }
    return text.left(end);
}

int intendedCandidate(const QStringList &candidates, const QString &rest, int *length)
{
    int best = -1;
    *length = 0;
    for (int i = 0; i < candidates.size(); ++i) {
        const QString word = candidateWord(candidates[i]);
        if (word.size() > *length && rest.startsWith(word)) {
            best = i;
            *length = word.size();
        }
    }
    return best;
}
