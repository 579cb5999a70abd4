#!/usr/bin/env python3
"""Writes tally/src/adif_enums.cpp from ADIF's band, mode, submode and DXCC entity lists (CSV
files).

Run by hand when the ADIF version changes; the program never reads the lists itself:
    tools/adif/gen_adif_enums.py tools/adif > tally/src/adif_enums.cpp
"""
import csv
import sys
from decimal import Decimal
from pathlib import Path

def nano(mhz):
    """MHz as a whole number of nano-MHz (mHz), exactly."""
    value = Decimal(mhz) * 1_000_000_000
    assert value == value.to_integral_value(), mhz
    return int(value)


def main():
    folder = Path(sys.argv[1])
    modes = list(csv.DictReader(open(folder / "modes.csv")))
    submodes = list(csv.DictReader(open(folder / "submodes.csv")))
    all_bands = list(csv.DictReader(open(folder / "bands.csv")))
    entities = [r for r in csv.DictReader(open(folder / "dxcc.csv")) if int(r["code"]) != 0]
    entities.sort(key=lambda r: int(r["code"]))

    # A name names its mode: a submode (also a legacy name written as the mode) its parent,
    # any other mode itself.
    mode_of = {}
    for r in modes:
        mode_of[r["mode"].upper()] = r["mode"].upper()
    for r in submodes:
        mode_of[r["submode"].upper()] = r["mode"].upper()
    for parent in set(mode_of.values()):
        assert parent in mode_of and mode_of[parent] == parent, parent

    out = []
    out.append("// ADIF 3.1.7 band edges, modes, submodes and DXCC entities, written by")
    out.append("// tools/adif/gen_adif_enums.py.")
    out.append('#include "adif_enums.h"')
    out.append("")
    out.append("namespace quorvane::adif {")
    out.append("")
    out.append("// Every mode and submode name, upper case and sorted, with the mode it belongs to.")
    out.append(f"const std::array<ModeName, {len(mode_of)}> kModeNames{{{{")
    for name in sorted(mode_of):
        out.append(f'    {{"{name}", "{mode_of[name]}"}},')
    out.append("}};")
    out.append("")
    out.append("// Every ADIF band in ADIF's order: its name in upper case, lower and upper edge in nano-MHz.")
    out.append(f"const std::array<AdifBand, {len(all_bands)}> kAdifBands{{{{")
    for r in all_bands:
        out.append(f'    {{"{r["band"].upper()}", {nano(r["lower_mhz"])}ULL, {nano(r["upper_mhz"])}ULL}},')
    out.append("}};")
    out.append("")
    out.append("// The DXCC entities by code (0, no entity, is not one), with the deleted ones marked.")
    out.append(f"const std::array<DxccEntity, {len(entities)}> kDxccEntities{{{{")
    for r in entities:
        name = r["entity"].replace("\\", "\\\\").replace('"', '\\"')
        deleted = "true" if r["deleted"] == "yes" else "false"
        out.append(f'    {{{int(r["code"])}, "{name}", {deleted}}},')
    out.append("}};")
    out.append("")
    out.append("}  // namespace quorvane::adif")
    print("\n".join(out))


if __name__ == "__main__":
    main()
