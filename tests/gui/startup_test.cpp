// Start-up before the windows: quorvane-adif's --help and --version with and without a display,
// and the one line with exit status 2 of both programs started without a display; then the
// programs themselves.
#include "startup.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <fstream>
#include <sstream>

namespace {

using quorvane::startup::Environment;
using quorvane::startup::Program;

// QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY
const Environment kNone{"", "", ""};
const Environment kX11{"", ":0", ""};
const Environment kWayland{"", "", "wayland-0"};
const Environment kQtPlatform{"offscreen", "", ""};
const std::string kUsage = "usage: quorvane-adif [LOG]\n";
const std::string kVersion = "quorvane-adif " QUORVANE_VERSION "\n";

struct StartCase {
    const char* name;
    Program program;
    std::vector<const char*> args;
    Environment environment;
    std::optional<int> status;  // 2: no display; nullopt: the windows open
    std::string firstLine;      // of standard output
};

class StartUp : public testing::TestWithParam<StartCase> {};

TEST_P(StartUp, AnswersOrStopsBeforeTheWindows) {
    const StartCase& row = GetParam();
    std::vector<const char*> argv = {"program"};
    argv.insert(argv.end(), row.args.begin(), row.args.end());
    std::ostringstream out, err;
    const auto status = quorvane::startup::BeforeWindows(row.program, static_cast<int>(argv.size()),
                                                         argv.data(), row.environment, out, err);
    const bool noDisplay = row.status == 2;
    const std::string name = row.program == Program::kQuorvane ? "quorvane: " : "quorvane-adif: ";
    EXPECT_EQ(status, row.status);
    EXPECT_EQ(out.str().substr(0, out.str().find('\n') + 1), row.firstLine);
    // One line naming the program, and quorvane-report that counts without a display.
    EXPECT_EQ(std::ranges::count(err.str(), '\n'), noDisplay ? 1 : 0) << err.str();
    EXPECT_EQ(err.str().starts_with(name), noDisplay) << err.str();
    EXPECT_EQ(err.str().find("quorvane-report") != std::string::npos, noDisplay);
}

const auto kQ = Program::kQuorvane;
const auto kA = Program::kQuorvaneAdif;
const auto kWindows = std::nullopt;
INSTANTIATE_TEST_SUITE_P(
    Programs, StartUp,
    testing::ValuesIn(std::vector<StartCase>{
        {"QuorvaneWithoutDisplay", kQ, {}, kNone, 2, ""},
        {"QuorvaneOnX11", kQ, {}, kX11, kWindows, ""},
        {"QuorvaneOnWayland", kQ, {}, kWayland, kWindows, ""},
        {"QuorvaneOnTheQtPlatformNamed", kQ, {}, kQtPlatform, kWindows, ""},
        {"QuorvaneWithQtsPlatformOption", kQ, {"-platform", "xcb"}, kNone, kWindows, ""},
        {"QuorvaneWithQtsDisplayOption", kQ, {"--display", ":0"}, kNone, kWindows, ""},
        {"QuorvaneHasNoHelp", kQ, {"--help"}, kX11, kWindows, ""},
        {"AdifHelpWithoutDisplay", kA, {"--help"}, kNone, 0, kUsage},
        {"AdifVersionWithoutDisplay", kA, {"--version"}, kNone, 0, kVersion},
        {"AdifVersionAfterALogOnWayland", kA, {"a.adi", "--version"}, kWayland, 0, kVersion},
        {"AdifLogWithoutDisplay", kA, {"a.adi"}, kNone, 2, ""},
        {"AdifLogOnX11", kA, {"a.adi"}, kX11, kWindows, ""},
        {"AdifLogNamedHelpAfterDoubleDash", kA, {"--", "--help"}, kX11, kWindows, ""},
    }),
    [](const testing::TestParamInfo<StartCase>& info) { return info.param.name; });

TEST(StartUp, AnAnswerThatCannotBeWrittenFailsWithAMessage) {
    std::ofstream full("/dev/full");
    std::ostringstream err;
    const char* argv[] = {"quorvane-adif", "--help"};
    EXPECT_EQ(quorvane::startup::BeforeWindows(kA, 2, argv, kX11, full, err), 2);
    EXPECT_EQ(err.str(), "quorvane-adif: cannot write the help\n");
}

// The programs, started without DISPLAY and WAYLAND_DISPLAY: none ends in Qt's abort.
struct ProgramCase {
    const char* name;
    const char* program;
    QStringList args;
    const char* qpaPlatform;  // QT_QPA_PLATFORM, or nullptr for none
    int status;
    std::string firstLine;  // of standard output
    std::string lastLine;   // of standard error, up to its last ';'
};

class ProgramWithoutDisplay : public testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramWithoutDisplay, ExitsWithItsStatusAndMessage) {
    const ProgramCase& row = GetParam();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(variable);
    if (row.qpaPlatform) environment.insert("QT_QPA_PLATFORM", row.qpaPlatform);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(row.program, row.args);
    ASSERT_TRUE(process.waitForFinished(-1));
    const std::string out = process.readAllStandardOutput().toStdString();
    const std::string err = process.readAllStandardError().toStdString();
    const std::string lastErrLine = err.substr(err.rfind('\n', err.size() - 2) + 1);
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), row.status);
    EXPECT_EQ(out.substr(0, out.find('\n') + 1), row.firstLine);
    EXPECT_EQ(lastErrLine.substr(0, lastErrLine.rfind(';')), row.lastLine) << err;
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ProgramWithoutDisplay,
    testing::ValuesIn(std::vector<ProgramCase>{
        {"QuorvaneSaysSo",
         QUORVANE_PATH,
         {},
         nullptr,
         2,
         "",
         "quorvane: no display to show the windows on (DISPLAY and WAYLAND_DISPLAY are unset)"},
        {"AdifShowsItsHelp", QUORVANE_ADIF_PATH, {"--help"}, nullptr, 0, kUsage, ""},
        {"QuorvaneWhoseQtPlatformFails",
         QUORVANE_PATH,
         {},
         "nowhere",
         2,
         "",
         "quorvane: cannot open the display to show the windows on"},
    }),
    [](const testing::TestParamInfo<ProgramCase>& info) { return info.param.name; });

}  // namespace
