#include "ImeClient.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QElapsedTimer>

#include <unistd.h>

namespace
{

const int kCallTimeoutMs = 30000;

// Both frameworks share these two capability bits: the client shows the
// preedit itself and wants it with its format.
const uint kCapPreedit = 1u << 1;
const uint kCapFormattedPreedit = 1u << 4;
// fcitx 5 sends a client with this bit its input panel, candidates and all.
const qulonglong kCapClientSideInputPanel = 1ull << 39;

// fcitx 4 tells a kimpanel its candidates only once a panel holds this name
// and has said it is there.
const char kPanelService[] = "org.kde.impanel";
const char kPanelPath[] = "/org/kde/impanel";

class Fcitx4Client : public ImeClient
{
public:
    Fcitx4Client(const QString &im)
        : ImeClient(QStringLiteral("org.fcitx.Fcitx-%1").arg(displayNumber()),
                    QStringLiteral("org.fcitx.Fcitx.InputContext"), im)
    {
    }

    bool watchCandidates(QString *error) override
    {
        if (!m_bus.registerService(QLatin1String(kPanelService))) {
            *error = m_bus.lastError().message();
            return false;
        }
        const QString path = QStringLiteral("/kimpanel");
        const QString interface = QStringLiteral("org.kde.kimpanel.inputmethod");
        m_bus.connect(m_service, path, interface, QStringLiteral("UpdateLookupTable"), this,
                      SLOT(onLookupTable(QDBusMessage)));
        m_bus.connect(m_service, path, interface, QStringLiteral("ShowLookupTable"), this,
                      SLOT(onShowLookupTable(bool)));
        // fcitx found no panel when it started and fell back to its own
        // window; this brings its kimpanel front end back.
        panelSignal(QStringLiteral("PanelCreated"));
        settle();
        return true;
    }

    void selectCandidate(int index) override
    {
        panelSignal(QStringLiteral("SelectCandidate"), {index});
    }

    void turnPage(bool forward) override
    {
        panelSignal(forward ? QStringLiteral("LookupTablePageDown")
                            : QStringLiteral("LookupTablePageUp"));
    }

protected:
    bool createContext(QString *error) override
    {
        const QDBusMessage reply = callInputMethod(
            QStringLiteral("CreateICv3"), {QStringLiteral("bench_accuracy"), int(getpid())});
        if (reply.type() != QDBusMessage::ReplyMessage) {
            *error = reply.errorMessage();
            return false;
        }
        m_icPath = QStringLiteral("/inputcontext_%1").arg(reply.arguments().value(0).toInt());
        return true;
    }

    bool selectInputMethod(QString *error) override
    {
        callContext(QStringLiteral("FocusIn"));
        callContext(QStringLiteral("SetCapacity"), {kCapPreedit | kCapFormattedPreedit});
        callContext(QStringLiteral("EnableIC"));
        callInputMethod(QStringLiteral("SetCurrentIM"), {m_im});
        const QString current =
            callInputMethod(QStringLiteral("GetCurrentIM")).arguments().value(0).toString();
        if (current != m_im)
            *error = QStringLiteral("the current input method is '%1'").arg(current);
        return current == m_im;
    }

    QDBusMessage keyEvent(uint keysym, uint keycode, bool release) const override
    {
        QDBusMessage m = QDBusMessage::createMethodCall(m_service, m_icPath, m_icInterface,
                                                        QStringLiteral("ProcessKeyEvent"));
        m << keysym << keycode << 0u << int(release) << 0u;
        return m;
    }

private:
    // fcitx reads these in order with our calls, so the next settle() also
    // covers what they caused.
    void panelSignal(const QString &name, const QVariantList &args = {})
    {
        QDBusMessage m = QDBusMessage::createSignal(QLatin1String(kPanelPath),
                                                    QLatin1String(kPanelService), name);
        m.setArguments(args);
        m_bus.send(m);
    }

    // fcitx 4 names itself after the X display it serves.
    static QString displayNumber()
    {
        QString display = qEnvironmentVariable("DISPLAY");
        display = display.mid(display.indexOf(QLatin1Char(':')) + 1);
        return display.left(display.indexOf(QLatin1Char('.')));
    }

    QDBusMessage callInputMethod(const QString &method, const QVariantList &args = {}) const
    {
        QDBusMessage m =
            QDBusMessage::createMethodCall(m_service, QStringLiteral("/inputmethod"),
                                           QStringLiteral("org.fcitx.Fcitx.InputMethod"), method);
        m.setArguments(args);
        return call(m);
    }
};

// CreateInputContext takes the client's properties as a(ss).
struct StringPair {
    QString key;
    QString value;
};
using StringPairs = QList<StringPair>;

QDBusArgument &operator<<(QDBusArgument &arg, const StringPair &pair)
{
    arg.beginStructure();
    arg << pair.key << pair.value;
    arg.endStructure();
    return arg;
}

const QDBusArgument &operator>>(const QDBusArgument &arg, StringPair &pair)
{
    arg.beginStructure();
    arg >> pair.key >> pair.value;
    arg.endStructure();
    return arg;
}

} // namespace

Q_DECLARE_METATYPE(StringPair)
Q_DECLARE_METATYPE(StringPairs)

namespace
{

class Fcitx5Client : public ImeClient
{
public:
    Fcitx5Client(const QString &im)
        : ImeClient(QStringLiteral("org.fcitx.Fcitx5"),
                    QStringLiteral("org.fcitx.Fcitx.InputContext1"), im)
    {
        qDBusRegisterMetaType<StringPair>();
        qDBusRegisterMetaType<StringPairs>();
    }

    bool watchCandidates(QString *error) override
    {
        const QDBusMessage reply =
            callContext(QStringLiteral("SetCapability"),
                        {QVariant::fromValue(qulonglong(kCapPreedit | kCapFormattedPreedit) |
                                             kCapClientSideInputPanel)});
        if (reply.type() != QDBusMessage::ReplyMessage) {
            *error = reply.errorMessage();
            return false;
        }
        m_bus.connect(m_service, m_icPath, m_icInterface, QStringLiteral("UpdateClientSideUI"),
                      this, SLOT(onClientSideUi(QDBusMessage)));
        return true;
    }

    void selectCandidate(int index) override
    {
        callContext(QStringLiteral("SelectCandidate"), {index});
    }

    void turnPage(bool forward) override
    {
        callContext(forward ? QStringLiteral("NextPage") : QStringLiteral("PrevPage"));
    }

protected:
    bool createContext(QString *error) override
    {
        QDBusMessage m = QDBusMessage::createMethodCall(
            m_service, QStringLiteral("/org/freedesktop/portal/inputmethod"),
            QStringLiteral("org.fcitx.Fcitx.InputMethod1"), QStringLiteral("CreateInputContext"));
        m << QVariant::fromValue(StringPairs{{QStringLiteral("program"), "bench_accuracy"}});
        const QDBusMessage reply = call(m);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            *error = reply.errorMessage();
            return false;
        }
        m_icPath = reply.arguments().value(0).value<QDBusObjectPath>().path();
        return true;
    }

    bool selectInputMethod(QString *error) override
    {
        callContext(QStringLiteral("SetCapability"),
                    {QVariant::fromValue(qulonglong(kCapPreedit | kCapFormattedPreedit))});
        callContext(QStringLiteral("FocusIn"));
        // The controller acts on the context that has the focus: ours.
        callController(QStringLiteral("SetCurrentIM"), {m_im});
        const QString current =
            callController(QStringLiteral("CurrentInputMethod")).arguments().value(0).toString();
        if (current != m_im)
            *error = QStringLiteral("the current input method is '%1'").arg(current);
        return current == m_im;
    }

    QDBusMessage keyEvent(uint keysym, uint keycode, bool release) const override
    {
        QDBusMessage m = QDBusMessage::createMethodCall(m_service, m_icPath, m_icInterface,
                                                        QStringLiteral("ProcessKeyEvent"));
        m << keysym << keycode << 0u << release << 0u;
        return m;
    }

private:
    QDBusMessage callController(const QString &method, const QVariantList &args = {}) const
    {
        QDBusMessage m =
            QDBusMessage::createMethodCall(m_service, QStringLiteral("/controller"),
                                           QStringLiteral("org.fcitx.Fcitx.Controller1"), method);
        m.setArguments(args);
        return call(m);
    }
};

} // namespace

ImeClient::ImeClient(QString service, QString icInterface, QString im)
    : m_bus(QDBusConnection::sessionBus()), m_service(std::move(service)),
      m_icInterface(std::move(icInterface)), m_im(std::move(im))
{
}

bool ImeClient::open(QString *error)
{
    if (m_icPath.isEmpty()) {
        if (!createContext(error))
            return false;
        m_bus.connect(m_service, m_icPath, m_icInterface, QStringLiteral("CommitString"), this,
                      SLOT(onCommit(QString)));
        m_bus.connect(m_service, m_icPath, m_icInterface, QStringLiteral("UpdateFormattedPreedit"),
                      this, SLOT(onPreedit(QDBusMessage)));
    }
    return selectInputMethod(error);
}

bool ImeClient::press(uint keysym, uint keycode, qint64 *micros)
{
    QElapsedTimer timer;
    timer.start();
    const QDBusMessage reply = call(keyEvent(keysym, keycode, false));
    if (micros)
        *micros = timer.nsecsElapsed() / 1000;
    // A client sends the release too; engines may act on it.
    call(keyEvent(keysym, keycode, true));
    const QVariant handled = reply.arguments().value(0);
    return handled.type() == QVariant::Bool ? handled.toBool() : handled.toInt() != 0;
}

void ImeClient::settle()
{
    // fcitx answers a key before its main loop sends the preedit that the
    // key changed. The second ping is read by fcitx no earlier than the
    // loop pass after the first one, when that pass's signals have gone out.
    for (int i = 0; i < 2; ++i) {
        call(QDBusMessage::createMethodCall(m_service, QStringLiteral("/"),
                                            QStringLiteral("org.freedesktop.DBus.Peer"),
                                            QStringLiteral("Ping")));
    }
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void ImeClient::reset()
{
    callContext(QStringLiteral("Reset"));
    m_candidates.clear();
    m_hasNextPage = false;
}

QString ImeClient::takeCommitted()
{
    QString text;
    text.swap(m_committed);
    return text;
}

QDBusMessage ImeClient::callContext(const QString &method, const QVariantList &args) const
{
    QDBusMessage m = QDBusMessage::createMethodCall(m_service, m_icPath, m_icInterface, method);
    m.setArguments(args);
    return call(m);
}

QDBusMessage ImeClient::call(const QDBusMessage &message) const
{
    return m_bus.call(message, QDBus::Block, kCallTimeoutMs);
}

void ImeClient::onCommit(const QString &text)
{
    m_committed += text;
}

void ImeClient::onPreedit(const QDBusMessage &message)
{
    const QDBusArgument parts = message.arguments().value(0).value<QDBusArgument>();
    QString text;
    parts.beginArray();
    while (!parts.atEnd()) {
        QString piece;
        int format = 0;
        parts.beginStructure();
        parts >> piece >> format;
        parts.endStructure();
        text += piece;
    }
    parts.endArray();
    m_preedit = text;
}

void ImeClient::onLookupTable(const QDBusMessage &message)
{
    // Labels, texts, attributes, then whether there are pages before and
    // after this one.
    const QVariantList args = message.arguments();
    m_candidates = args.value(1).toStringList();
    m_hasNextPage = args.size() >= 5 && args.last().toBool();
}

void ImeClient::onShowLookupTable(bool shown)
{
    if (!shown) {
        m_candidates.clear();
        m_hasNextPage = false;
    }
}

void ImeClient::onClientSideUi(const QDBusMessage &message)
{
    // Preedit, its cursor, the aux lines up and down, the candidates as
    // (label, text), the highlighted one, the layout, then whether there
    // are pages before and after this one.
    const QVariantList args = message.arguments();
    m_candidates.clear();
    for (const StringPair &candidate : qdbus_cast<StringPairs>(args.value(4)))
        m_candidates << candidate.value;
    m_hasNextPage = args.value(8).toBool();
}

std::unique_ptr<ImeClient> makeClient(int framework, const QString &im)
{
    if (framework == 4)
        return std::make_unique<Fcitx4Client>(im);
    if (framework == 5)
        return std::make_unique<Fcitx5Client>(im);
    return nullptr;
}
