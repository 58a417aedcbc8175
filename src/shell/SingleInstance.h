#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace joulemap {

// One Joulemap per user: the first process listens on a local socket in the user's runtime folder,
// a later one asks it to show its window and leaves. A socket left behind by a crashed process
// answers nobody and is cleared away.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Role { primary, secondary };

    // The socket of this user: "$XDG_RUNTIME_DIR/joulemap.socket", or in the temp folder with the
    // user id in its name when there is no runtime folder.
    static QString defaultSocketPath();

    explicit SingleInstance(QString socketPath = defaultSocketPath(), QObject* parent = nullptr);

    // Asks a running instance to reopen and returns secondary when one answered; otherwise takes
    // the socket and returns primary. With `replace`, waits up to `replaceWaitMs` for a running
    // instance to quit (it is on its way out after an update) and then takes over in any case.
    Role start(bool replace, int replaceWaitMs = kReplaceWaitMs);

    const QString& socketPath() const { return socketPath_; }
    bool isListening() const { return server_.isListening(); }

    static constexpr int kReplaceWaitMs = 5000;

signals:
    // A second launch asked for the main window.
    void reopenRequested();

private:
    bool askRunningToReopen();
    bool anotherIsListening();
    bool listen();

    QString socketPath_;
    QLocalServer server_;
};

}  // namespace joulemap
