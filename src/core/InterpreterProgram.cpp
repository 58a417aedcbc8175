#include "InterpreterProgram.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <initializer_list>

namespace joulemap {

namespace {

// How an interpreter's command line names the program it runs.
struct InterpreterSyntax {
    std::initializer_list<std::string_view> names;  // executable names; a version suffix is allowed
    std::initializer_list<std::string_view> optionsWithValue;  // the next argument belongs to them
    std::initializer_list<std::string_view> inlineCode;        // no program file follows
    std::initializer_list<std::string_view> programOption;     // the program follows them
    bool mainClass = false;  // a bare argument is a dotted class name: its last part names it
};

const std::array<InterpreterSyntax, 7>& interpreters() {
    static const std::array<InterpreterSyntax, 7> kInterpreters{{
        {{"python", "pypy"}, {"-W", "-X", "-Q"}, {"-c"}, {"-m"}},
        {{"node", "nodejs"}, {"-r", "--require", "--import", "--loader"}, {"-e", "--eval", "-p", "--print"}, {}},
        {{"java"},
         {"-cp", "-classpath", "--class-path", "-p", "--module-path", "--add-modules", "--add-opens",
          "--add-exports"},
         {},
         {"-jar", "-m", "--module"},
         true},
        {{"bash", "sh", "dash", "zsh", "ksh", "mksh", "fish"}, {"-o", "-O", "--rcfile", "--init-file"}, {"-c"}, {}},
        {{"perl"}, {"-I", "-M"}, {"-e", "-E"}, {}},
        {{"ruby"}, {"-I", "-r"}, {"-e"}, {}},
        {{"php", "lua", "luajit", "tclsh", "wish"}, {}, {"-r", "-e"}, {}},
    }};
    return kInterpreters;
}

std::string_view baseName(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// python3, python3.11, node18 and lua5.4 are the interpreters their names start with.
bool namesInterpreter(std::string_view base, std::string_view name) {
    if (!base.starts_with(name)) return false;
    const std::string_view version = base.substr(name.size());
    return std::all_of(version.begin(), version.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) || c == '.'; });
}

bool contains(std::initializer_list<std::string_view> list, std::string_view value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

const InterpreterSyntax* syntaxOf(std::string_view executablePath) {
    const std::string_view base = baseName(executablePath);
    for (const auto& syntax : interpreters()) {
        for (std::string_view name : syntax.names) {
            if (namesInterpreter(base, name)) return &syntax;
        }
    }
    return nullptr;
}

// A script read from a descriptor (bash <(curl ...), python3 /dev/stdin) has no name of its own.
std::optional<std::string> named(std::string_view program) {
    if (program.empty() || program.starts_with("/dev/") || program.starts_with("/proc/")) return std::nullopt;
    return std::string(program);
}

}  // namespace

bool isInterpreter(std::string_view executablePath) { return syntaxOf(executablePath) != nullptr; }

std::optional<std::string> interpretedProgram(std::string_view executablePath,
                                              const std::vector<std::string_view>& arguments) {
    const InterpreterSyntax* syntax = syntaxOf(executablePath);
    if (syntax == nullptr) return std::nullopt;
    // arguments[0] is the interpreter as it was called.
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument.empty()) continue;
        if (argument == "--" || contains(syntax->programOption, argument)) {
            return i + 1 < arguments.size() ? named(arguments[i + 1]) : std::nullopt;
        }
        if (contains(syntax->inlineCode, argument)) return std::nullopt;
        if (contains(syntax->optionsWithValue, argument)) {
            ++i;
            continue;
        }
        if (argument.front() == '-' || argument.front() == '+') continue;  // a flag, or --name=value
        if (syntax->mainClass && argument.find('/') == std::string_view::npos) {
            const size_t dot = argument.rfind('.');
            return std::string(dot == std::string_view::npos ? argument : argument.substr(dot + 1));
        }
        return named(argument);
    }
    return std::nullopt;
}

}  // namespace joulemap
