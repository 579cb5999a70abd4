// Writes realistic ADIF logs of any size for the tests, the benchmarks and the sample log.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace quorvane::loggen {

enum class LineEnd { CRLF, CR, LF, Mixed };

// Lines: one contact per line with tags as the exact rules spell them. Fields: logs as
// logging programs export them, for the ADIF field rules: names in any letter case, one field
// per line or several, fields in any order, with or without a header, FREQ-only and
// SUBMODE-only records, data types, doubled fields, values that hold "<EOR>", text between
// records, and fields after the last record. Typed: the contacts of Lines with a data type on
// every field, as some programs export them (<QSO_DATE:8:D>, <BAND:3:E>20M); the exact rules
// count their band tags as Others. Awards: one contact a line for the award tables, with DXCC
// values (mostly current entities, some deleted, 0, missing or naming none), QSO_DATEs (a few
// that are no day) and received confirmations of every channel (Y, V, R, N, y, " Y "), bands,
// modes and field names as Fields writes them. Dense: one contact a line of ten to thirteen
// short fields in any order, about 180 bytes a contact.
enum class Style { Lines, Fields, Typed, Awards, Dense };

struct Options {
    std::uint64_t contacts = 500;
    std::uint64_t seed = 1;
    Style style = Style::Lines;
    LineEnd lineEnd = LineEnd::CRLF;
    bool header = true;
    bool finalLineEnd = true;  // a line end after the last record
    // Share of contacts written with a band, mode or spelling that must land in Others or
    // count nowhere (60 m, 2 m, FT8, lower case, data-type indicators, a wrong length digit).
    double oddShare = 0.08;
    // Share of contacts whose fields are spread over two lines, and of lines holding two.
    double splitShare = 0.02;
    double doubleShare = 0.01;
};

void Write(std::ostream& out, const Options& options);
std::string Generate(const Options& options);

// "lines", "fields", "typed", "awards" or "dense"; returns false for anything else.
bool ParseStyle(const std::string& text, Style& out);

// "crlf", "cr", "lf" or "mixed"; returns false for anything else.
bool ParseLineEnd(const std::string& text, LineEnd& out);

}  // namespace quorvane::loggen
