// The page's entry points, called by its worker script: a count of the log that the worker
// reads with the browser's own reader and hands over block by block, then the page's model,
// the report tool's text and JSON, or one sentence on what failed.
#include <emscripten/emscripten.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "page_model.h"
#include "quorvane/counting_rules.h"
#include "quorvane/errors.h"
#include "quorvane/log_counts.h"
#include "quorvane/report_format.h"

namespace {

struct Count {
    std::string file;  // the user's name of the log
    const quorvane::CountingRules* rules = nullptr;
    std::unique_ptr<const quorvane::CountingRules> ranged;  // the rules within the range
    std::unique_ptr<quorvane::LogFeed> feed;
    std::vector<char> block;  // where the worker puts the next bytes
    std::string model, text, json, entitiesCsv, error;
};
Count g_count;
quorvane::DateRange g_range;  // for the counts begun from now on

// What the worker is told when a count fails: 2, with the sentence in qv_error.
int Failed(const quorvane::TallyError& error) {
    g_count.feed.reset();
    g_count.error = quorvane::ErrorSentence(error, g_count.file);
    return 2;
}

}  // namespace

extern "C" {

// The days whose contacts the next counts by the ADIF field rules take, as the date fields give
// them ("2023-01-31", "" for open). Returns 0, or 2 when a bound is not a day from 1930 on or
// the range ends before it begins, with the sentence in qv_error; the range is then open.
EMSCRIPTEN_KEEPALIVE int qv_range(const char* from, const char* to) {
    g_range = {};
    quorvane::DateRange range;
    for (const auto& [name, text, day] :
         {std::tuple{"From", from, &range.from}, std::tuple{"To", to, &range.to}}) {
        if (!*text) continue;
        const auto parsed = quorvane::ParseDayGiven(text);
        if (!parsed) {
            g_count.error = std::string(name) + " " + text + " is not a day from 1930 on.";
            return 2;
        }
        *day = *parsed;
    }
    if (range.from && range.to && range.from > range.to) {
        g_count.error = "From " + quorvane::DayText(range.from) + " is after To " +
                        quorvane::DayText(range.to) + ": no day is in the range.";
        return 2;
    }
    g_range = range;
    return 0;
}

// Begins a count of the log `file` by the rules named `rules`: all three tables, and by the
// ADIF field rules the award tables too, within the range. Returns 0, or 1 when the rules are
// unknown.
EMSCRIPTEN_KEEPALIVE int qv_begin(const char* file, const char* rules) {
    g_count = Count{};
    g_count.file = file;
    g_count.rules = quorvane::RulesNamed(rules);
    if (!g_count.rules) return 1;
    if (g_count.rules->ReadsRecords() && g_range.Bounded()) {
        g_count.ranged = quorvane::AdifFieldRulesWithin(g_range);
        g_count.rules = g_count.ranged.get();
    }
    g_count.feed = std::make_unique<quorvane::LogFeed>(
        *g_count.rules, quorvane::TableChoice{.awards = g_count.rules->ReadsRecords()});
    return 0;
}

// Where the worker writes the log's next `size` bytes before qv_feed.
EMSCRIPTEN_KEEPALIVE char* qv_block(std::size_t size) {
    if (g_count.block.size() < size) g_count.block.resize(size);
    return g_count.block.data();
}

// Counts the `size` bytes written at qv_block. Returns 0, or 2 when the count failed.
EMSCRIPTEN_KEEPALIVE int qv_feed(std::size_t size) {
    if (!g_count.feed) return 2;
    try {
        g_count.feed->Feed(g_count.block.data(), size);
        return 0;
    } catch (const quorvane::TallyError& e) {
        return Failed(e);
    }
}

// The log has ended: its model, text and JSON are made. Returns 0, or 2 when the count failed.
EMSCRIPTEN_KEEPALIVE int qv_end() {
    if (!g_count.feed) return 2;
    try {
        const quorvane::LogCounts counts = g_count.feed->Finish();
        g_count.feed.reset();
        g_count.model = quorvane::web::PageModel(g_count.file, *g_count.rules, counts);
        g_count.text = quorvane::ReportText(g_count.file, *g_count.rules, counts);
        g_count.json = quorvane::ReportJson(g_count.file, *g_count.rules, counts);
        if (counts.awards)
            g_count.entitiesCsv = quorvane::GridCsv(quorvane::DxccEntityGrid(*counts.awards));
        return 0;
    } catch (const quorvane::TallyError& e) {
        return Failed(e);
    }
}

// The log cannot be counted: `why` is "Folder" for a folder dropped on the page, else the name
// of the browser's error in reading it (NotFoundError, SecurityError, ...). Returns 2, the
// sentence in qv_error.
EMSCRIPTEN_KEEPALIVE int qv_failed(const char* why) {
    const std::string_view name(why);
    const std::string& file = g_count.file;
    if (name == "Folder") return Failed(quorvane::LogOpenError(file, std::strerror(EISDIR)));
    const int error = name == "NotFoundError" ? ENOENT : name == "SecurityError" ? EACCES : EIO;
    return Failed(quorvane::LogReadError(file, std::strerror(error)));
}

EMSCRIPTEN_KEEPALIVE const char* qv_model() { return g_count.model.c_str(); }
EMSCRIPTEN_KEEPALIVE const char* qv_report_text() { return g_count.text.c_str(); }
EMSCRIPTEN_KEEPALIVE const char* qv_report_json() { return g_count.json.c_str(); }
EMSCRIPTEN_KEEPALIVE const char* qv_error() { return g_count.error.c_str(); }
// As quorvane-report --table dxcc-entities --csv prints it; empty by the exact rules.
EMSCRIPTEN_KEEPALIVE const char* qv_entities_csv() { return g_count.entitiesCsv.c_str(); }
}
