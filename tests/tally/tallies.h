// A log counted as the report tool counts it, and its counters and sums against the reference
// implementation; shared by the tests and the fuzz target, so no GoogleTest here.
#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "quorvane/counting_rules.h"
#include "quorvane/log_counts.h"
#include "reference_tally.h"

namespace quorvane::testing {

// The tables with their totals, each scan reading `blockSize` bytes at a time (0: as usual).
inline LogCounts CountFile(const std::string& path, std::size_t blockSize = 0,
                           const CountingRules& rules = ExactRules(),
                           const TableChoice& tables = {}) {
    return *CountLog(path, rules, tables, {.blockSize = blockSize});
}

// The tables with their totals, the log handed over `piece` bytes at a time (0: at once), as a
// caller that reads it itself hands it over.
inline LogCounts FeedText(std::string_view text, std::size_t piece,
                          const CountingRules& rules = ExactRules(),
                          const TableChoice& tables = {}) {
    LogFeed feed(rules, tables);
    if (piece == 0) piece = text.size() + 1;
    for (std::size_t at = 0; at < text.size(); at += piece)
        feed.Feed(text.data() + at, std::min(piece, text.size() - at));
    return feed.Finish();
}

// The reference's counters of one section, by the section's JSON name.
inline const std::map<std::string, std::int64_t>& Section(const reference::Counts& ref,
                                                          std::string_view section) {
    if (section == kBandModeSection) return ref.bandMode;
    if (section == kContinentSection) return ref.continent;
    return ref.qsl;
}

// The counters that are not zero, sums left out, in the order of the report's JSON:
// "C20 OthersTotal EU20 QslSent*2".
inline std::string Nonzero(const LogCounts& t) {
    static const reference::Counts kNames;
    std::ostringstream out;
    ForEachCounter(t, [&](std::string_view section, std::string_view name, std::int32_t n) {
        if (n == 0 || Section(kNames, section).count(std::string(name)) == 0) return;
        out << (out.tellp() ? " " : "") << name;
        if (n > 1) out << '*' << n;
    });
    return out.str();
}

// The award tables' figures that are not zero, named as reference::Counts::awards names them.
inline std::map<std::string, std::int64_t> AwardFigures(const LogCounts& t) {
    std::map<std::string, std::int64_t> out;
    const auto put = [&out](const std::string& name, std::int64_t n) {
        if (n != 0) out[name] = n;
    };
    put("range.leftOut", t.leftOut);
    if (!t.awards) return out;
    const AwardTally& a = *t.awards;
    const DxccSummary s = SummaryOf(a);
    const char* const kRows[DxccSummary::kRows] = {"worked", "confirmed", "card", "lotw", "eqsl"};
    for (std::size_t c = 0; c < kAwardColumnCount; ++c) {
        const std::string column(AwardColumnName(c));
        for (std::size_t r = 0; r < DxccSummary::kRows; ++r)
            put("dxcc." + std::string(kRows[r]) + "." + column, s.cells[r][c]);
        if (c >= kAwardModeColumns)
            put("dxcc.shown." + column, s.bandWorked[c - kAwardModeColumns]);
    }
    put("dxcc.deleted.worked", s.deletedWorked);
    put("dxcc.deleted.confirmed", s.deletedConfirmed);
    put("dxcc.contacts.noDxcc", a.noDxcc);
    put("dxcc.contacts.none", a.none);
    put("dxcc.contacts.unknown", a.unknown);
    const std::vector<std::size_t> worked = WorkedEntities(a);
    for (std::size_t i = 0; i < worked.size(); ++i) {
        const std::string code = std::to_string(DxccEntities()[worked[i]].code);
        put("entities." + std::to_string(i), DxccEntities()[worked[i]].code);
        for (std::size_t c = 0; c < kAwardColumnCount; ++c) {
            const std::string cell = "entity." + code + "." + std::string(AwardColumnName(c));
            put(cell, a.Cell(worked[i], c).contacts);
            put(cell + ".channels", a.Cell(worked[i], c).channels);
        }
    }
    std::vector<std::pair<std::string, YearRow>> years{{"noDate", a.noDate}};
    for (const auto& [year, row] : a.years) {
        put("years." + std::to_string(year) + ".row", 1);
        years.emplace_back(std::to_string(year), row);
    }
    for (const auto& [year, row] : years) {
        const std::pair<const char*, std::int32_t> kColumns[] = {
            {"contacts", row.contacts},  {"CW", row.cw},
            {"Phone", row.phone},        {"Digital", row.digital},
            {"entities", row.entities},  {"new", row.newEntities},
            {"confirmed", row.confirmed}};
        for (const auto& [column, n] : kColumns) put("years." + year + "." + column, n);
    }
    return out;
}

// Every counter, every sum and, if asked, the last line that differ from the reference:
// " C20=2/1 Total=2/1"; empty when they agree. A counter of the reference that the tallies do
// not name is a difference too.
inline std::string Differences(const LogCounts& t, const reference::Counts& ref, bool lastLine) {
    std::string diff;
    std::size_t named = 0;
    ForEachCounter(t, [&](std::string_view section, std::string_view counter, std::int32_t got) {
        const std::string name(counter);
        const auto& counters = Section(ref, section);
        std::int64_t want;
        if (counters.count(name) != 0) {
            want = counters.at(name);
            ++named;
        } else if (section == kBandModeSection) {
            want = ref.BandModeSum(name);
        } else {
            want = ref.ContinentSum(name);
        }
        if (got != want)
            diff += " " + name + "=" + std::to_string(got) + "/" + std::to_string(want);
    });
    if (named != ref.bandMode.size() + ref.continent.size() + ref.qsl.size())
        diff += " counters missing";
    // Counted without the award tables, only the records left out are compared.
    auto figures = AwardFigures(t);
    for (const auto& [name, want] : ref.awards)
        if (want != 0 && (t.awards || name == "range.leftOut")) figures.try_emplace(name, 0);
    for (const auto& [name, got] : figures) {
        const auto it = ref.awards.find(name);
        const std::int64_t want = it == ref.awards.end() ? 0 : it->second;
        if (got != want)
            diff += " " + name + "=" + std::to_string(got) + "/" + std::to_string(want);
    }
    if (lastLine && t.bandMode->mystr != ref.lastLine.substr(0, LogLineScanner::kLastLineLimit))
        diff += " mystr";
    return diff;
}

}  // namespace quorvane::testing
