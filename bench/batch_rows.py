#!/usr/bin/env python3
"""Writes a batch CSV of random birth data for quorvane-report --batch.

Usage: batch_rows.py ROWS [--bad-every N] [--seed S] > file.csv

Every row is valid unless --bad-every N is given: then every N-th row is
broken in one of several ways (bad date, missing field, stray quote, ...).
"""
import argparse
import random
import sys

HEADER = ("name,year,month,day,hour,minute,zone,lat_deg,lat_min,lat_dir,"
          "lon_deg,lon_min,lon_dir,dst,city,state,country")

NAMES = ["Asha", "Ben", "Carla", "Dev", "Elif", "Farid", "Greta", "Hiro",
         '"O\'Neil, Pat"', '"Zoë ""Z"" Ray"']
PLACES = [("London", "England", "UK"), ("New Delhi", "Delhi", "India"),
          ('"Rio de Janeiro"', "RJ", "Brazil"), ("Sydney", "NSW", "Australia"),
          ("Québec", "QC", "Canada")]
BROKEN = [
    lambda f: f.__setitem__(2, "13"),            # month out of range
    lambda f: f.__setitem__(3, "31") or f.__setitem__(2, "4"),  # 31 April
    lambda f: f.__setitem__(1, "1900"),          # year out of range
    lambda f: f.__setitem__(6, "71"),            # no such zone
    lambda f: f.__setitem__(9, "X"),             # latitude direction
    lambda f: f.__setitem__(7, "-5"),            # not a plain number
    lambda f: f.__setitem__(0, ""),              # no name
    lambda f: f.pop(),                           # a field missing
    lambda f: f.append("extra"),                 # a field too many
    lambda f: f.__setitem__(14, 'Lon"don'),      # stray quote
]


def row(rng):
    year = rng.randint(1901, 2050)
    month = rng.randint(1, 12)
    day = rng.randint(1, 28)
    city, state, country = rng.choice(PLACES)
    return [rng.choice(NAMES), str(year), str(month), str(day),
            str(rng.randint(0, 23)), str(rng.randint(0, 59)), str(rng.randint(0, 70)),
            str(rng.randint(0, 89)), str(rng.randint(0, 59)), rng.choice("NS"),
            str(rng.randint(0, 179)), str(rng.randint(0, 59)), rng.choice("EW"),
            rng.choice("01"), city, state, country]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("rows", type=int)
    ap.add_argument("--bad-every", type=int, default=0)
    ap.add_argument("--seed", type=int, default=7)
    args = ap.parse_args()
    rng = random.Random(args.seed)
    out = sys.stdout
    out.write(HEADER + "\r\n")
    lines = []
    for n in range(1, args.rows + 1):
        fields = row(rng)
        if args.bad_every and n % args.bad_every == 0:
            rng.choice(BROKEN)(fields)
        lines.append(",".join(fields))
        if len(lines) == 10000:
            out.write("\r\n".join(lines) + "\r\n")
            lines = []
    if lines:
        out.write("\r\n".join(lines) + "\r\n")


if __name__ == "__main__":
    main()
