// Start-up before the windows, of the programs as built: --help and --version of quorvane-adif and
// quorvane-report, and quorvane-adif's wrong command lines, with or without a display; the status
// 2 and line of the other two with no display (or an empty one) or one Qt cannot open.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct StartCase {
    const char* name;
    const char* program;
    std::vector<const char*> args;
    std::string display;  // "VARIABLE=value" naming a display, or "" for none
    int status;
    const char* output;  // standard output and error together, as a regular expression
};
void PrintTo(const StartCase& row, std::ostream* out) { *out << row.name; }

// The one line of a program that found no display, or whose display Qt could not open (Qt's
// own warnings held back), which points to quorvane-report.
#define ONE_LINE_ON_REPORT "[^\n]*quorvane-report[^\n]*\n$"
const char kQNoDisplay[] = "^quorvane: no display to show the windows on " ONE_LINE_ON_REPORT;
const char kANoDisplay[] = "^quorvane-adif: no display to show the windows on " ONE_LINE_ON_REPORT;
const char kQFailed[] = "^quorvane: cannot open the display " ONE_LINE_ON_REPORT;
const char kAFailed[] = "^quorvane-adif: cannot open the display " ONE_LINE_ON_REPORT;
const char kUsage[] = "^usage: quorvane-adif \\[LOG\\]\n";
const char kUnknown[] = "^quorvane-adif: unknown option\nusage: quorvane-adif";
const char kTwoLogs[] = "^quorvane-adif: one log at a time\nusage: quorvane-adif";
const char kVersion[] = "^quorvane-adif " QUORVANE_VERSION "\n$";
const char kReportUsage[] =
    "^usage: quorvane-report \\[--rules exact[|]adif\\] \\[--json [|] --csv\\] \\[--table "
    "NAME\\][.][.][.]\n";
const char kReportVersion[] = "^quorvane-report " QUORVANE_VERSION "\n$";
const char kReportRange[] = "^quorvane-report: a date range needs --rules adif\nTry ";
const char kReportDay[] = "^quorvane-report: --to '2023-02-30' is not a date ";

// Runs the row's program with only the display it names, standard output joined to error.
void Exec(const StartCase& row) {
    for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        ::unsetenv(variable);
    if (!row.display.empty()) ::putenv(const_cast<char*>(row.display.c_str()));
    ::dup2(2, 1);
    std::vector<const char*> argv = {row.program};
    argv.insert(argv.end(), row.args.begin(), row.args.end());
    argv.push_back(nullptr);
    ::execv(row.program, const_cast<char**>(argv.data()));
}

class StartDeathTest : public testing::TestWithParam<StartCase> {};

TEST_P(StartDeathTest, ExitsWithItsStatusAndOutput) {
    EXPECT_EXIT(Exec(GetParam()), testing::ExitedWithCode(GetParam().status), GetParam().output);
}

const char* const kQ = QUORVANE_PATH;
const char* const kA = QUORVANE_ADIF_PATH;
const char* const kR = QUORVANE_REPORT_PATH;
// A display that is named but cannot be opened: Qt gets to try it.
const char kX11[] = "DISPLAY=:97";
INSTANTIATE_TEST_SUITE_P(
    Programs, StartDeathTest,
    testing::ValuesIn(std::vector<StartCase>{
        {"QuorvaneWithoutDisplay", kQ, {}, "", 2, kQNoDisplay},
        {"QuorvaneOnX11", kQ, {}, kX11, 2, kQFailed},
        {"QuorvaneOnWayland", kQ, {}, "WAYLAND_DISPLAY=none", 2, kQFailed},
        {"QuorvaneOnTheQtPlatformNamed", kQ, {}, "QT_QPA_PLATFORM=none", 2, kQFailed},
        {"QuorvaneWithQtsPlatformOption", kQ, {"-platform", "none"}, "", 2, kQFailed},
        {"QuorvaneWithQtsDisplayOption", kQ, {"--display", ":97"}, "", 2, kQFailed},
        {"QuorvaneHasNoHelp", kQ, {"--help"}, "", 2, kQNoDisplay},
        {"AdifHelpWithoutDisplay", kA, {"--help"}, "", 0, kUsage},
        {"AdifHelpOnX11", kA, {"--help"}, kX11, 0, kUsage},
        {"AdifVersionWithoutDisplay", kA, {"--version"}, "", 0, kVersion},
        {"AdifVersionAfterALogOnX11", kA, {"a.adi", "--version"}, kX11, 0, kVersion},
        {"AdifLogWithoutDisplay", kA, {"a.adi"}, "", 2, kANoDisplay},
        {"AdifLogNamedHelpAfterDoubleDash", kA, {"--", "--help"}, kX11, 2, kAFailed},
        {"AdifUnknownOptionWithoutDisplay", kA, {"--bogus"}, "", 1, kUnknown},
        {"AdifTwoLogsWithoutDisplay", kA, {"a.adi", "b.adi"}, "", 1, kTwoLogs},
        {"AdifQtOptionAndItsValue", kA, {"-style", "fusion"}, "", 2, kANoDisplay},
        {"AdifEmptyDisplay", kA, {}, "DISPLAY=", 2, kANoDisplay},
        {"QuorvaneEmptyWaylandDisplay", kQ, {}, "WAYLAND_DISPLAY=", 2, kQNoDisplay},
        {"ReportHelpWithoutDisplay", kR, {"--help"}, "", 0, kReportUsage},
        {"ReportVersionWithoutDisplay", kR, {"--version"}, "", 0, kReportVersion},
        {"ReportVersionOnX11", kR, {"--version"}, kX11, 0, kReportVersion},
        {"ReportRangeByTheExactRules", kR, {"--from", "2023-01-01", "a.adi"}, "", 1, kReportRange},
        {"ReportDayNotInTheCalendar",
         kR,
         {"--rules=adif", "--to=2023-02-30", "a.adi"},
         "",
         1,
         kReportDay},
    }),
    [](const testing::TestParamInfo<StartCase>& info) { return info.param.name; });

}  // namespace
