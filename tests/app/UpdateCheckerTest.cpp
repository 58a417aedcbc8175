#include "UpdateChecker.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <sys/stat.h>

#include "LocalHttpServer.h"

namespace joulemap {
namespace {

using test::LocalHttpServer;
constexpr int kWaitMs = 15000;
const QString kFeedPath = QStringLiteral("/joulemap/appcast.json");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& data, bool executable = false) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
    if (executable) f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
}

// A .tar.gz whose top folder is the bundle, as packaged; random `noiseBytes` keep it large when compressed.
QByteArray tarImage(const QString& workDir, const QString& topFolder, const QByteArray& program,
                    qsizetype noiseBytes = 0) {
    const QString stage = workDir + QStringLiteral("/stage");
    QDir(stage).removeRecursively();
    writeFile(stage + "/" + topFolder + "/bin/joulemap", program, true);
    QByteArray noise(noiseBytes, Qt::Uninitialized);
    for (char& c : noise) c = char(QRandomGenerator::global()->bounded(256));
    writeFile(stage + "/" + topFolder + "/share/joulemap/noise.bin", noise);
    const QString image = workDir + QStringLiteral("/image.tar.gz");
    QProcess tar;
    tar.start(QStringLiteral("/usr/bin/tar"), {"-c", "-z", "-f", image, "-C", stage, topFolder});
    tar.waitForFinished();
    return readAll(image);
}

// A temporary home with the bundle the updater replaces, a server, and checkers that run from that bundle.
class UpdateFlow : public ::testing::Test {
protected:
    void SetUp() override {
        home = dir.path() + QStringLiteral("/home");
        installed = home + QStringLiteral("/Applications/Joulemap.app/bin/joulemap");
        writeFile(installed, "old", true);
        QDir().mkpath(dir.path() + QStringLiteral("/tmp"));
        UpdateChecker::setFeedURL(server.url(kFeedPath));
    }
    void TearDown() override {
        UpdateChecker::setFeedURL({});
        QThreadPool::globalInstance()->waitForDone();
    }

    std::unique_ptr<UpdateChecker> makeChecker(UpdatePlatform platform, const QString& running = {},
                                               const QString& localVersion = QStringLiteral("1.2.0")) {
        UpdateChecker::Desktop desktop{[this](const QUrl& url) { opened << url; }, [this] { ++quits; }};
        return std::make_unique<UpdateChecker>(std::move(platform), localVersion, running.isEmpty() ? installed : running,
                                               desktop);
    }
    UpdatePlatform linuxPlatform() const { return linuxUpdatePlatform(home.toStdString(), (dir.path() + "/tmp").toStdString()); }

    void offer(UpdateChecker& checker, const QByteArray& feed) {
        server.answer(kFeedPath, {200, feed});
        QSignalSpy checked(&checker, &UpdateChecker::lastCheckedChanged);
        checker.check();
        ASSERT_TRUE(checked.wait(kWaitMs));
        ASSERT_TRUE(checker.available().has_value());
    }
    QByteArray feed(const QString& imagePath, const QByteArray& image, const char* version = "1.3.0") {
        server.answer(imagePath, {200, image});
        return QByteArray(R"({"version":")") + version + R"(","url":")" + server.url(imagePath).toEncoded() +
               R"(","sha256":")" + QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex() +
               R"("})";
    }

    // Every state the one-click update goes through to its end.
    std::vector<UpdateProgress> update(UpdateChecker& checker) {
        std::vector<UpdateProgress> seen;
        QObject::connect(&checker, &UpdateChecker::progressChanged, [&] { seen.push_back(checker.progress()); });
        checker.performAutoUpdate();
        const bool ended = QTest::qWaitFor([&] {
            const auto kind = checker.progress().kind;
            return kind == UpdateProgress::Kind::done || kind == UpdateProgress::Kind::failed;
        }, kWaitMs);
        EXPECT_TRUE(ended);
        QObject::disconnect(&checker, &UpdateChecker::progressChanged, nullptr, nullptr);
        QThreadPool::globalInstance()->waitForDone();
        return seen;
    }

    QStringList downloads() const { return QDir(home + QStringLiteral("/Downloads")).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    LocalHttpServer server;
    QString home;
    QString installed;
    QList<QUrl> opened;
    int quits = 0;
};

TEST_F(UpdateFlow, FeedOffersNewerClearsOlderAndIgnoresFailedAnswers) {
    auto checker = makeChecker(linuxPlatform());
    const struct {
        int status;
        QByteArray body;
        std::optional<std::string> offered;  // the version on offer afterwards
        bool checked;                        // lastChecked moved
    } steps[] = {
        {200, R"({"version":"1.2","url":"https://h/a"})", std::nullopt, true},
        {200, R"({"version":"1.3.0","url":"https://h/a","notes":"n"})", "1.3.0", true},
        {304, "", "1.3.0", false},
        {500, R"({"version":"9.0","url":"https://h/a"})", "1.3.0", false},
        {200, R"({"version":"9.0",)", "1.3.0", false},
        {200, R"({"version":"1.10","url":"https://h/a"})", "1.10", true},
        {200, R"({"version":"1.2.0-rc","url":"https://h/a"})", std::nullopt, true},
    };
    for (const auto& step : steps) {
        server.answer(kFeedPath, {step.status, step.body});
        QSignalSpy checked(checker.get(), &UpdateChecker::lastCheckedChanged);
        const int before = server.served();
        checker->check();
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.served() > before; }, kWaitMs));
        if (step.checked) {
            ASSERT_TRUE(checked.count() > 0 || checked.wait(kWaitMs)) << step.body.constData();
        } else {
            QTest::qWait(200);  // time for a wrongly accepted answer to be published
            EXPECT_EQ(checked.count(), 0) << step.status;
        }
        const auto version = checker->available() ? std::optional(checker->available()->version) : std::nullopt;
        EXPECT_EQ(version, step.offered) << step.status << " " << step.body.constData();
    }
}

TEST_F(UpdateFlow, OneClickUpdateStreamsVerifiesAndReplacesTheBundle) {
    auto checker = makeChecker(linuxPlatform());
    const QByteArray program = "#!/bin/sh\nexit 0\n";
    // Large enough to arrive in many slices, so progress has steps to show.
    const QByteArray image = tarImage(dir.path(), "Joulemap.app", program, 600 * 1024);
    offer(*checker, feed("/joulemap/Joulemap-1.3.0.tar.gz", image));

    const auto seen = update(*checker);
    ASSERT_GT(seen.size(), 4u) << "some progress between start and end";
    EXPECT_EQ(seen.front(), UpdateProgress::downloading(0));
    EXPECT_EQ(
        std::vector(seen.end() - 3, seen.end()),
        (std::vector{UpdateProgress::downloading(1), UpdateProgress::installing(), UpdateProgress::done()}));
    int lastStep = 0;
    for (size_t i = 1; i + 3 < seen.size(); ++i) {
        const int step = int(seen[i].fraction * 100) / 5;
        EXPECT_GT(step, lastStep) << "each intermediate report is a new multiple of 5 %";
        lastStep = step;
    }
    EXPECT_EQ(readAll(installed), program);
    EXPECT_TRUE(downloads().isEmpty()) << downloads().join(' ').toStdString();
    EXPECT_TRUE(QDir(dir.path() + "/tmp").isEmpty()) << "the unpack folder is removed";

    // Done lasts until restart; a second click does nothing.
    QSignalSpy changes(checker.get(), &UpdateChecker::progressChanged);
    checker->performAutoUpdate();
    QTest::qWait(100);
    EXPECT_EQ(changes.count(), 0);

    checker->restartApp();
    EXPECT_TRUE(QTest::qWaitFor([&] { return quits == 1; }, kWaitMs));
}

TEST_F(UpdateFlow, DownloadWithoutLengthReportsOnlyStartAndEnd) {
    auto checker = makeChecker(linuxPlatform());
    const QByteArray image = tarImage(dir.path(), "Joulemap.app", "new", 300 * 1024);
    const QByteArray json = feed("/i.tar.gz", image);
    server.answer("/i.tar.gz", {200, image, false});
    offer(*checker, json);
    const auto seen = update(*checker);
    const std::vector<UpdateProgress> expected{UpdateProgress::downloading(0), UpdateProgress::downloading(1),
                                               UpdateProgress::installing(), UpdateProgress::done()};
    EXPECT_EQ(seen, expected);
}

TEST_F(UpdateFlow, FailuresKeepTheInstalledBundleAndSayWhy) {
    const QByteArray noBundle = tarImage(dir.path(), "Other", "x");
    const QByteArray good = tarImage(dir.path(), "Joulemap.app", "new");
    const struct {
        const char* name;
        QByteArray feed;
        QString message;
        bool keepsDownload;  // the image stays when the install step fails
    } cases[] = {
        {"404", R"({"version":"1.3","url":")" + server.url("/gone").toEncoded() + R"("})", "服务器响应异常，状态码 404", false},
        {"plain http elsewhere", R"({"version":"1.3","url":"http://example.org/j.tar.gz"})", "下载地址不安全，只接受 HTTPS", false},
        {"checksum", R"({"version":"1.3","url":")" + server.url("/good").toEncoded() + R"(","sha256":")" +
                         QByteArray(64, '0') + R"("})",
         "下载的文件校验失败，与发布版本不符", false},
        {"no bundle", feed("/nobundle", noBundle), "dmg 中未找到 .app", true},
        {"not an archive", feed("/garbage", "not a tar archive at all"), "无法挂载 dmg", true},
        {"version leaves Downloads", feed("/good2", good, "9./../../x"), "无法写入下载文件", false},
    };
    server.answer("/good", {200, good});
    for (const auto& c : cases) {
        QDir(home + "/Downloads").removeRecursively();
        auto checker = makeChecker(linuxPlatform());
        offer(*checker, c.feed);
        update(*checker);
        EXPECT_EQ(checker->progress(), UpdateProgress::failed(c.message.toStdString())) << c.name;
        EXPECT_EQ(readAll(installed), "old") << c.name;
        EXPECT_EQ(downloads().size(), c.keepsDownload ? 1 : 0) << c.name << ": " << downloads().join(' ').toStdString();
        EXPECT_TRUE(QDir(dir.path() + "/tmp").isEmpty()) << c.name;

        QSignalSpy changes(checker.get(), &UpdateChecker::progressChanged);
        checker->performAutoUpdate();
        EXPECT_EQ(changes.count(), 0) << c.name;
        checker->openDownload();
    }
    EXPECT_EQ(opened.size(), 6) << "after any failure the manual download opens the offer's address";
}

TEST_F(UpdateFlow, ACopyOfThePackageManagersProgramOffersOnlyTheDownload) {
    auto checker = makeChecker(linuxPlatform(), QStringLiteral("/usr/bin/joulemap"));
    offer(*checker, R"({"version":"1.3","url":"https://example.org/j.tar.gz"})");
    checker->performAutoUpdate();
    EXPECT_EQ(checker->progress(), UpdateProgress::idle());
    EXPECT_EQ(checker->notice()->action, UpdateNotice::Action::download);
}

// The image and feed made by tools/make_release.sh (release_image_update runs it first), installed.
using ReleaseImage = UpdateFlow;

TEST_F(ReleaseImage, InstallsAsARunnableBundle) {
    const QString releaseDir = qEnvironmentVariable("JOULEMAP_RELEASE_DIR");
    if (releaseDir.isEmpty()) GTEST_SKIP() << "needs the release script's output; run by release_image_update";
    auto published = decodeUpdateInfo(readAll(releaseDir + "/appcast.json").toStdString());
    ASSERT_TRUE(published.has_value());
    ASSERT_TRUE(published->sha256.has_value());
    const QString imageName = QUrl(QString::fromStdString(published->url)).fileName();
    server.answer("/" + imageName, {200, readAll(releaseDir + "/" + imageName)});
    published->url = server.url("/" + imageName).toString().toStdString();

    auto checker = makeChecker(linuxPlatform(), {}, QStringLiteral("0.0.0"));
    offer(*checker, QByteArray::fromStdString(encodeUpdateInfo(*published)));
    update(*checker);
    ASSERT_EQ(checker->progress(), UpdateProgress::done()) << checker->progress().message;
    EXPECT_TRUE(readAll(installed).startsWith("\x7f" "ELF"));
    EXPECT_TRUE(QFileInfo(installed).isExecutable());
    const QString data = home + "/Applications/Joulemap.app/share/joulemap/";
    EXPECT_EQ(readAll(data + "AppNameMap.json"), readAll(JOULEMAP_RESOURCE_DIR "/AppNameMap.json"));
    EXPECT_TRUE(QFile::exists(data + "logo.png"));
}

// The macOS steps, with fake hdiutil and xattr that log their arguments and print what the real ones do.
class MacUpdateFlow : public UpdateFlow {
protected:
    void SetUp() override {
        UpdateFlow::SetUp();
        const QString tools = dir.path() + "/tools";
        volume = dir.path() + "/root/Volumes/Joulemap 1.3";
        writeFile(volume + "/Joulemap.app/bin/joulemap", "new", true);
        QDir().mkpath(volume + "/Applications");
        log = dir.path() + "/tools.log";
        platform = macUpdatePlatform(home.toStdString());
        platform.imageTool = (tools + "/hdiutil").toStdString();
        platform.attributeTool = (tools + "/xattr").toStdString();
        platform.installFolder = (home + "/Applications").toStdString();
        platform.mountRoot = (dir.path() + "/root").toStdString();
        fakeHdiutil(QStringLiteral("/Volumes/Joulemap 1.3"));
        writeFile(tools + "/xattr", "#!/bin/sh\necho \"xattr $*\" >> '" + log.toUtf8() + "'\n", true);
    }
    void fakeHdiutil(const QString& mountPoint) {
        writeFile(dir.path() + "/tools/hdiutil",
                  "#!/bin/sh\necho \"hdiutil $*\" >> '" + log.toUtf8() +
                      "'\n[ \"$1\" = attach ] || exit 0\n"
                      "printf '/dev/disk4          \\tGUID_partition_scheme          \\t\\n'\n"
                      "printf '/dev/disk4s1        \\tApple_HFS                      \\t" +
                      mountPoint.toUtf8() + "\\n'\n",
                  true);
    }
    QStringList logged() {
        QThreadPool::globalInstance()->waitForDone();
        return QString::fromUtf8(readAll(log)).split('\n', Qt::SkipEmptyParts);
    }

    UpdatePlatform platform;
    QString volume;
    QString log;
};

TEST_F(MacUpdateFlow, AttachesCopiesClearsAttributesAndDetaches) {
    auto checker = makeChecker(platform);
    offer(*checker, feed("/Joulemap.dmg", "disk image bytes"));
    update(*checker);
    EXPECT_EQ(checker->progress(), UpdateProgress::done());
    EXPECT_EQ(readAll(installed), "new");
    const QString image = home + "/Downloads/Joulemap-1.3.0.dmg";
    const QString destination = home + "/Applications/Joulemap.app";
    ASSERT_TRUE(QTest::qWaitFor([&] { return logged().size() == 3; }, kWaitMs));
    EXPECT_EQ(logged(), (QStringList{"hdiutil attach -nobrowse " + image, "xattr -cr " + destination,
                                     "hdiutil detach /Volumes/Joulemap 1.3 -quiet"}));
    EXPECT_FALSE(QFile::exists(image));
}

TEST_F(MacUpdateFlow, MountWithoutMountPointAndFailedCopyFailWithoutHarm) {
    fakeHdiutil(QStringLiteral("/dev/disk4s2"));
    auto unmounted = makeChecker(platform);
    offer(*unmounted, feed("/a.dmg", "bytes"));
    update(*unmounted);
    EXPECT_EQ(unmounted->progress(), UpdateProgress::failed("无法挂载 dmg"));

    fakeHdiutil(QStringLiteral("/Volumes/Joulemap 1.3"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(volume + "/Joulemap.app/pipe").constData(), 0600), 0);
    QFile::remove(log);
    auto broken = makeChecker(platform);
    offer(*broken, feed("/b.dmg", "bytes"));
    update(*broken);
    EXPECT_TRUE(broken->progress().message.starts_with("无法安装到应用程序文件夹")) << broken->progress().message;
    EXPECT_EQ(readAll(installed), "old");
    ASSERT_TRUE(QTest::qWaitFor([&] { return logged().size() == 2; }, kWaitMs));
    EXPECT_EQ(logged().last(), "hdiutil detach /Volumes/Joulemap 1.3 -quiet");
}

}  // namespace
}  // namespace joulemap
