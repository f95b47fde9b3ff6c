#include "CorrectionFile.h"
#include "SectionKeyFile.h"
#include "config/AtomicFile.h"

#include <QFile>

namespace
{

const CorrectionFile::Rule kRules[CorrectionFile::kRuleCount] = {
    {"gn", "ng", "如:lign==>ling"}, {"mg", "ng", "如:homg==>hong"}, {"iou", "iu", "如:qiou==>qiu"},
    {"uei", "ui", "如:tuei==>tui"}, {"uen", "un", "如:kuen==>kun"},
};

// The engine's file lists the rules in an order of its own.
const int kWriteOrder[CorrectionFile::kRuleCount] = {0, 4, 2, 3, 1};

} // namespace

const CorrectionFile::Rule &CorrectionFile::rule(int index)
{
    return kRules[index];
}

QString CorrectionFile::ruleText(int index)
{
    return QLatin1String(kRules[index].key) + QLatin1String("==>") +
           QLatin1String(kRules[index].value);
}

bool CorrectionFile::read(const QString &path, Rules *on)
{
    return SectionKeyFile::readKeys(path, QByteArrayLiteral("[Correction]"),
                                    [on](const QByteArray &key) {
                                        for (int i = 0; i < kRuleCount; ++i) {
                                            if (key == kRules[i].key)
                                                (*on)[i] = true;
                                        }
                                    });
}

QByteArray CorrectionFile::format(const Rules &on)
{
    QByteArray bytes("[Correction]\n");
    for (const int i : kWriteOrder) {
        if (on[i])
            bytes += QByteArray(kRules[i].key) + '=' + kRules[i].value + '\n';
    }
    return bytes;
}

bool CorrectionFile::write(const QString &path, const Rules &on)
{
    if (!QFile::exists(path))
        return false;
    return writeFileAtomically(QFile::encodeName(path).constData(), format(on)) ==
           AtomicWriteResult::Written;
}
