#include "DataRoot.h"

#include <QFile>

#ifndef KAIWO_DATA_ROOT
#define KAIWO_DATA_ROOT "/usr/share/kaiwoimebs"
#endif

QString kaiwoDataRoot()
{
    QString root = QFile::decodeName(qgetenv("KAIWOIMEBS_DATA_ROOT"));
    if (root.isEmpty())
        root = QStringLiteral(KAIWO_DATA_ROOT);
    while (root.size() > 1 && root.endsWith(QLatin1Char('/')))
        root.chop(1);
    return root;
}

QString homeDirectory()
{
    return QFile::decodeName(qgetenv("HOME"));
}
