// The award figures of a log, counted by the ADIF field rules record by record: DXCC entities
// worked and confirmed by mode class, band and channel, and contacts by year.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "quorvane/tables.h"

namespace quorvane {

struct AdifRecord;

inline constexpr std::size_t kAdifBandCount = 33;     // 2190M ... SUBMM
inline constexpr std::size_t kDxccEntityCount = 402;  // every code but 0

struct DxccEntity {
    std::uint16_t code;
    std::string_view name;  // upper case, as ADIF lists it; not unique
    bool deleted;           // no longer current; old contacts with it stay valid
};

// Every DXCC entity of ADIF, by code.
std::span<const DxccEntity> DxccEntities();

// The index in DxccEntities of a code; nullopt for 0 and for codes that ADIF does not list.
std::optional<std::size_t> DxccIndex(std::uint64_t code);

// The columns of the award tables: Mixed, CW, Phone and Digital, then every ADIF band.
inline constexpr std::size_t kMixedColumn = 0;
inline constexpr std::size_t kAwardModeColumns = 4;
inline constexpr std::size_t kAwardColumnCount = kAwardModeColumns + kAdifBandCount;
// The column of a mode class (index into ModeClasses: CW, DIG, PHO).
inline constexpr std::array<std::size_t, kModeClassCount> kClassColumns{1, 3, 2};
constexpr std::size_t BandColumn(std::size_t adifBand) { return kAwardModeColumns + adifBand; }
// "Mixed", "CW", "Phone", "Digital", "2190M", ..., "20M", ..., "SUBMM".
std::string_view AwardColumnName(std::size_t column);

// The channels that confirm a contact, as bits.
enum Channel : std::uint8_t { kCard = 1, kLotw = 2, kEqsl = 4 };
// What the DXCC award accepts: a card or LoTW. eQSL is always shown on its own.
inline constexpr std::uint8_t kDxccChannels = kCard | kLotw;

// One entity in one column: its contacts and the channels that confirm any of them.
struct AwardCell {
    std::int32_t contacts = 0;
    std::uint8_t channels = 0;
};

// "W" worked, not confirmed; "C" confirmed by card or LoTW; "E" confirmed by eQSL only; "" not
// worked.
std::string_view CellMark(const AwardCell& cell);

// A year's row; the last three are formed by AwardTally::FormTotals.
struct YearRow {
    std::int32_t contacts = 0;  // every record of the year
    std::int32_t cw = 0, phone = 0, digital = 0;
    std::int32_t entities = 0;     // current entities worked that year
    std::int32_t newEntities = 0;  // current entities whose earliest dated contact is that year
    std::int32_t confirmed = 0;    // current entities confirmed by card or LoTW by a contact of it
};

// A calendar day as the number yyyymmdd, as QSO_DATE writes it.
using Day = std::uint32_t;
inline constexpr int kFirstYear = 1930;  // of a valid QSO_DATE

class AwardTally {
  public:
    AwardTally() : cells_(kDxccEntityCount * kAwardColumnCount) {}

    // Counts one record, dated `day` (nullopt: no valid QSO_DATE), on the ADIF band `band`
    // (index into ADIF's list, 2190M first) in the mode class `modeClass` (index into
    // ModeClasses), as the ADIF field rules read them. Raises CounterOverflow.
    void OnRecord(const AdifRecord& record, std::optional<Day> day, std::optional<std::size_t> band,
                  std::optional<std::size_t> modeClass);
    // Forms the years' rows. Call once, after the last record.
    void FormTotals();

    const AwardCell& Cell(std::size_t entity, std::size_t column) const {
        return cells_[entity * kAwardColumnCount + column];
    }
    bool Worked(std::size_t entity) const { return Cell(entity, kMixedColumn).contacts > 0; }

    // The records without an entity, by kind: no DXCC field or an empty one; DXCC 0 (known to
    // be in no entity); any other value that names no entity.
    std::int32_t noDxcc = 0, none = 0, unknown = 0;

    // From the first to the last year of the dated records, with the years between; formed.
    std::vector<std::pair<int, YearRow>> years;
    // The records without a valid date (only its first four counts).
    YearRow noDate;

  private:
    struct YearCount {
        YearRow row;
        std::bitset<kDxccEntityCount> worked, confirmed;
    };

    std::vector<AwardCell> cells_;
    std::vector<YearCount> byYear_;  // from kFirstYear on, as far as the last year counted
    std::array<std::uint16_t, kDxccEntityCount> firstYear_{};  // 0: no dated contact yet
};

// The DXCC summary: distinct current entities for each row and column.
struct DxccSummary {
    enum Row { Worked, Confirmed, Card, Lotw, Eqsl };
    static constexpr std::size_t kRows = 5;
    std::array<std::array<std::int32_t, kAwardColumnCount>, kRows> cells{};
    // The band columns shown: those in which any entity, current or deleted, was worked.
    std::array<bool, kAdifBandCount> bandWorked{};
    std::int32_t deletedWorked = 0, deletedConfirmed = 0;  // Mixed only
};
DxccSummary SummaryOf(const AwardTally& tally);

// The entities worked, current and deleted, by name then code: indexes into DxccEntities.
std::vector<std::size_t> WorkedEntities(const AwardTally& tally);

// A date range for every count of the ADIF field rules; both bounds inclusive, 0 for open.
struct DateRange {
    Day from = 0, to = 0;
    bool Bounded() const { return from != 0 || to != 0; }
    bool Holds(Day d) const { return (from == 0 || d >= from) && (to == 0 || d <= to); }
};

// A QSO_DATE as ADIF writes it, exactly eight digits yyyymmdd of a real calendar day from
// 1930 on; nullopt for anything else.
std::optional<Day> ParseDay(std::string_view text);
// A day as people and date fields write it, YYYY-MM-DD, or as ADIF does, YYYYMMDD.
std::optional<Day> ParseDayGiven(std::string_view text);

}  // namespace quorvane
