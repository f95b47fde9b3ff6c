#include "ImeServiceStandIn.h"
#include "UnixSignalQuitter.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace
{

void printError(const QString &text)
{
    std::fprintf(stderr, "kaiwoimebs-service: %s\n", text.toLocal8Bit().constData());
}

// Fills options from the command line; false with a reason for a usage error.
bool parseOptions(QCommandLineParser &parser, const QStringList &arguments,
                  ImeServiceStandIn::Options &options, QString *error)
{
    const QCommandLineOption answerOption(
        QStringLiteral("answer"),
        QStringLiteral("How to answer methods: true, false or error (default true)."),
        QStringLiteral("true|false|error"), QStringLiteral("true"));
    const QCommandLineOption delayOption(QStringLiteral("delay"),
                                         QStringLiteral("Answer every call after MS milliseconds."),
                                         QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption journalOption(
        QStringLiteral("journal"),
        QStringLiteral("Append one line per call to FILE (default "
                       "$HOME/.config/kaiwoimebs/service-journal.log)."),
        QStringLiteral("FILE"));
    const QCommandLineOption failOnOption(
        QStringLiteral("fail-on"),
        QStringLiteral("Answer false, without effect, to any call whose path argument contains "
                       "SUBSTRING (may be repeated)."),
        QStringLiteral("SUBSTRING"));
    parser.setApplicationDescription(
        QStringLiteral("Input-method service on the session bus, for the settings tool."));
    parser.addHelpOption();
    parser.addOption(answerOption);
    parser.addOption(delayOption);
    parser.addOption(journalOption);
    parser.addOption(failOnOption);

    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help")))
        return true;
    if (!parser.positionalArguments().isEmpty()) {
        *error =
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first());
        return false;
    }

    const QString answer = parser.value(answerOption);
    if (answer == QLatin1String("true")) {
        options.answer = ImeServiceStandIn::Answer::True;
    } else if (answer == QLatin1String("false")) {
        options.answer = ImeServiceStandIn::Answer::False;
    } else if (answer == QLatin1String("error")) {
        options.answer = ImeServiceStandIn::Answer::Error;
    } else {
        *error = QStringLiteral("--answer takes true, false or error, not '%1'").arg(answer);
        return false;
    }

    bool ok = false;
    options.delayMs = parser.value(delayOption).toInt(&ok);
    if (!ok || options.delayMs < 0) {
        *error = QStringLiteral("--delay takes a number of milliseconds, not '%1'")
                     .arg(parser.value(delayOption));
        return false;
    }

    if (parser.isSet(journalOption)) {
        options.journalPath = parser.value(journalOption);
        if (options.journalPath.isEmpty()) {
            *error = QStringLiteral("--journal needs a file name");
            return false;
        }
    }

    options.failOn = parser.values(failOnOption);
    if (options.failOn.contains(QString())) {
        *error = QStringLiteral("--fail-on needs a non-empty substring");
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kaiwoimebs-service"));

    QCommandLineParser parser;
    ImeServiceStandIn::Options options;
    QString error;
    if (!parseOptions(parser, QCoreApplication::arguments(), options, &error)) {
        printError(error);
        std::fprintf(stderr, "Try 'kaiwoimebs-service --help'.\n");
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }

    UnixSignalQuitter quitter;
    if (!quitter.install(&error)) {
        printError(error);
        return 1;
    }

    ImeServiceStandIn service(options);
    if (!service.start(&error)) {
        printError(error);
        return 1;
    }
    return app.exec();
}
