#pragma once
// How running copies of the converter reach each other's windows: every window
// answers on a local socket filed under its caption in the per-user runtime
// folder, so a copy can find "the window titled Formshift" and hand it a word.
// Delivery is synchronous: the receiver acknowledges after it has handled the word.
#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;
class QLocalSocket;

class TInstanceChannel : public QObject {
    Q_OBJECT

  public:
    // Handles one word; the returned bytes travel back with the acknowledgement.
    using Handler = std::function<QByteArray(const QString& word)>;

    explicit TInstanceChannel(Handler handler, QObject* parent = nullptr);
    ~TInstanceChannel() override;

    // Answers under `caption` from now on (and no longer under the previous one).
    bool Listen(const QString& caption);
    void Close();
    const QString& Caption() const { return FCaption; }

    // The folder the windows' sockets are filed in, one sub-folder per caption.
    static QString WindowsFolder();
    // Hands the word to one window answering under `caption` (never to this
    // process) and waits for its acknowledgement. False when no window took it.
    static bool Send(const QString& word, const QString& caption, QByteArray* reply = nullptr);

  private:
    void Serve(QLocalSocket* socket);

    Handler FHandler;
    QLocalServer* FServer = nullptr;
    QString FCaption;
};

// Nothing happens when no window has that caption.
bool SendToInstance(const QString& word, const QString& caption = QStringLiteral("Formshift"));
