#include "UpdateChecker.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "BundleInstall.h"
#include "MainThreadQueue.h"
#include "UpdateRules.h"
#include "Version.h"

#ifndef JOULEMAP_VERSION
#define JOULEMAP_VERSION ""
#endif
#ifndef JOULEMAP_UPDATE_FEED_URL
#define JOULEMAP_UPDATE_FEED_URL ""
#endif

namespace joulemap {

namespace fs = std::filesystem;

namespace {

constexpr int kFeedTimeoutMs = 8000;
// A download that receives nothing for this long has stalled; without a limit the notice would
// read "下载中" forever.
constexpr int kDownloadStallTimeoutMs = 60000;
// The feed is a few hundred bytes; anything far larger is not our feed.
constexpr qint64 kMaxFeedBytes = 1 << 20;
constexpr int kPercentStep = 5;
constexpr int kFullPercent = 100;
constexpr int kHttpOk = 200;
constexpr int kRelaunchDelayMs = 500;
constexpr int kQuitDelayMs = 1000;
const char* const kFallbackVersion = "0.0.0";
const char* const kPartSuffix = ".part";
const char* const kUnpackTemplate = "joulemap-update-XXXXXX";
const char* const kErrorDetailOpen = "（";
const char* const kErrorDetailClose = "）";

QUrl& sharedFeedURL() {
    static QUrl url(QString::fromUtf8(JOULEMAP_UPDATE_FEED_URL));
    return url;
}

QString fromStd(const std::string& text) { return QString::fromStdString(text); }
QString fromPath(const fs::path& path) { return QString::fromStdString(path.string()); }
fs::path toPath(const QString& path) { return fs::path(path.toStdString()); }

bool isPermitted(const QUrl& url) {
    return url.isValid() && isPermittedDownloadAddress(url.scheme().toStdString(), url.host().toStdString());
}

UpdateChecker::Desktop systemDesktop() {
    return {[](const QUrl& url) { QDesktopServices::openUrl(url); }, [] { QCoreApplication::quit(); }};
}

// Sorted, so the same image always yields the same bundle whatever order the file system lists in.
std::vector<std::string> bundleCandidates(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        // A real folder only: a link named like a bundle could point anywhere on this machine.
        if (it->is_directory() && !it->is_symlink()) names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

UpdateChecker::UpdateChecker(QObject* parent)
    : UpdateChecker(thisUpdatePlatform(), QString::fromUtf8(JOULEMAP_VERSION), QCoreApplication::applicationFilePath(),
                    systemDesktop(), parent) {}

UpdateChecker::UpdateChecker(UpdatePlatform platform, QString localVersion, QString runningExecutable, Desktop desktop,
                             QObject* parent)
    : QObject(parent),
      platform_(std::move(platform)),
      localVersion_(localVersion.isEmpty() ? QString::fromLatin1(kFallbackVersion) : std::move(localVersion)),
      runningExecutable_(std::move(runningExecutable)),
      desktop_(std::move(desktop)),
      network_(new QNetworkAccessManager(this)) {}

UpdateChecker::~UpdateChecker() {
    // An interrupted download leaves no half-written file behind.
    if (download_) {
        download_->disconnect(this);
        download_->abort();
    }
    if (partFile_) partFile_->remove();
}

QUrl UpdateChecker::feedURL() { return sharedFeedURL(); }
void UpdateChecker::setFeedURL(const QUrl& url) { sharedFeedURL() = url; }

bool UpdateChecker::isNewer(const QString& a, const QString& b) {
    return isNewerVersion(a.toStdString(), b.toStdString());
}

bool UpdateChecker::oneClickOffered() const {
    return isInsideBundle(toPath(runningExecutable_), platform_.installedBundle());
}

std::optional<UpdateNotice> UpdateChecker::notice() const {
    return updateNotice(available_, progress_, oneClickOffered());
}

void UpdateChecker::check() {
    const QUrl url = feedURL();
    // The feed names the image and its checksum, so it must come as safely as the image itself.
    if (url.isEmpty() || !isPermitted(url)) return;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(kFeedTimeoutMs);
    QNetworkReply* reply = network_->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { onFeedFinished(reply); });
}

void UpdateChecker::onFeedFinished(QNetworkReply* reply) {
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status != kHttpOk || reply->bytesAvailable() > kMaxFeedBytes) {
        return;
    }
    const QByteArray body = reply->readAll();
    auto info = decodeUpdateInfo(std::string_view(body.constData(), size_t(body.size())));
    if (!info) return;
    // An equal or older release withdraws an earlier offer.
    setAvailable(isNewer(fromStd(info->version), localVersion_) ? std::move(info) : std::nullopt);
    lastChecked_ = QDateTime::currentDateTime();
    emit lastCheckedChanged();
}

void UpdateChecker::performAutoUpdate() {
    if (!available_ || progress_ != UpdateProgress::idle() || !oneClickOffered()) return;
    const QUrl url(fromStd(available_->url));
    if (!url.isValid() || url.isRelative()) return;
    setProgress(UpdateProgress::downloading(0));
    if (!isPermitted(url)) {
        fail(QString::fromStdString(UpdateError::kInsecureAddress.str()));
        return;
    }
    startDownload(*available_);
}

void UpdateChecker::startDownload(const UpdateInfo& info) {
    const fs::path target = platform_.downloadTarget(info.version);
    // The version comes from the network; it must not steer the file out of the Downloads folder.
    if (target.parent_path() != platform_.downloadTarget({}).parent_path()) {
        fail(QString::fromStdString(UpdateError::kCannotWriteDownload.str()));
        return;
    }
    std::error_code error;
    fs::create_directories(target.parent_path(), error);
    target_ = fromPath(target);
    partFile_ = std::make_unique<QFile>(target_ + QLatin1String(kPartSuffix));
    if (!partFile_->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        partFile_.reset();
        fail(QString::fromStdString(UpdateError::kCannotWriteDownload.str()));
        return;
    }
    hash_ = std::make_unique<QCryptographicHash>(QCryptographicHash::Sha256);
    expectedSha256_ = info.sha256;
    publishedStep_ = 0;
    writeFailed_ = false;

    QNetworkRequest request(QUrl(fromStd(info.url)));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(kDownloadStallTimeoutMs);
    download_ = network_->get(request);
    connect(download_, &QNetworkReply::readyRead, this, &UpdateChecker::onDownloadData);
    connect(download_, &QNetworkReply::downloadProgress, this, &UpdateChecker::onDownloadProgress);
    connect(download_, &QNetworkReply::finished, this, &UpdateChecker::onDownloadFinished);
}

void UpdateChecker::onDownloadData() {
    if (!download_ || writeFailed_) return;
    // An error page is not the image; it is never written.
    if (download_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != kHttpOk) return;
    const QByteArray chunk = download_->readAll();
    if (partFile_->write(chunk) != chunk.size()) {
        writeFailed_ = true;
        download_->abort();
        return;
    }
    hash_->addData(chunk);
}

void UpdateChecker::onDownloadProgress(qint64 received, qint64 total) {
    // Without a content length there is nothing to measure against; the notice stays at 0 % until
    // the end. 100 % is announced once the file is complete, not when the last byte arrives.
    if (total <= 0 || received <= 0 || !download_ ||
        download_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != kHttpOk) {
        return;
    }
    const int step = int(std::min(received, total) * kFullPercent / total) / kPercentStep;
    if (step > publishedStep_ && step < kFullPercent / kPercentStep) {
        publishedStep_ = step;
        setProgress(UpdateProgress::downloading(double(received) / double(total)));
    }
}

void UpdateChecker::onDownloadFinished() {
    QNetworkReply* reply = download_;
    if (reply == nullptr) return;
    onDownloadData();
    reply->deleteLater();
    download_ = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();

    QString failure;
    if (writeFailed_) {
        failure = QString::fromStdString(UpdateError::kCannotWriteDownload.str());
    } else if (status != 0 && status != kHttpOk) {
        failure = QString::fromStdString(UpdateError::kBadServerResponse.str()).arg(status);
    } else if (reply->error() != QNetworkReply::NoError) {
        failure = reply->errorString();
    } else if (!partFile_->flush()) {
        failure = QString::fromStdString(UpdateError::kCannotWriteDownload.str());
    } else if (expectedSha256_ && hash_->result().toHex().toStdString() != *expectedSha256_) {
        failure = QString::fromStdString(UpdateError::kChecksumMismatch.str());
    }
    partFile_->close();
    std::error_code error;
    if (failure.isEmpty()) fs::rename(toPath(partFile_->fileName()), toPath(target_), error);
    if (!failure.isEmpty() || error) {
        partFile_->remove();
        partFile_.reset();
        fail(failure.isEmpty() ? QString::fromStdString(UpdateError::kCannotWriteDownload.str()) : failure);
        return;
    }
    partFile_.reset();
    hash_.reset();
    setProgress(UpdateProgress::downloading(1));
    setProgress(UpdateProgress::installing());
    install();
}

void UpdateChecker::install() {
    const QString tool = fromPath(platform_.imageTool);
    if (platform_.imageFormat == UpdatePlatform::ImageFormat::diskImage) {
        runTool(tool, {QStringLiteral("attach"), QStringLiteral("-nobrowse"), target_}, [this](const ToolResult& r) {
            if (!r.started) return fail(r.error);
            const auto mountPoint = mountPointFromAttachOutput(r.output.toStdString());
            if (!mountPoint) return fail(QString::fromStdString(UpdateError::kMountFailed.str()));
            onImageOpened(fromStd(*mountPoint), platform_.mountRoot / fs::path(*mountPoint).relative_path());
        });
        return;
    }
    // A fresh folder only this user can enter: nobody can slip files into the bundle between
    // unpacking and copying.
    std::string folderTemplate = (platform_.unpackFolder / kUnpackTemplate).string();
    if (::mkdtemp(folderTemplate.data()) == nullptr) return fail(QString::fromStdString(UpdateError::kMountFailed.str()));
    const QString folder = fromStd(folderTemplate);
    runTool(tool, {QStringLiteral("-x"), QStringLiteral("-z"), QStringLiteral("-f"), target_, QStringLiteral("-C"), folder},
            [this, folder](const ToolResult& r) {
                mountPoint_ = folder;
                // A damaged archive unpacks partly; a partial bundle must never be installed.
                if (!r.started || r.exitCode != 0) {
                    closeImage();
                    return fail(r.started ? QString::fromStdString(UpdateError::kMountFailed.str()) : r.error);
                }
                onImageOpened(folder, toPath(folder));
            });
}

void UpdateChecker::onImageOpened(const QString& mountPoint, const fs::path& folder) {
    mountPoint_ = mountPoint;
    const auto entry = bundleEntryName(bundleCandidates(folder));
    if (!entry) {
        closeImage();
        return fail(QString::fromStdString(UpdateError::kNoBundle.str()));
    }
    const fs::path source = folder / *entry;
    const fs::path destination = platform_.installFolder / *entry;
    // Copying a bundle takes long enough to freeze the panel; the result comes back here.
    QPointer<UpdateChecker> self(this);
    QThreadPool::globalInstance()->start([self, source, destination]() mutable {
        MainThreadQueue::post(std::move(self), [error = replaceBundle(source, destination), destination](UpdateChecker& checker) {
            checker.onBundleCopied(error, fromPath(destination));
        });
    });
}

void UpdateChecker::onBundleCopied(const std::optional<std::string>& error, const QString& destination) {
    if (error) {
        closeImage();
        return fail(QString::fromStdString(UpdateError::kCannotInstall.str()) + QString::fromUtf8(kErrorDetailOpen) +
                    fromStd(*error) + QString::fromUtf8(kErrorDetailClose));
    }
    auto finish = [this] {
        closeImage();
        QFile::remove(target_);
        setProgress(UpdateProgress::done());
    };
    if (platform_.attributeTool.empty()) return finish();
    // Clears the quarantine flag the download put on the bundle; what the tool says does not matter.
    runTool(fromPath(platform_.attributeTool), {QStringLiteral("-cr"), destination},
            [finish](const ToolResult&) { finish(); });
}

void UpdateChecker::closeImage() {
    if (mountPoint_.isEmpty()) return;
    if (platform_.imageFormat == UpdatePlatform::ImageFormat::diskImage) {
        QProcess::startDetached(fromPath(platform_.imageTool),
                                {QStringLiteral("detach"), mountPoint_, QStringLiteral("-quiet")});
    } else {
        QThreadPool::globalInstance()->start([folder = toPath(mountPoint_)] {
            std::error_code ignored;
            fs::remove_all(folder, ignored);
        });
    }
    mountPoint_.clear();
}

void UpdateChecker::runTool(const QString& program, const QStringList& arguments, ToolDone done) {
    auto* process = new QProcess(this);
    process->setStandardErrorFile(QProcess::nullDevice());
    // Output is collected by the event loop as it comes, so a chatty tool never blocks on a full pipe.
    connect(process, &QProcess::errorOccurred, this, [process, done](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        process->deleteLater();
        done({false, process->errorString(), {}, -1});
    });
    connect(process, &QProcess::finished, this, [process, done](int exitCode, QProcess::ExitStatus status) {
        process->deleteLater();
        done({true, {}, process->readAllStandardOutput(), status == QProcess::NormalExit ? exitCode : -1});
    });
    process->start(program, arguments);
}

void UpdateChecker::openDownload() {
    if (!available_) return;
    const QUrl url(fromStd(available_->url));
    // Only web addresses: the system's handler for any other scheme could start a program.
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("https") && scheme != QLatin1String("http"))) return;
    desktop_.openUrl(url);
}

void UpdateChecker::restartApp() {
    const QString program = fromPath(platform_.relaunchProgram);
    QStringList arguments;
    for (const auto& argument : platform_.relaunchArguments) arguments << fromStd(argument);
    QTimer::singleShot(kRelaunchDelayMs, this, [program, arguments] { QProcess::startDetached(program, arguments); });
    QTimer::singleShot(kQuitDelayMs, this, [this] { desktop_.quit(); });
}

void UpdateChecker::setAvailable(std::optional<UpdateInfo> info) {
    available_ = std::move(info);
    emit availableChanged();
}

void UpdateChecker::setProgress(UpdateProgress progress) {
    progress_ = std::move(progress);
    emit progressChanged();
}

void UpdateChecker::fail(const QString& message) { setProgress(UpdateProgress::failed(message.toStdString())); }

}  // namespace joulemap
