#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace joulemap {

// One Joulemap per user: the first process listens on a local socket in the user's runtime folder,
// a later one asks it to show its window and leaves. A socket left behind by a crashed process
// answers nobody and is cleared away.
//
// The request is "reopen\n", or "reopen TOKEN\n" with the xdg-activation token the later launch was
// given, so the window may come forward on Wayland. A token that is too long or holds anything but
// printable ASCII is dropped, and the window reopens without one.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Role { primary, secondary };

    // The socket of this user: "$XDG_RUNTIME_DIR/joulemap.socket", or in the temp folder with the
    // user id in its name when there is no runtime folder.
    static QString defaultSocketPath();

    explicit SingleInstance(QString socketPath = defaultSocketPath(), QObject* parent = nullptr);

    // Asks a running instance to reopen, handing it `activationToken` (may be empty), and returns
    // secondary when one answered; otherwise takes the socket and returns primary. With `replace`,
    // waits up to `replaceWaitMs` for a running instance to quit (it is on its way out after an
    // update) and then takes over in any case.
    Role start(bool replace, const QString& activationToken = QString(), int replaceWaitMs = kReplaceWaitMs);

    const QString& socketPath() const { return socketPath_; }
    bool isListening() const { return server_.isListening(); }

    static constexpr int kReplaceWaitMs = 5000;
    // Compositors hand out far shorter tokens; anything longer is not one.
    static constexpr int kMaxActivationTokenLength = 256;

signals:
    // A second launch asked for the main window; `activationToken` is empty when it brought none.
    void reopenRequested(const QString& activationToken);

private:
    bool askRunningToReopen(const QString& activationToken);
    bool anotherIsListening();
    bool listen();

    QString socketPath_;
    QLocalServer server_;
};

}  // namespace joulemap
