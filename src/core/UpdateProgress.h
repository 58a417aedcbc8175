#pragma once

#include <string>
#include <utility>

#include "TextTranslation.h"

namespace joulemap {

// Where a one-click update stands. It only moves forward: idle → downloading(0) → downloading(…) →
// downloading(1) → installing → done, or from any downloading or installing state to failed, and
// stays at done or failed until the program restarts.
struct UpdateProgress {
    enum class Kind { downloading, failed, idle, installing, done };

    Kind kind = Kind::idle;
    double fraction = 0;  // 0 to 1 while downloading
    std::string message;  // why it failed

    static UpdateProgress downloading(double fraction) { return {Kind::downloading, fraction, {}}; }
    static UpdateProgress failed(std::string message) { return {Kind::failed, 0, std::move(message)}; }
    static UpdateProgress idle() { return {}; }
    static UpdateProgress installing() { return {Kind::installing, 0, {}}; }
    static UpdateProgress done() { return {Kind::done, 0, {}}; }

    bool operator==(const UpdateProgress&) const = default;
};

// The failure texts the update notice shows after "更新失败：".
namespace UpdateError {
inline constexpr SourceText kMountFailed = JM_TR_NOOP("UpdateError", "无法挂载 dmg");
inline constexpr SourceText kNoBundle = JM_TR_NOOP("UpdateError", "dmg 中未找到 .app");
// A download answered with anything but 200; %1 is the status code.
inline constexpr SourceText kBadServerResponse = JM_TR_NOOP("UpdateError", "服务器响应异常，状态码 %1");
// Plain HTTP to anywhere but this machine: anyone on the way could swap the image.
inline constexpr SourceText kInsecureAddress = JM_TR_NOOP("UpdateError", "下载地址不安全，只接受 HTTPS");
inline constexpr SourceText kChecksumMismatch = JM_TR_NOOP("UpdateError", "下载的文件校验失败，与发布版本不符");
inline constexpr SourceText kCannotWriteDownload = JM_TR_NOOP("UpdateError", "无法写入下载文件");
inline constexpr SourceText kCannotInstall = JM_TR_NOOP("UpdateError", "无法安装到应用程序文件夹");
}  // namespace UpdateError

}  // namespace joulemap
