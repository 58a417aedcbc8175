#include "UpdateNotice.h"

#include <algorithm>
#include <cmath>

#include "Accents.h"

namespace joulemap {

namespace {

const char* const kTitlePrefix = "发现新版本 v";
const char* const kDownloadingPrefix = "下载中…";
const char* const kInstalling = "正在安装…";
const char* const kDone = "更新完成，点击「重启」生效";
const char* const kFailedPrefix = "更新失败：";
const char* const kUpdateButton = "一键更新";
const char* const kDownloadButton = "手动下载";
const char* const kRestartButton = "重启";

void offerDownload(UpdateNotice& notice) {
    notice.action = UpdateNotice::Action::download;
    notice.buttonText = kDownloadButton;
    notice.buttonColor = kAccentOrange;
}

}  // namespace

std::optional<UpdateNotice> updateNotice(const std::optional<UpdateInfo>& available, const UpdateProgress& progress,
                                         bool oneClickOffered) {
    if (!available) return std::nullopt;
    UpdateNotice notice;
    notice.title = kTitlePrefix + available->version;
    switch (progress.kind) {
        case UpdateProgress::Kind::idle:
            notice.status = available->notes.value_or("");
            if (oneClickOffered) {
                notice.action = UpdateNotice::Action::update;
                notice.buttonText = kUpdateButton;
                notice.buttonColor = kAccentBlue;
            } else {
                offerDownload(notice);
            }
            break;
        case UpdateProgress::Kind::downloading: {
            // Cut, not rounded: 99.9 % is not finished.
            const double percent = std::floor(std::clamp(progress.fraction, 0.0, 1.0) * 100);
            notice.status = kDownloadingPrefix + std::to_string(static_cast<int>(percent)) + "%";
            break;
        }
        case UpdateProgress::Kind::installing:
            notice.status = kInstalling;
            break;
        case UpdateProgress::Kind::done:
            notice.status = kDone;
            notice.statusTone = UpdateNotice::StatusTone::success;
            notice.action = UpdateNotice::Action::restart;
            notice.buttonText = kRestartButton;
            notice.buttonColor = kAccentGreen;
            break;
        case UpdateProgress::Kind::failed:
            notice.status = kFailedPrefix + progress.message;
            notice.statusTone = UpdateNotice::StatusTone::failure;
            offerDownload(notice);
            break;
    }
    return notice;
}

}  // namespace joulemap
