// quorvane-report's output where the file name or the output itself misbehaves: file names
// that are not UTF-8 in the JSON, control characters in error messages, a full disk.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "report.h"
#include "tally_support.h"

namespace quorvane {
namespace {

struct Result {
    int status;
    std::string out, err;
};

Result Tool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = report::Run(args, out, err);
    return {status, out.str(), err.str()};
}

// One U+FFFD for each maximal subpart of an ill-formed sequence, as the Unicode standard
// describes it (chapter 3, "U+FFFD Substitution of Maximal Subparts"); well-formed sequences,
// the highest and the lowest of each length, pass unchanged.
TEST(ReportJson, FileNamesThatAreNotUtf8GetReplacementCharacters) {
    const std::string r = "\\ufffd";
    const std::pair<std::string, std::string> cases[] = {
        {"\xe0\x80\x80", r + r + r},                  // overlong form of U+0000
        {"\xc0\xaf", r + r},                          // overlong '/'
        {"\xed\xa0\x80", r + r + r},                  // surrogate U+D800
        {"\xf4\x90\x80\x80", r + r + r + r},          // U+110000
        {"\xf5\xff", r + r},                          // bytes that begin nothing
        {"\xf8\x88\x80\x80\x80", r + r + r + r + r},  // an old five-byte form
        {"\x80\xbf", r + r},                          // stray continuation bytes
        {"a\xe2\x82.", "a" + r + "."},                // a sequence cut short
        {"x\xf0\x9f\x98", "x" + r},                   // and cut short at the end of the name
        // the standard's own example
        {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
         "a" + r + r + r + "b" + r + "c" + r + r + "d"},
        {"\xc2\x80\xc3\xa9\xe2\x82\xac\xed\x9f\xbf\xee\x80\x80\xf0\x90\x80\x80\xf4\x8f\xbf\xbf",
         "\xc2\x80\xc3\xa9\xe2\x82\xac\xed\x9f\xbf\xee\x80\x80\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"},
    };
    const testing::TempFile dir;
    for (const auto& [name, json] : cases) {
        const std::string path = dir.dir() + "/" + name;
        std::ofstream(path) << "<QSL_SENT:1>Y\r\n";
        const Result result = Tool({"--json", "--table", "qsl", path});
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out.substr(0, result.out.find("\", ") + 1),
                  "{\"file\": \"" + dir.dir() + "/" + json + "\"")
            << ::testing::PrintToString(name);
    }
}

TEST(ReportErrors, ControlCharactersInANameKeepTheMessageOnOneLine) {
    const testing::TempFile dir;
    const std::string name = "a\nb\rc\td\x1b[2Je\x7f\x01g\\h\xc2\x85i\xe2\x80\xa8j\xc3\xa9.adi";
    const std::string shown = "a\\nb\\rc\\td\\x1b[2Je\\x7f\\x01g\\\\h\\u0085i\\u2028j\xc3\xa9.adi";
    Result r = Tool({dir.dir() + "/" + name});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "quorvane-report: cannot open '" + dir.dir() + "/" + shown +
                         "': No such file or directory\n");
    r = Tool({"--table", "qsl\n", dir.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1),
              "quorvane-report: unknown table 'qsl\\n' (band-mode, continent or qsl)\n");
}

// The real program, so that what main() and the exit do to the output counts too.
TEST(ReportOutput, AFullDiskIsAnErrorWithAMessage) {
    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    const testing::TempFile log("<BAND:3>20M <MODE:2>CW\r\n");
    for (const std::string& args :
         {"'" + log.path() + "'", "--json '" + log.path() + "'", std::string("--help")}) {
        // stderr into the pipe, stdout onto the full device
        const std::string command = "'" QUORVANE_REPORT_PROGRAM "' " + args + " 2>&1 >/dev/full";
        FILE* pipe = ::popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string err;
        char buf[256];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) err.append(buf, n);
        const int status = ::pclose(pipe);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << args << ": " << status;
        EXPECT_EQ(err, "quorvane-report: cannot write the output: No space left on device\n")
            << args;
    }
}

}  // namespace
}  // namespace quorvane
