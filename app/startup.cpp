// Start-up of quorvane and quorvane-adif before their first window.
#include "startup.h"

#include <QCoreApplication>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::startup {

const char kAdifUsage[] =
    "usage: quorvane-adif [LOG]\n"
    "       quorvane-adif --help | --version\n"
    "\n"
    "Shows the band/mode, continent and QSL summaries of an ADIF log, reading it as ADIF\n"
    "fields in any letter case and layout, record by record (<band:3>20m, one field per\n"
    "line). LOG, if given, is opened at start; File > Open ADIF opens another.\n"
    "Option > DXCC Summary, DXCC by Entity and Contacts by Year show the award tables;\n"
    "Option > Date Range... counts only the contacts of some days, in every window.\n"
    "quorvane shows the same windows counting by its exact rules instead.\n";

namespace {

// How every no-display message ends: what to do instead.
const char kInstead[] = "; quorvane-report counts a log without one\n";

const char* Name(Program program) {
    return program == Program::kQuorvane ? "quorvane" : "quorvane-adif";
}

int Answer(const char* name, const std::string& text, const char* what) {
    std::cout << text << std::flush;
    if (std::cout) return 0;
    std::cerr << name << ": cannot write the " << what << '\n';
    return 2;
}

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

// A platform chosen by QT_QPA_PLATFORM or -platform is left to Qt; otherwise the windows need
// an X11 or Wayland display, named in the environment or by -display.
bool HasDisplay(int argc, char** argv) {
    if (IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY")) return true;
    for (int i = 1; i + 1 < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.starts_with("--")) arg.remove_prefix(1);  // Qt takes --platform as well
        if (arg == "-platform" || arg == "-display") return true;
    }
    return false;
}

// Qt's own command-line options, which QApplication takes; those of `kQtValued` take a value,
// as the next argument or after "=". Either may be written with two hyphens.
constexpr std::string_view kQtValued[] = {"platform",
                                          "platformpluginpath",
                                          "platformtheme",
                                          "plugin",
                                          "qwindowgeometry",
                                          "qwindowicon",
                                          "qwindowtitle",
                                          "session",
                                          "display",
                                          "geometry",
                                          "title",
                                          "name",
                                          "icon",
                                          "style",
                                          "stylesheet",
                                          "qmljsdebugger",
                                          "fn",
                                          "font",
                                          "bg",
                                          "background",
                                          "fg",
                                          "foreground",
                                          "btn",
                                          "button",
                                          "visual",
                                          "ncols",
                                          "cmap",
                                          "im",
                                          "inputstyle"};
constexpr std::string_view kQtFlags[] = {"reverse", "widgetcount", "testability",
                                         "nograb",  "dograb",      "sync"};

// How many arguments a Qt option at argv[i] takes up, itself included; 0 when it is none.
int QtOption(std::string_view arg) {
    if (!arg.starts_with('-')) return 0;
    arg.remove_prefix(arg.starts_with("--") ? 2 : 1);
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    for (const std::string_view flag : kQtFlags)
        if (arg == flag) return 1;
    for (const std::string_view valued : kQtValued)
        if (name == valued) return equals == std::string_view::npos ? 2 : 1;
    return 0;
}

// quorvane-adif's command line: an answer, a usage error (the first), the log.
struct AdifLine {
    std::string_view answer;  // "help" or "version"
    const char* fault = nullptr;
    const char* log = nullptr;
};

AdifLine ReadAdifLine(int argc, char** argv) {
    AdifLine line;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "--version")) {
            if (line.answer.empty()) line.answer = arg == "--help" ? "help" : "version";
        } else if (const int taken = optionsEnded ? 0 : QtOption(arg)) {
            i += taken - 1;
        } else if ((!optionsEnded && arg.size() > 1 && arg[0] == '-') || line.log) {
            if (!line.fault) line.fault = line.log ? "one log at a time" : "unknown option";
        } else {
            line.log = argv[i];
        }
    }
    return line;
}

const char* startingProgram = "";
QtMessageHandler previousHandler = nullptr;
std::vector<QString> heldMessages;  // Qt's, while the application starts up

// Qt ends a program whose display cannot be opened with a fatal message while the application
// starts up, after a few warnings about the plugins it tried; that one ends it with the
// program's own line alone and status 2, and no core dump. The warnings are held back until
// the application has started.
void EndWhenTheDisplayFails(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (!QCoreApplication::startingUp()) {
        previousHandler(type, context, message);
    } else if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s: cannot open the display to show the windows on%s",
                     startingProgram, kInstead);
        std::fflush(stderr);
        std::_Exit(2);
    } else {
        heldMessages.push_back(qFormatLogMessage(type, context, message));
    }
}

}  // namespace

std::optional<int> Start(Program program, int argc, char** argv, const char** log) {
    const char* name = Name(program);
    if (program == Program::kQuorvaneAdif) {
        const AdifLine line = ReadAdifLine(argc, argv);
        if (line.answer == "help") return Answer(name, kAdifUsage, "help");
        if (line.answer == "version")
            return Answer(name, std::string(name) + " " QUORVANE_VERSION "\n", "version");
        if (line.fault) {
            std::cerr << name << ": " << line.fault << '\n' << kAdifUsage;
            return 1;
        }
        if (log) *log = line.log;
    }
    if (!HasDisplay(argc, argv)) {
        std::cerr << name
                  << ": no display to show the windows on (DISPLAY and WAYLAND_DISPLAY are unset "
                     "or empty)"
                  << kInstead;
        return 2;
    }
    startingProgram = name;
    previousHandler = qInstallMessageHandler(EndWhenTheDisplayFails);
    return std::nullopt;
}

void Started() {
    qInstallMessageHandler(previousHandler);
    for (const QString& message : heldMessages) std::fprintf(stderr, "%s\n", qPrintable(message));
    heldMessages.clear();
}

}  // namespace quorvane::startup
