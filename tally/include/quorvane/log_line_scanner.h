// The line reader shared by the three tallies: the program's single log handle, the line
// rule and the tag test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// One bit per tag literal that a scan looks for; a line is handed on as the set it contains.
using TagBits = std::uint32_t;

struct TagLiteral {
    std::string_view literal;  // begins with '<' and holds no other '<', CR or LF
    TagBits bit;
};

// Tests a position of the log for a set of tag literals. Every literal begins with '<' and
// contains no other '<', so testing each '<' of a line for every literal that starts there
// finds exactly the literals that occur anywhere in the line.
// Entries locate their literals by offset, so a copy or a moved-to matcher stands on its own.
class TagMatcher {
  public:
    static constexpr std::size_t kMaxLiteral = 24;

    explicit TagMatcher(const std::vector<TagLiteral>& tags);

    // p points at a '<' with at least kMaxLiteral readable bytes behind it.
    TagBits MatchAt(const char* p) const noexcept {
        const Bucket& b = buckets_[static_cast<unsigned char>(p[1])];
        if (b.count == 0) return 0;
        std::uint64_t head;
        __builtin_memcpy(&head, p, sizeof head);
        if ((head & b.mask) != b.prefix) return 0;
        TagBits found = 0;
        const char* const text = text_.data();
        for (std::uint32_t i = b.first, end = b.first + b.count; i < end; ++i) {
            const Entry& e = entries_[i];
            if (__builtin_memcmp(p + e.skip, text + e.rest, e.restLength) == 0) found |= e.bit;
        }
        return found;
    }

  private:
    struct Entry {
        std::uint32_t rest;  // where in text_ the literal goes on from `skip`
        std::uint32_t skip;  // bytes already checked by the bucket's prefix
        std::uint32_t restLength;
        TagBits bit;
    };
    // Literals grouped by the character after '<'; `prefix` is what they share (up to 8 bytes).
    struct Bucket {
        std::uint64_t prefix = 0;
        std::uint64_t mask = 0;
        std::uint32_t first = 0;
        std::uint32_t count = 0;
    };
    std::string text_;  // the literals, one after the other
    std::vector<Entry> entries_;
    Bucket buckets_[256];
};

// Told each line's tag set; lines without any tag are not reported.
class LineSink {
  public:
    virtual void OnLine(TagBits tags) = 0;

  protected:
    ~LineSink() = default;
};

// Called after each block read; returning false stops the scan.
using YieldHook = std::function<bool()>;

// What a tally that opens the log itself tells its caller, who shows the busy notice.
struct ScanHooks {
    std::function<void()> opened{};  // the log has been opened
    YieldHook yield{};               // not called by the QSL tally, which never yields
    std::function<void()> closed{};  // the log has been closed, also after an error
    std::size_t blockSize = 0;       // bytes read at a time; 0 for the scanner's usual size
};

// The program's single log handle (file number 1). Only one LogLineScanner can hold it at a
// time: opening while it is held raises LogBusyError, which keeps two scans from running at
// once. Only regular files are opened.
//
// A line ends at CR, at CRLF or at LF. A last line without a terminator is a line; a
// terminator at the very end makes no extra line; an empty file has no line.
class LogLineScanner {
  public:
    static constexpr std::size_t kBlockSize = 256 * 1024;
    static constexpr std::size_t kLastLineLimit = 4096;
    static constexpr std::size_t kReadPiece = 64 * 1024;  // what ReadBlocks reads at a time

    // `blockSize` is how much Scan reads at a time, and so how often its yield hook is called
    // (ReadBlocks reads at most kReadPiece); any size from 1 byte counts the same.
    explicit LogLineScanner(std::size_t blockSize = kBlockSize);
    ~LogLineScanner();
    LogLineScanner(const LogLineScanner&) = delete;
    LogLineScanner& operator=(const LogLineScanner&) = delete;

    // Raises LogBusyError while another scanner holds the handle, LogOpenError otherwise.
    void Open(const std::string& path);
    void Close() noexcept;
    bool IsOpen() const noexcept { return fd_ >= 0; }
    const std::string& path() const noexcept { return path_; }

    // Whether any scanner holds the log handle now.
    static bool HandleHeld() noexcept;

    // Reads the rest of the log, telling `sink` the tags of each line. Returns false when
    // `yield` asked to stop. Raises LogReadError.
    bool Scan(const TagMatcher& matcher, LineSink& sink, const YieldHook& yield = {});

    // Hands the rest of the log to `consume` one block at a time, for readers that find their
    // own units in it. Returns false when `yield` asked to stop. Raises LogReadError.
    bool ReadBlocks(const std::function<void(const char* data, std::size_t size)>& consume,
                    const YieldHook& yield = {});

    // The last line of the last scan, at most kLastLineLimit bytes of it.
    const std::string& lastLine() const noexcept { return lastLine_; }
    // Whether the last scan read a line at all; an empty log has none.
    bool readALine() const noexcept { return readALine_; }

  private:
    std::size_t blockSize_;
    int fd_ = -1;
    std::string path_;
    std::string lastLine_;
    bool readALine_ = false;
    std::vector<char> buffer_;
};

}  // namespace quorvane
