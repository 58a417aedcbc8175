#include "InterpreterProgram.h"

#include <gtest/gtest.h>

using namespace joulemap;

TEST(InterpreterProgram, NamesTheProgramAnInterpreterRuns) {
    struct Case {
        const char* executable;
        std::vector<std::string_view> arguments;
        std::optional<std::string> program;
    };
    const std::vector<Case> cases{
        {"/usr/bin/python3.11", {"python3", "-u", "-W", "ignore", "/home/me/train.py", "--epochs", "3"},
         "/home/me/train.py"},
        {"/usr/bin/python3", {"python3", "-m", "http.server", "8000"}, "http.server"},
        {"/usr/bin/python3", {"python3", "-c", "print(1)"}, std::nullopt},
        {"/usr/bin/python3", {"python3"}, std::nullopt},  // interactive
        {"/usr/bin/node", {"node", "--inspect", "-r", "dotenv/config", "server.js"}, "server.js"},
        {"/usr/bin/node", {"node", "-e", "1"}, std::nullopt},
        {"/usr/lib/jvm/java-17/bin/java", {"java", "-Xmx2g", "-cp", "lib/*", "-jar", "/opt/app/app.jar"},
         "/opt/app/app.jar"},
        {"/usr/lib/jvm/java-17/bin/java", {"java", "-cp", "x.jar", "org.gradle.launcher.daemon.GradleDaemon"},
         "GradleDaemon"},
        {"/usr/bin/bash", {"bash", "-e", "./build.sh", "all"}, "./build.sh"},
        {"/usr/bin/bash", {"bash", "-c", "make"}, std::nullopt},
        {"/usr/bin/dash", {"sh", "--", "run.sh"}, "run.sh"},
        {"/usr/bin/bash", {"bash", "/dev/fd/3"}, std::nullopt},  // fed from a descriptor: no name of its own
        {"/usr/bin/perl", {"perl", "-I", "lib", "tool.pl"}, "tool.pl"},
        // Not interpreters, however they start.
        {"/usr/bin/shotwell", {"shotwell", "photo.jpg"}, std::nullopt},
        {"/usr/bin/javac", {"javac", "A.java"}, std::nullopt},
        {"/usr/bin/node_exporter", {"node_exporter", "x.js"}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(interpretedProgram(c.executable, c.arguments), c.program) << c.executable;
    }
}
