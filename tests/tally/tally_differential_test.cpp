// The fast scanner against the reference implementation on many generated logs and on byte
// soups built from tag fragments, line ends and random bytes: every counter of the three
// tallies, the sums and the last line must agree.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "loggen.h"
#include "tally_support.h"

namespace quorvane {
namespace {

using testing::CountFile;
using testing::SameAsReference;
using testing::TempFile;

constexpr std::size_t kBlock = LogLineScanner::kBlockSize;

void ExpectSame(const std::string& text, const std::string& what) {
    TempFile file(text);
    ASSERT_TRUE(SameAsReference(CountFile(file.path()), reference::CountText(text))) << what;
}

const char* StyleName(loggen::LineEnd e) {
    switch (e) {
        case loggen::LineEnd::CRLF:
            return "crlf";
        case loggen::LineEnd::CR:
            return "cr";
        case loggen::LineEnd::LF:
            return "lf";
        case loggen::LineEnd::Mixed:
            return "mixed";
    }
    return "?";
}

TEST(Differential, GeneratedLogsOfEveryLineEndStyle) {
    std::mt19937_64 rng(4711);
    for (loggen::LineEnd style : {loggen::LineEnd::CRLF, loggen::LineEnd::CR, loggen::LineEnd::LF,
                                  loggen::LineEnd::Mixed}) {
        for (std::uint64_t seed = 1; seed <= 6; ++seed) {
            loggen::Options o;
            o.seed = seed * 1000 + static_cast<std::uint64_t>(style);
            o.lineEnd = style;
            o.contacts = 200 + rng() % 3000;
            o.header = seed % 3 != 0;
            o.finalLineEnd = seed % 2 == 0;
            o.oddShare = std::vector<double>{0.0, 0.08, 0.5, 1.0}[seed % 4];
            o.splitShare = std::vector<double>{0.0, 0.02, 0.3}[seed % 3];
            o.doubleShare = std::vector<double>{0.0, 0.01, 0.4}[(seed + 1) % 3];
            std::string log = loggen::Generate(o);
            // A first line of random length moves the records against the block ends.
            const std::string lead(rng() % kBlock, 'h');
            ExpectSame(lead + "\r\n" + log, std::string(StyleName(style)) + " seed " +
                                                std::to_string(o.seed) + " lead " +
                                                std::to_string(lead.size()));
        }
    }
}

// Pieces that the scanner must take apart correctly: whole literals, their prefixes and
// near misses, line ends of every kind, '<' alone, and random bytes.
const std::vector<std::string>& Fragments() {
    static const std::vector<std::string> all = [] {
        std::vector<std::string> literals = {"<BAND:2>6M",
                                             "<BAND:3>10M",
                                             "<BAND:3>12M",
                                             "<BAND:3>15M",
                                             "<BAND:3>17M",
                                             "<BAND:3>20M",
                                             "<BAND:3>30M",
                                             "<BAND:3>40M",
                                             "<BAND:3>80M",
                                             "<BAND:4>160M",
                                             "<BAND:",
                                             "<MODE:2>CW",
                                             "<MODE:4>RTTY",
                                             "<MODE:5>PSK63",
                                             "<MODE:5>PSK31",
                                             "<MODE:3>SSB",
                                             "<MODE:2>FM",
                                             "<MODE:2>AM",
                                             "<CONT:2>AF",
                                             "<CONT:2>AN",
                                             "<CONT:2>AS",
                                             "<CONT:2>EU",
                                             "<CONT:2>NA",
                                             "<CONT:2>OC",
                                             "<CONT:2>SA",
                                             "<QSL_SENT:1>Y",
                                             "<QSL_RCVD:1>Y",
                                             "<LOTW_QSL_SENT:1>Y",
                                             "<LOTW_QSL_RCVD:1>Y",
                                             "<eQSL_QSL_SENT:1>Y",
                                             "<eQSL_QSL_RCVD:1>Y",
                                             "<EOR>"};
        std::vector<std::string> v = literals;
        for (const std::string& l : literals) {
            v.push_back(l.substr(0, l.size() / 2));  // cut short
            v.push_back(l.substr(0, l.size() - 1));  // one short
            v.push_back(l.substr(1));                // without '<'
            std::string lower = l;
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            v.push_back(lower);
        }
        for (const char* s : {"\r", "\n", "\r\n", "\n\r", "\r\r", "<", "<<", ">", " ",
                              "<BAND:3:E>20M", "<BAND:3>60M", "<MODE:3>FT8", "\xEF\xBB\xBF"})
            v.push_back(s);
        v.push_back(std::string(1, '\0'));
        return v;
    }();
    return all;
}

std::string Soup(std::mt19937_64& rng, std::size_t size) {
    const auto& parts = Fragments();
    std::string s;
    while (s.size() < size) {
        switch (rng() % 8) {
            case 0:
                s += static_cast<char>(rng());
                break;
            case 1:
                s += std::string(1 + rng() % 40, static_cast<char>('a' + rng() % 26));
                break;
            default:
                s += parts[rng() % parts.size()];
                break;
        }
    }
    return s;
}

TEST(Differential, SmallByteSoups) {
    std::mt19937_64 rng(1);
    TempFile file;
    for (int i = 0; i < 400; ++i) {
        const std::string text = Soup(rng, rng() % 600);
        file.Write(text);
        ASSERT_TRUE(SameAsReference(CountFile(file.path()), reference::CountText(text)))
            << "soup " << i;
    }
}

// Any block size counts the same: every tag and every CRLF is cut somewhere.
TEST(Differential, SoupsReadInTinyBlocks) {
    std::mt19937_64 rng(3);
    TempFile file;
    for (int i = 0; i < 150; ++i) {
        const std::string text = Soup(rng, rng() % 2000);
        const std::size_t blockSize = 1 + rng() % 40;
        file.Write(text);
        ASSERT_TRUE(SameAsReference(CountFile(file.path(), blockSize), reference::CountText(text)))
            << "soup " << i << " read " << blockSize << " bytes at a time";
    }
}

TEST(Differential, ByteSoupsOverBlockEnds) {
    std::mt19937_64 rng(2);
    TempFile file;
    for (int i = 0; i < 12; ++i) {
        const std::string text = Soup(rng, kBlock + rng() % (2 * kBlock));
        file.Write(text);
        ASSERT_TRUE(SameAsReference(CountFile(file.path()), reference::CountText(text)))
            << "soup " << i;
    }
}

TEST(Differential, SoupsPlacedAcrossTheFirstBlockEnd) {
    // A tag-free first line, then a small soup that straddles the block end at a random cut.
    std::mt19937_64 rng(3);
    TempFile file;
    for (int i = 0; i < 150; ++i) {
        const std::string soup = Soup(rng, 64 + rng() % 64);
        const std::size_t cut = rng() % soup.size();
        const std::string lead(kBlock - cut - 1, 'f');
        const std::string end(1, rng() % 2 ? '\r' : '\n');
        file.Write(lead + end + soup);
        std::string shortLead = "f";
        shortLead += end;
        const reference::Counts ref = reference::CountText(shortLead + soup);
        testing::Tallies t = CountFile(file.path());
        if (ref.lines == 1) {
            // Only the tag-free first line: its text is the long one.
            ASSERT_EQ(t.bandMode.mystr, lead.substr(0, LogLineScanner::kLastLineLimit));
            t.bandMode.mystr = ref.lastLine;
        }
        ASSERT_TRUE(SameAsReference(t, ref)) << "soup " << i << " cut at " << cut;
    }
}

}  // namespace
}  // namespace quorvane
