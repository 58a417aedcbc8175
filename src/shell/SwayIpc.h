#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>

#include <optional>

namespace joulemap {

// The few requests Joulemap makes of sway over its IPC socket ($SWAYSOCK). A Wayland window cannot
// place itself; sway places a floating window where it is told, which is how the tray panel opens
// next to the tray rather than in the middle of the screen. Each request waits briefly and gives
// up: a missing or stuck compositor must never hold the interface.
class SwayIpc {
public:
    // The socket from $SWAYSOCK; empty when not running under sway.
    static QString socketPath();

    explicit SwayIpc(QString socketPath = SwayIpc::socketPath());

    bool available() const { return !socketPath_.isEmpty(); }
    // The focused workspace's area: the output less the bars that reserve space on it.
    std::optional<QRect> focusedWorkspaceArea() const;
    // The whole focused output, bars included.
    std::optional<QRect> focusedOutput() const;
    // Runs a command; true when sway ran it on at least one window.
    bool run(const QString& command) const;

    static constexpr int kTimeoutMs = 200;

private:
    std::optional<QByteArray> request(quint32 type, const QByteArray& payload) const;
    // The rectangle of the focused entry in a list of workspaces or outputs.
    std::optional<QRect> focusedRect(quint32 type) const;

    QString socketPath_;
};

}  // namespace joulemap
