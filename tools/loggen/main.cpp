// quorvane-loggen: writes a generated ADIF log to a file or to standard output.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "loggen.h"

namespace {

const char kUsage[] =
    "usage: quorvane-loggen [--contacts N] [--seed N] [--eol crlf|cr|lf|mixed]\n"
    "                       [--style lines|fields|typed|awards|dense] [--no-header]\n"
    "                       [--no-final-eol] [--odd SHARE] [-o FILE]\n"
    "Writes a generated ADIF log to FILE or standard output: one contact per line with tags\n"
    "as the exact rules spell them (lines, the default), or as logging programs export them\n"
    "(fields: any letter case and layout, for the ADIF field rules; typed: the lines with a\n"
    "data type on every field; awards: contacts with DXCC entities, dates and confirmations,\n"
    "odd values among them; dense: ten to thirteen short fields a line in any order).\n";

bool ParseCount(const char* text, std::uint64_t& out) {
    char* end = nullptr;
    out = std::strtoull(text, &end, 10);
    return end != text && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
    quorvane::loggen::Options options;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--contacts" && hasValue && ParseCount(argv[i + 1], options.contacts)) {
            ++i;
        } else if (arg == "--seed" && hasValue && ParseCount(argv[i + 1], options.seed)) {
            ++i;
        } else if (arg == "--eol" && hasValue &&
                   quorvane::loggen::ParseLineEnd(argv[i + 1], options.lineEnd)) {
            ++i;
        } else if (arg == "--style" && hasValue &&
                   quorvane::loggen::ParseStyle(argv[i + 1], options.style)) {
            ++i;
        } else if (arg == "--odd" && hasValue) {
            options.oddShare = std::atof(argv[++i]);
        } else if (arg == "--no-header") {
            options.header = false;
        } else if (arg == "--no-final-eol") {
            options.finalLineEnd = false;
        } else if (arg == "-o" && hasValue) {
            output = argv[++i];
        } else {
            std::cerr << "quorvane-loggen: bad argument '" << arg << "'\n" << kUsage;
            return 1;
        }
    }
    if (output.empty()) {
        quorvane::loggen::Write(std::cout, options);
        return std::cout ? 0 : 2;
    }
    std::ofstream file(output, std::ios::binary);
    if (!file) {
        std::cerr << "quorvane-loggen: cannot write '" << output << "'\n";
        return 2;
    }
    quorvane::loggen::Write(file, options);
    file.close();
    return file ? 0 : 2;
}
