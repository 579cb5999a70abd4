// The page's entry points, called by its worker script: count the log mounted at a path, then
// hand over the page's model, the report tool's text and JSON, or one sentence on what failed.
#include <emscripten/emscripten.h>

#include <optional>
#include <string>

#include "page_model.h"
#include "quorvane/counting_rules.h"
#include "quorvane/errors.h"
#include "quorvane/log_counts.h"
#include "quorvane/report_format.h"

namespace {

struct Outcome {
    std::string model, text, json, error;
};
Outcome g_outcome;

}  // namespace

extern "C" {

// Counts the log at `path` (the user's file `file`) by the rules named `rules`, all three
// tables. Returns 0 when counted, 1 when the rules are unknown, 2 when the log could not be
// counted (qv_error says why).
EMSCRIPTEN_KEEPALIVE int qv_count(const char* path, const char* file, const char* rules) {
    g_outcome = Outcome{};
    const quorvane::CountingRules* r = quorvane::RulesNamed(rules);
    if (!r) return 1;
    try {
        const std::optional<quorvane::LogCounts> counts = quorvane::CountLog(path, *r);
        if (!counts) return 2;  // no yield hook is given, so this does not happen
        g_outcome.model = quorvane::web::PageModel(file, *r, *counts);
        g_outcome.text = quorvane::ReportText(file, *r, *counts);
        g_outcome.json = quorvane::ReportJson(file, *r, *counts);
        return 0;
    } catch (const quorvane::TallyError& e) {
        g_outcome.error = quorvane::ErrorSentence(e, file);
        return 2;
    }
}

// How many times a count by the rules named `rules` reads the whole log: the exact rules once
// for the band/mode table, once for the continent table and six times for the QSL tally; the
// ADIF field rules count all three in one reading.
EMSCRIPTEN_KEEPALIVE int qv_passes(const char* rules) {
    return std::string_view(rules) == quorvane::ExactRules().Name() ? 1 + 1 + 6 : 1;
}

EMSCRIPTEN_KEEPALIVE const char* qv_model() { return g_outcome.model.c_str(); }
EMSCRIPTEN_KEEPALIVE const char* qv_report_text() { return g_outcome.text.c_str(); }
EMSCRIPTEN_KEEPALIVE const char* qv_report_json() { return g_outcome.json.c_str(); }
EMSCRIPTEN_KEEPALIVE const char* qv_error() { return g_outcome.error.c_str(); }
}
