#pragma once

#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "UpdateInfo.h"
#include "UpdateNotice.h"
#include "UpdatePlatform.h"
#include "UpdateProgress.h"

class QCryptographicHash;
class QNetworkAccessManager;
class QNetworkReply;

namespace joulemap {

// Finds out whether a newer release exists and, on request, installs it: the image is streamed to
// ~/Downloads, checked against the feed's checksum, opened (mounted or unpacked), and its bundle
// replaces the installed one in one rename. State changes happen on the main thread only; the
// network, the tools and the copy run elsewhere and report back here.
class UpdateChecker : public QObject {
    Q_OBJECT

public:
    // What the updater asks of the desktop; tests replace it so nothing opens or quits for real.
    struct Desktop {
        std::function<void(const QUrl&)> openUrl;  // the browser, for a manual download
        std::function<void()> quit;
    };

    // This platform's paths, the version this program was built as, the running executable.
    explicit UpdateChecker(QObject* parent = nullptr);
    UpdateChecker(UpdatePlatform platform, QString localVersion, QString runningExecutable, Desktop desktop,
                  QObject* parent = nullptr);
    ~UpdateChecker() override;

    // The feed's address, shared by all instances; empty (the default unless the build sets one)
    // makes check() do nothing.
    static QUrl feedURL();
    static void setFeedURL(const QUrl& url);

    static bool isNewer(const QString& a, const QString& b);

    const std::optional<UpdateInfo>& available() const { return available_; }
    const std::optional<QDateTime>& lastChecked() const { return lastChecked_; }
    const UpdateProgress& progress() const { return progress_; }
    const QString& localVersion() const { return localVersion_; }
    const UpdatePlatform& platform() const { return platform_; }

    // Only the copy the updater installs can replace itself; a packaged or build-tree program
    // offers the manual download instead.
    bool oneClickOffered() const;
    // What the update notice shows now; none without an offer.
    std::optional<UpdateNotice> notice() const;

    // One feed check; returns at once. Failures (unreachable, not 200, malformed) change nothing.
    void check();
    // Starts the one-click update when there is an offer, it may replace this copy and nothing has
    // been tried yet since start; returns at once.
    void performAutoUpdate();
    // Opens the offer's address in the browser.
    void openDownload();
    // Starts the installed copy and quits this one.
    void restartApp();

signals:
    void availableChanged();
    void lastCheckedChanged();
    void progressChanged();

protected:
    // Publishing, for subclasses that show the notice in fixed states (previews of the panel).
    void setAvailable(std::optional<UpdateInfo> info);
    void setProgress(UpdateProgress progress);

private:
    struct ToolResult {
        bool started = false;
        QString error;  // why it did not start
        QByteArray output;
        int exitCode = -1;
    };
    using ToolDone = std::function<void(const ToolResult&)>;

    void fail(const QString& message);
    void onFeedFinished(QNetworkReply* reply);
    void startDownload(const UpdateInfo& info);
    void onDownloadData();
    void onDownloadProgress(qint64 received, qint64 total);
    void onDownloadFinished();
    void install();
    // `mountPoint` as the tool named it (for closing), `folder` where its files are.
    void onImageOpened(const QString& mountPoint, const std::filesystem::path& folder);
    void onBundleCopied(const std::optional<std::string>& error, const QString& destination);
    void closeImage();
    void runTool(const QString& program, const QStringList& arguments, ToolDone done);

    UpdatePlatform platform_;
    QString localVersion_;
    QString runningExecutable_;
    Desktop desktop_;
    QNetworkAccessManager* network_;

    std::optional<UpdateInfo> available_;
    std::optional<QDateTime> lastChecked_;
    UpdateProgress progress_;

    // The download under way.
    QPointer<QNetworkReply> download_;
    std::unique_ptr<QFile> partFile_;
    std::unique_ptr<QCryptographicHash> hash_;
    QString target_;
    std::optional<std::string> expectedSha256_;
    int publishedStep_ = 0;
    bool writeFailed_ = false;
    // The opened image, closed when the installation step ends.
    QString mountPoint_;
};

}  // namespace joulemap
