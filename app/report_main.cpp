// Entry point of quorvane-report.
#include <iostream>

#include "report.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    return quorvane::report::Run(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                 std::cerr);
}
