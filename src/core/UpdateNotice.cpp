#include "UpdateNotice.h"

#include "TextTranslation.h"

#include <algorithm>
#include <cmath>

#include "Accents.h"

namespace joulemap {

namespace {

constexpr SourceText kTitle = JM_TR_NOOP("UpdateNotice", "发现新版本 v%1");
constexpr SourceText kDownloading = JM_TR_NOOP("UpdateNotice", "下载中…%1%");
constexpr SourceText kInstalling = JM_TR_NOOP("UpdateNotice", "正在安装…");
constexpr SourceText kDone = JM_TR_NOOP("UpdateNotice", "更新完成，点击「重启」生效");
constexpr SourceText kFailed = JM_TR_NOOP("UpdateNotice", "更新失败：%1");
constexpr SourceText kUpdateButton = JM_TR_NOOP("UpdateNotice", "一键更新");
constexpr SourceText kDownloadButton = JM_TR_NOOP("UpdateNotice", "手动下载");
constexpr SourceText kRestartButton = JM_TR_NOOP("UpdateNotice", "重启");

void offerDownload(UpdateNotice& notice) {
    notice.action = UpdateNotice::Action::download;
    notice.buttonText = kDownloadButton.str();
    notice.buttonColor = kAccentOrange;
}

}  // namespace

std::optional<UpdateNotice> updateNotice(const std::optional<UpdateInfo>& available, const UpdateProgress& progress,
                                         bool oneClickOffered) {
    if (!available) return std::nullopt;
    UpdateNotice notice;
    notice.title = withArgs(kTitle.str(), {available->version});
    switch (progress.kind) {
        case UpdateProgress::Kind::idle:
            notice.status = available->notes.value_or("");
            if (oneClickOffered) {
                notice.action = UpdateNotice::Action::update;
                notice.buttonText = kUpdateButton.str();
                notice.buttonColor = kAccentBlue;
            } else {
                offerDownload(notice);
            }
            break;
        case UpdateProgress::Kind::downloading: {
            // Cut, not rounded: 99.9 % is not finished.
            const double percent = std::floor(std::clamp(progress.fraction, 0.0, 1.0) * 100);
            notice.status = withArgs(kDownloading.str(), {std::to_string(static_cast<int>(percent))});
            break;
        }
        case UpdateProgress::Kind::installing:
            notice.status = kInstalling.str();
            break;
        case UpdateProgress::Kind::done:
            notice.status = kDone.str();
            notice.statusTone = UpdateNotice::StatusTone::success;
            notice.action = UpdateNotice::Action::restart;
            notice.buttonText = kRestartButton.str();
            notice.buttonColor = kAccentGreen;
            break;
        case UpdateProgress::Kind::failed:
            notice.status = withArgs(kFailed.str(), {progress.message});
            notice.statusTone = UpdateNotice::StatusTone::failure;
            offerDownload(notice);
            break;
    }
    return notice;
}

}  // namespace joulemap
