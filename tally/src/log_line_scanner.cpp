// The line reader: blocks of the file, scanned for '<', CR and LF only.
#include "quorvane/log_line_scanner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "quorvane/errors.h"
#include "simd.h"

namespace quorvane {

namespace {

std::atomic<bool> g_handleHeld{false};

std::string SystemReason(int error) { return std::strerror(error); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// TagMatcher

TagMatcher::TagMatcher(const std::vector<TagLiteral>& tags) {
    std::vector<TagLiteral> sorted(tags);
    std::stable_sort(sorted.begin(), sorted.end(), [](const TagLiteral& a, const TagLiteral& b) {
        return static_cast<unsigned char>(a.literal[1]) < static_cast<unsigned char>(b.literal[1]);
    });
    std::vector<std::uint32_t> start;  // of each sorted literal in text_
    start.reserve(sorted.size());
    for (const TagLiteral& t : sorted) {
        if (t.literal.size() < 2 || t.literal.size() > kMaxLiteral || t.literal[0] != '<' ||
            t.literal.find_first_of("<\r\n", 1) != std::string_view::npos) {
            throw std::invalid_argument("unusable tag literal");
        }
        start.push_back(static_cast<std::uint32_t>(text_.size()));
        text_ += t.literal;
    }
    for (std::size_t i = 0; i < sorted.size();) {
        const std::string_view first = sorted[i].literal;
        const unsigned char key = static_cast<unsigned char>(first[1]);
        std::size_t end = i;
        while (end < sorted.size() && static_cast<unsigned char>(sorted[end].literal[1]) == key)
            ++end;
        // The longest prefix (up to 8 bytes) that every literal of the bucket shares.
        std::size_t shared = 8;
        for (std::size_t j = i; j < end; ++j) {
            const std::string_view literal = sorted[j].literal;
            std::size_t k = 0;
            while (k < shared && k < literal.size() && literal[k] == first[k]) ++k;
            shared = k;
        }
        Bucket& b = buckets_[key];
        b.first = static_cast<std::uint32_t>(entries_.size());
        b.count = static_cast<std::uint32_t>(end - i);
        for (std::size_t k = 0; k < shared; ++k) {
            const std::uint64_t byte = static_cast<unsigned char>(first[k]);
            // Memory order: byte k of the literal is byte k of the loaded word.
            b.prefix |= byte << (8 * k);
            b.mask |= std::uint64_t{0xff} << (8 * k);
        }
        for (std::size_t j = i; j < end; ++j) {
            entries_.push_back(Entry{
                start[j] + static_cast<std::uint32_t>(shared), static_cast<std::uint32_t>(shared),
                static_cast<std::uint32_t>(sorted[j].literal.size() - shared), sorted[j].bit});
        }
        i = end;
    }
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
                  "the prefix test assumes little endian");
}

// ---------------------------------------------------------------------------------------------
// LogLineScanner

LogLineScanner::LogLineScanner(std::size_t blockSize)
    : blockSize_(blockSize == 0 ? kBlockSize : blockSize) {}

LogLineScanner::~LogLineScanner() { Close(); }

bool LogLineScanner::HandleHeld() noexcept { return g_handleHeld.load(); }

void LogLineScanner::Open(const std::string& path) {
    if (IsOpen() || g_handleHeld.exchange(true)) throw LogBusyError(path);
    // O_NONBLOCK so that a FIFO without a writer cannot hang the open; it is refused below.
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        g_handleHeld = false;
        throw LogOpenError(path, SystemReason(error));
    }
    struct stat st {};
    std::string refusal;
    if (::fstat(fd, &st) != 0) {
        refusal = SystemReason(errno);
    } else if (S_ISDIR(st.st_mode)) {
        refusal = SystemReason(EISDIR);
    } else if (!S_ISREG(st.st_mode)) {
        refusal = "not a regular file";
    } else if (::fcntl(fd, F_SETFL, 0) != 0) {
        refusal = SystemReason(errno);
    }
    if (!refusal.empty()) {
        ::close(fd);
        g_handleHeld = false;
        throw LogOpenError(path, refusal);
    }
    fd_ = fd;
    path_ = path;
}

void LogLineScanner::Close() noexcept {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    g_handleHeld = false;
}

namespace {

// Bit i set where chunk byte i is '<', CR or LF.
inline std::uint32_t InterestingBytes(const char* p) noexcept {
#if QUORVANE_SSE2
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('<')),
                                      _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')),
                                                   _mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))));
    return static_cast<std::uint32_t>(_mm_movemask_epi8(hits));
#else
    std::uint32_t bits = 0;
    for (int i = 0; i < 16; ++i) {
        const char c = p[i];
        bits |= static_cast<std::uint32_t>(c == '<' || c == '\r' || c == '\n') << i;
    }
    return bits;
#endif
}

constexpr std::size_t kChunk = 16;

}  // namespace

// ---------------------------------------------------------------------------------------------
// LastLineTracker

void detail::LastLineTracker::BlockDone(const char* block, std::ptrdiff_t consumed) {
    const auto append = [](std::string& s, const char* from, const char* to) {
        const std::size_t room =
            LogLineScanner::kLastLineLimit - std::min(s.size(), LogLineScanner::kLastLineLimit);
        s.append(from, std::min<std::size_t>(room, static_cast<std::size_t>(to - from)));
    };
    if (doneEnd_ >= 0) {
        std::string line = doneStart_ < 0 ? std::move(current_) : std::string();
        append(line, block + std::max<std::ptrdiff_t>(doneStart_, 0), block + doneEnd_);
        last_ = std::move(line);
        any_ = true;
        current_.clear();
        currentLength_ = 0;
    }
    const std::ptrdiff_t from = std::max<std::ptrdiff_t>(currentStart_, 0);
    if (consumed > from) {
        append(current_, block + from, block + consumed);
        currentLength_ += static_cast<std::uint64_t>(consumed - from);
    }
    currentStart_ = -1;
    doneStart_ = -1;
    doneEnd_ = -1;
}

void detail::LastLineTracker::LogEnded() {
    if (currentLength_ > 0) {
        last_ = std::move(current_);
        any_ = true;
    }
}

// ---------------------------------------------------------------------------------------------
// LineScan

namespace {
constexpr std::size_t kPad = TagMatcher::kMaxLiteral + kChunk;
}

LineScan::LineScan(const TagMatcher& matcher, LineSink& sink, std::size_t blockSize)
    : matcher_(matcher),
      sink_(sink),
      blockSize_(blockSize == 0 ? LogLineScanner::kBlockSize : blockSize),
      buffer_(kCarry + blockSize_ + kPad) {}

void LineScan::Feed(const char* data, std::size_t size) {
    while (size > 0) {
        const std::size_t n = std::min(size, blockSize_);
        std::memcpy(Space(), data, n);
        Commit(n);
        data += n;
        size -= n;
    }
}

void LineScan::Finish() {
    Commit(0);
    if (tags_ != 0) sink_.OnLine(tags_);
    tags_ = 0;
    last_.LogEnded();
}

void LineScan::Commit(std::size_t got) {
    char* const buf = buffer_.data();
    const TagMatcher& matcher = matcher_;
    LineSink& sink = sink_;
    const bool atEnd = got == 0;
    std::size_t length = length_ + got;
    std::memset(buf + length, 0, kPad);
    TagBits tags = tags_;

    // Positions below `limit` have a whole literal's worth of bytes behind them.
    const std::size_t limit = atEnd ? length : (length >= kCarry ? length - (kCarry - 1) : 0);
    for (std::size_t base = 0; base < limit; base += kChunk) {
        std::uint32_t hits = InterestingBytes(buf + base);
        if (limit - base < kChunk) hits &= (std::uint32_t{1} << (limit - base)) - 1;
        while (hits != 0) {
            const std::size_t i = base + static_cast<std::size_t>(__builtin_ctz(hits));
            hits &= hits - 1;
            const char c = buf[i];
            if (c == '<') {
                tags |= matcher.MatchAt(buf + i);
                continue;
            }
            const auto pos = static_cast<std::ptrdiff_t>(i);
            if (c == '\n' && (i > 0 ? buf[i - 1] : byteBefore_) == '\r') {
                last_.SkippedLf(pos + 1);  // the LF of a CRLF
                continue;
            }
            if (tags != 0) {
                sink.OnLine(tags);
                tags = 0;
            }
            last_.LineEnded(pos, pos + 1);
        }
    }
    last_.BlockDone(buf, static_cast<std::ptrdiff_t>(limit));
    if (limit > 0) byteBefore_ = buf[limit - 1];
    std::memmove(buf, buf + limit, length - limit);
    length_ = length - limit;
    tags_ = tags;
}

// ---------------------------------------------------------------------------------------------
// LogLineScanner: reading

bool LogLineScanner::Scan(const TagMatcher& matcher, LineSink& sink, const YieldHook& yield) {
    if (!IsOpen()) throw std::logic_error("LogLineScanner::Scan without an open log");
    LineScan scan(matcher, sink, blockSize_);
    lastLine_.clear();
    readALine_ = false;
    bool completed = true;
    for (;;) {
        ssize_t got;
        do {
            got = ::read(fd_, scan.Space(), blockSize_);
        } while (got < 0 && errno == EINTR);
        if (got < 0) throw LogReadError(path_, SystemReason(errno));
        if (got == 0) {
            scan.Finish();
            break;
        }
        scan.Commit(static_cast<std::size_t>(got));
        if (yield && !yield()) {
            completed = false;
            break;
        }
    }
    lastLine_ = scan.lastLine();
    readALine_ = scan.readALine();
    return completed;
}

bool LogLineScanner::ReadBlocks(const std::function<void(const char*, std::size_t)>& consume,
                                const YieldHook& yield) {
    if (!IsOpen()) throw std::logic_error("LogLineScanner::ReadBlocks without an open log");
    // Read in pieces that stay in the processor's cache while they are looked at.
    const std::size_t piece = std::min(blockSize_, kReadPiece);
    buffer_.resize(piece);
    for (;;) {
        ssize_t got;
        do {
            got = ::read(fd_, buffer_.data(), piece);
        } while (got < 0 && errno == EINTR);
        if (got < 0) throw LogReadError(path_, SystemReason(errno));
        if (got == 0) return true;
        consume(buffer_.data(), static_cast<std::size_t>(got));
        if (yield && !yield()) return false;
    }
}

}  // namespace quorvane
