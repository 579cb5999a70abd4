// The scanner reads the log in blocks: tags and CRLF cut by a block end, lines longer than a
// block, and the yield hook that runs between blocks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loggen.h"
#include "tally_support.h"

namespace quorvane {
namespace {

using testing::CountFile;
using testing::SameAsReference;
using testing::Tallies;
using testing::TempFile;

constexpr std::size_t kBlock = LogLineScanner::kBlockSize;

// A tag-free line of exactly `length` bytes including its CRLF.
std::string Filler(std::size_t length) {
    std::string s(length - 2, 'x');
    for (std::size_t i = 0; i < s.size(); i += 97) s[i] = ' ';
    return s + "\r\n";
}

struct Literal {
    std::string tag;
    std::string companions;  // what makes the line count once the tag is found
};

const std::vector<Literal>& AllLiterals() {
    static const std::vector<Literal> all = [] {
        std::vector<Literal> v;
        for (const char* band :
             {"<BAND:2>6M", "<BAND:3>10M", "<BAND:3>12M", "<BAND:3>15M", "<BAND:3>17M",
              "<BAND:3>20M", "<BAND:3>30M", "<BAND:3>40M", "<BAND:3>80M", "<BAND:4>160M"})
            v.push_back({band, "<MODE:2>CW <CONT:2>OC"});
        v.push_back({"<BAND:", ""});
        for (const char* mode : {"<MODE:2>CW", "<MODE:4>RTTY", "<MODE:5>PSK63", "<MODE:5>PSK31",
                                 "<MODE:3>SSB", "<MODE:2>FM", "<MODE:2>AM"})
            v.push_back({mode, "<BAND:3>20M"});
        for (const char* cont : {"<CONT:2>AF", "<CONT:2>AN", "<CONT:2>AS", "<CONT:2>EU",
                                 "<CONT:2>NA", "<CONT:2>OC", "<CONT:2>SA"})
            v.push_back({cont, "<BAND:3>20M"});
        for (const char* qsl : {"<QSL_SENT:1>Y", "<QSL_RCVD:1>Y", "<LOTW_QSL_SENT:1>Y",
                                "<LOTW_QSL_RCVD:1>Y", "<eQSL_QSL_SENT:1>Y", "<eQSL_QSL_RCVD:1>Y"})
            v.push_back({qsl, ""});
        return v;
    }();
    return all;
}

// Whether the tallies counted anything at all.
bool CountedSomething(const Tallies& t) {
    std::int64_t sum = t.bandMode.Total + t.bandMode.OthersTotal;
    for (std::size_t c = 0; c < kContinentCount; ++c)
        sum += t.continent.*ContinentBandTally::kTotals[c];
    for (std::size_t f = 0; f < kQslFieldCount; ++f) sum += t.qsl.Counter(f);
    return sum > 0;
}

// Places `tag` so that it starts at file position `start`, with its companions before it on
// the same line (or after it), and checks all three tallies against the reference. The
// filler before the line holds no tag, so the reference is given a short filler instead.
void CheckTagAt(const TempFile& file, const Literal& lit, std::size_t start, bool companionsFirst,
                const std::string& end) {
    const std::string before =
        companionsFirst && !lit.companions.empty() ? lit.companions + " " : "";
    const std::string after = companionsFirst || lit.companions.empty() ? "" : " " + lit.companions;
    const std::string line = before + lit.tag + after + " <EOR>" + end + "<CALL:4>K1AB\r\n";
    const std::size_t lineStart = start - before.size();
    file.Write(Filler(lineStart) + line);
    const Tallies t = CountFile(file.path());
    ASSERT_TRUE(CountedSomething(t)) << lit.tag << " at " << start;
    ASSERT_TRUE(SameAsReference(t, reference::CountText(Filler(16) + line)))
        << lit.tag << " starting at " << start << (companionsFirst ? " after" : " before")
        << " its companions";
}

TEST(BlockBoundary, EveryTagCutAtEveryOffsetOfTheFirstBlockEnd) {
    TempFile file;
    for (const Literal& lit : AllLiterals()) {
        // From wholly before the end of the block, through every cut, to wholly after it.
        for (std::size_t start = kBlock - lit.tag.size() - 1; start <= kBlock + 1; ++start) {
            CheckTagAt(file, lit, start, true, "\r\n");
            CheckTagAt(file, lit, start, false, "\n");
        }
    }
}

TEST(BlockBoundary, TagsNearTheCarriedTailOfABlock) {
    // The scanner leaves a literal's length of bytes at the block end for the next round.
    TempFile file;
    for (const Literal& lit : AllLiterals()) {
        for (std::size_t start = kBlock - 48; start < kBlock - lit.tag.size() - 1; start += 3)
            CheckTagAt(file, lit, start, true, "\r");
    }
}

TEST(BlockBoundary, TagsCutAtLaterBlockEnds) {
    TempFile file;
    for (std::size_t blockEnd : {2 * kBlock, 3 * kBlock}) {
        for (const Literal& lit : {AllLiterals()[5], AllLiterals()[11], AllLiterals()[26]}) {
            for (std::size_t start = blockEnd - lit.tag.size(); start <= blockEnd; ++start)
                CheckTagAt(file, lit, start, false, "\r\n");
        }
    }
}

TEST(BlockBoundary, CrlfCutByTheBlockEndIsOneLineEnd) {
    TempFile file;
    const std::string counted = "<BAND:3>20M <MODE:2>CW <CONT:2>EU <QSL_SENT:1>Y";
    for (std::size_t cr = kBlock - 40; cr <= kBlock + 2; ++cr) {
        SCOPED_TRACE("CR at " + std::to_string(cr));
        // The log ends with the CRLF: no empty line may follow the counted one.
        std::string head = Filler(cr - counted.size()) + counted;
        ASSERT_EQ(head.size(), cr);
        file.Write(head + "\r\n");
        Tallies t = CountFile(file.path());
        EXPECT_TRUE(SameAsReference(t, reference::CountText(Filler(8) + counted + "\r\n")));
        EXPECT_EQ(t.bandMode.mystr, counted);
        EXPECT_EQ(t.bandMode.C20, 1);

        // A line follows; a lone CR or LF at the same place ends the line as well.
        for (const char* end : {"\r\n", "\r", "\n"}) {
            const std::string next = "<BAND:3>40M <MODE:3>SSB";
            file.Write(head + end + next);
            t = CountFile(file.path());
            EXPECT_TRUE(SameAsReference(t, reference::CountText(Filler(8) + counted + end + next)));
            EXPECT_EQ(t.bandMode.S40, 1);
            EXPECT_EQ(t.bandMode.mystr, next);
        }
        // A CRLF whose LF is the first byte of a block, then an empty line: LF CR.
        file.Write(head + "\r\n\r");
        t = CountFile(file.path());
        EXPECT_EQ(t.bandMode.mystr, "");
    }
}

TEST(BlockBoundary, GeneratedLogsShiftedOverTheBlockEnd) {
    // The same records moved across the block end byte by byte, for every line-end style.
    TempFile file;
    for (loggen::LineEnd style : {loggen::LineEnd::CRLF, loggen::LineEnd::CR, loggen::LineEnd::LF,
                                  loggen::LineEnd::Mixed}) {
        loggen::Options o;
        o.contacts = 6;
        o.header = false;
        o.lineEnd = style;
        o.oddShare = 0.3;
        o.seed = 7 + static_cast<int>(style);
        const std::string log = loggen::Generate(o);
        for (std::size_t shift = 0; shift < 400; shift += 1) {
            const std::size_t lead = kBlock - 200 + shift;
            file.Write(Filler(lead) + log);
            ASSERT_TRUE(
                SameAsReference(CountFile(file.path()), reference::CountText(Filler(16) + log)))
                << "records from " << lead << ", style " << static_cast<int>(style);
        }
    }
}

// ---- long lines

TEST(LongLines, LinesLongerThanABlockAreCountedWhole) {
    // Tags at the start, in the middle and at the end of lines of 3 MiB.
    const std::string pad(3 * 1024 * 1024 / 2, 'p');
    const std::string text = "<BAND:3>40M " + pad + "<MODE:2>CW" + pad + "<CONT:2>AS\r\n" +
                             "<QSL_SENT:1>Y" + pad + pad + "<BAND:4>160M <MODE:2>FM\n" + pad +
                             "<CONT:2>NA" + pad + "<BAND:3>15M";
    const Tallies t = testing::CountChecked(text);
    EXPECT_EQ(t.bandMode.C40, 1);
    EXPECT_EQ(t.bandMode.S160, 1);
    EXPECT_EQ(t.continent.AS40, 1);
    EXPECT_EQ(t.continent.NA15, 1);
    EXPECT_EQ(t.qsl.QslSent, 1);
    EXPECT_EQ(t.bandMode.mystr, (pad + "<CONT:2>NA").substr(0, LogLineScanner::kLastLineLimit));
}

// ---- the yield hook

std::string MultiBlockLog(std::size_t minimumSize) {
    loggen::Options o;
    o.contacts = minimumSize / 250;
    o.lineEnd = loggen::LineEnd::CRLF;
    return loggen::Generate(o);
}

TEST(YieldHook, CalledBetweenBlocksOfTheBandModeScan) {
    const std::string text = MultiBlockLog(4 * kBlock + 1000);
    TempFile file(text);
    std::size_t calls = 0;
    BandModeTally t;
    LogLineScanner log;
    log.Open(file.path());
    EXPECT_TRUE(t.Scan(log, [&] {
        ++calls;
        return true;
    }));
    // Once per block read: no fewer, and not per line.
    EXPECT_GE(calls, text.size() / kBlock);
    EXPECT_LE(calls, text.size() / kBlock + 1);
}

TEST(YieldHook, CalledInsideOneVeryLongLine) {
    TempFile file("<BAND:3>20M " + std::string(3 * kBlock, 'z') + " <MODE:2>CW");
    int calls = 0;
    ContinentBandTally c;
    EXPECT_TRUE(c.ScanContinentBands(file.path(), {{}, [&] { return ++calls > 0; }, {}}));
    EXPECT_GE(calls, 3);
    BandModeTally t;
    LogLineScanner log;
    log.Open(file.path());
    calls = 0;
    EXPECT_TRUE(t.Scan(log, [&] { return ++calls > 0; }));
    EXPECT_GE(calls, 3);
    EXPECT_EQ(t.C20, 1);
}

TEST(YieldHook, StopsTheBandModeScanAndTheCallerMayClose) {
    TempFile file(MultiBlockLog(4 * kBlock));
    const reference::Counts full = reference::CountFile(file.path());
    int calls = 0;
    BandModeTally t;
    LogLineScanner log;
    log.Open(file.path());
    EXPECT_FALSE(t.Scan(log, [&] { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(LogLineScanner::HandleHeld());
    log.Close();
    EXPECT_FALSE(LogLineScanner::HandleHeld());
    t.FormTotals();
    // Partial counts: something, but not everything.
    EXPECT_GT(t.Total, 0);
    EXPECT_LT(t.Total, full.BandModeSum("Total"));
}

TEST(YieldHook, StopsTheContinentScanAndReleasesTheHandle) {
    TempFile file(MultiBlockLog(4 * kBlock));
    int calls = 0, opened = 0, closed = 0;
    ContinentBandTally c;
    ScanHooks hooks{[&] { ++opened; }, [&] { return ++calls < 3; }, [&] { ++closed; }};
    EXPECT_FALSE(c.ScanContinentBands(file.path(), hooks));
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(LogLineScanner::HandleHeld());
    // The handle is free for the next scan, which completes.
    EXPECT_TRUE(c.ScanContinentBands(file.path()));
}

TEST(YieldHook, TheQslTallyNeverYields) {
    TempFile file(MultiBlockLog(3 * kBlock));
    int calls = 0, opened = 0, closed = 0;
    QslTally q;
    q.Count(file.path(), {[&] { ++opened; }, [&] { return ++calls > 0; }, [&] { ++closed; }});
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(closed, 1);
    EXPECT_GT(q.QslSent, 0);
}

TEST(YieldHook, TheHandleIsHeldWhileTheHookRuns) {
    TempFile file(MultiBlockLog(2 * kBlock));
    bool heldDuringYield = false;
    ContinentBandTally c;
    c.ScanContinentBands(file.path(), {{},
                                       [&] {
                                           heldDuringYield = LogLineScanner::HandleHeld();
                                           return true;
                                       },
                                       {}});
    EXPECT_TRUE(heldDuringYield);
    EXPECT_FALSE(LogLineScanner::HandleHeld());
}

}  // namespace
}  // namespace quorvane
