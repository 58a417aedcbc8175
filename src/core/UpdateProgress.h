#pragma once

#include <string>
#include <utility>

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
inline constexpr const char* kMountFailed = "无法挂载 dmg";
inline constexpr const char* kNoBundle = "dmg 中未找到 .app";
// A download answered with anything but 200; the status code follows.
inline constexpr const char* kBadServerResponse = "服务器响应异常，状态码 ";
// Plain HTTP to anywhere but this machine: anyone on the way could swap the image.
inline constexpr const char* kInsecureAddress = "下载地址不安全，只接受 HTTPS";
inline constexpr const char* kChecksumMismatch = "下载的文件校验失败，与发布版本不符";
inline constexpr const char* kCannotWriteDownload = "无法写入下载文件";
inline constexpr const char* kCannotInstall = "无法安装到应用程序文件夹";
}  // namespace UpdateError

}  // namespace joulemap
