// Start-up before the windows: quorvane-adif's --help and --version with and without a display,
// and the one line with exit status 2 of both programs started without a display; then the
// programs themselves.
#include "startup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
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
        {"AdifLogNamedHelpAfterDoubleDash", kA, {"--", "--help"}, kX11, kWindows, ""},
    }),
    [](const testing::TestParamInfo<StartCase>& info) { return info.param.name; });

// The programs themselves, without DISPLAY and WAYLAND_DISPLAY, their standard output joined
// to standard error: nothing reaches Qt's abort.
void Exec(const char* program, const char* arg, const char* qpaPlatform) {
    for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        ::unsetenv(variable);
    if (qpaPlatform) ::setenv("QT_QPA_PLATFORM", qpaPlatform, 1);
    ::dup2(2, 1);
    ::execl(program, program, arg, nullptr);
}

TEST(ProgramDeathTest, QuorvaneWithoutDisplaySaysSoInOneLine) {
    EXPECT_EXIT(Exec(QUORVANE_PATH, nullptr, nullptr), testing::ExitedWithCode(2),
                "^quorvane: no display to show the windows on [^\n]*quorvane-report[^\n]*\n$");
}

TEST(ProgramDeathTest, QuorvaneAdifShowsItsHelpWithoutDisplay) {
    EXPECT_EXIT(Exec(QUORVANE_ADIF_PATH, "--help", nullptr), testing::ExitedWithCode(0),
                "^usage: quorvane-adif \\[LOG\\]\n");
}

TEST(ProgramDeathTest, QuorvaneWhoseQtPlatformFailsSaysSo) {
    EXPECT_EXIT(Exec(QUORVANE_PATH, nullptr, "nowhere"), testing::ExitedWithCode(2),
                "\nquorvane: cannot open the display to show the windows on; [^\n]*\n$");
}

}  // namespace
