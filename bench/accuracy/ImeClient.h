// One input context of a running fcitx, driven over the framework's own
// D-Bus interface the way a toolkit's input method module does it.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QDBusMessage;

class ImeClient : public QObject
{
    Q_OBJECT
public:
    // The bus name, the input context's interface and the input method.
    ImeClient(QString service, QString icInterface, QString im);

    // Creates the context, focuses it and makes `im` its input method;
    // false with `error` set while fcitx cannot do that yet.
    bool open(QString *error);
    // True when the engine took the key; `micros` gets the round trip.
    bool press(uint keysym, uint keycode, qint64 *micros = nullptr);
    void reset();
    // Returns once fcitx has sent everything that the keys so far caused.
    void settle();

    QString preedit() const { return m_preedit; }
    QString takeCommitted();

    // Has fcitx send each page of candidates, as it does to a panel; false
    // with `error` set when the bus will not have it.
    virtual bool watchCandidates(QString *error) = 0;
    // The page shown now, empty while no candidates are.
    QStringList candidates() const { return m_candidates; }
    bool hasNextPage() const { return m_hasNextPage; }
    // By its place on the page, as a click on it would.
    virtual void selectCandidate(int index) = 0;
    virtual void turnPage(bool forward) = 0;

protected:
    virtual bool createContext(QString *error) = 0;
    virtual bool selectInputMethod(QString *error) = 0;
    virtual QDBusMessage keyEvent(uint keysym, uint keycode, bool release) const = 0;
    // Calls a method of the input context and returns its reply.
    QDBusMessage callContext(const QString &method, const QVariantList &args = {}) const;
    QDBusMessage call(const QDBusMessage &message) const;

    QDBusConnection m_bus;
    QString m_service;
    QString m_icInterface;
    QString m_im;
    QString m_icPath;

private slots:
    void onCommit(const QString &text);
    void onPreedit(const QDBusMessage &message);
    // fcitx 4's kimpanel interface.
    void onLookupTable(const QDBusMessage &message);
    void onShowLookupTable(bool shown);
    // fcitx 5's input panel for a client that draws it.
    void onClientSideUi(const QDBusMessage &message);

private:
    QString m_preedit;
    QString m_committed;
    QStringList m_candidates;
    bool m_hasNextPage = false;
};

// Makes the client for `framework` (4 or 5), null for another number.
std::unique_ptr<ImeClient> makeClient(int framework, const QString &im);
