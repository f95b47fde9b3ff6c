#include "LearnedWordList.h"

#include <QStringList>

QString LearnedWordList::encode(const QVector<Word> &words)
{
    QString text;
    for (const Word &word : words)
        text += word.pinyin + QLatin1Char('\t') + word.word + QLatin1Char('\t') +
                QString::number(word.uses) + QLatin1Char('\n');
    return text;
}

QVector<LearnedWordList::Word> LearnedWordList::decode(const QString &text)
{
    QVector<Word> words;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        bool counted = false;
        const quint32 uses = fields.value(2).toUInt(&counted);
        if (fields.size() == 3 && counted && !fields[0].isEmpty() && !fields[1].isEmpty())
            words.append({fields[0], fields[1], uses});
    }
    return words;
}
