// The line reader shared by the three tallies: the program's single log handle, the line
// rule and the tag test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
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
    virtual ~LineSink() = default;
    virtual void OnLine(TagBits tags) = 0;
};

// What one reading of a log looks for, and where its lines go.
struct LineReading {
    const TagMatcher* matcher;
    std::unique_ptr<LineSink> sink;
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

namespace detail {

// Keeps a bounded copy of the last line without touching every line: positions are noted as
// lines end, and text is copied only once per block.
class LastLineTracker {
  public:
    void LineEnded(std::ptrdiff_t end, std::ptrdiff_t nextStart) {
        doneStart_ = currentStart_;
        doneEnd_ = end;
        currentStart_ = nextStart;
    }
    void SkippedLf(std::ptrdiff_t nextStart) { currentStart_ = nextStart; }
    // Bytes [0, consumed) of `block` are done; the rest moves to the front of the next block.
    void BlockDone(const char* block, std::ptrdiff_t consumed);
    // At the end of the log: an unterminated last line is the last line.
    void LogEnded();

    const std::string& line() const noexcept { return last_; }
    bool any() const noexcept { return any_; }

  private:
    std::string last_;
    bool any_ = false;
    std::string current_;  // prefix of the current line from earlier blocks
    std::uint64_t currentLength_ = 0;
    std::ptrdiff_t currentStart_ = 0;  // -1: the current line began in an earlier block
    std::ptrdiff_t doneStart_ = -1;
    std::ptrdiff_t doneEnd_ = -1;  // end of the last line completed in this block
};

}  // namespace detail

// The lines of a log handed over in blocks of any size, one after the other: the line rule and
// the tag test of LogLineScanner::Scan, for a log that the caller reads itself.
class LineScan {
  public:
    explicit LineScan(const TagMatcher& matcher, LineSink& sink,
                      std::size_t blockSize = LogLineScanner::kBlockSize);
    LineScan(const LineScan&) = delete;
    LineScan& operator=(const LineScan&) = delete;

    // The next bytes of the log.
    void Feed(const char* data, std::size_t size);
    // The log has ended; its last line is told.
    void Finish();

    // As LogLineScanner's, once finished.
    const std::string& lastLine() const noexcept { return last_.line(); }
    bool readALine() const noexcept { return last_.any(); }

  private:
    friend class LogLineScanner;
    static constexpr std::size_t kCarry = TagMatcher::kMaxLiteral;  // a tag cut by a block end

    // Room for blockSize bytes, which Commit then scans; LogLineScanner reads into it.
    char* Space() noexcept { return buffer_.data() + length_; }
    // `got` more bytes are in Space(); 0 means the log has ended.
    void Commit(std::size_t got);

    const TagMatcher& matcher_;
    LineSink& sink_;
    std::size_t blockSize_;
    std::vector<char> buffer_;
    std::size_t length_ = 0;  // bytes in buffer_
    TagBits tags_ = 0;        // of the current line so far
    char byteBefore_ = '\0';  // the byte before buffer_[0], for a CRLF cut by a block end
    detail::LastLineTracker last_;
};

}  // namespace quorvane
