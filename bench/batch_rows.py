#!/usr/bin/env python3
"""Writes a batch CSV of random birth data for quorvane-report --batch.

Usage: batch_rows.py ROWS [--bad-every N] [--seed S] [--places N | --every-row-another-place] > file.csv

Every row is valid unless --bad-every N is given: then every N-th row is
broken in one of several ways (bad date, missing field, stray quote, ...).

With --places N the rows have a place column instead of the zone, the
coordinates, dst, city, state and country: the N largest cities of the
gazetteer (read from libgeonames), "City, State, Country", in random order.
With --every-row-another-place each row names a city in another way than
the rows before it (its label, "City, Country", "City STATE-CODE", ...),
each writing once until all have been used.
"""
import argparse
import ctypes
import random
import sys

HEADER = ("name,year,month,day,hour,minute,zone,lat_deg,lat_min,lat_dir,"
          "lon_deg,lon_min,lon_dir,dst,city,state,country")
PLACE_HEADER = "name,year,month,day,hour,minute,place"

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


def gazetteer():
    """(population, name, state, country, country code) of every city."""
    lib = ctypes.CDLL("libgeonames.so.0")
    lib.geonames_get_city.restype = ctypes.c_void_p
    lib.geonames_city_free.argtypes = [ctypes.c_void_p]
    for getter in ("name", "state", "country", "country_code"):
        f = getattr(lib, "geonames_city_get_" + getter)
        f.restype, f.argtypes = ctypes.c_char_p, [ctypes.c_void_p]
    lib.geonames_city_get_population.restype = ctypes.c_uint
    lib.geonames_city_get_population.argtypes = [ctypes.c_void_p]
    cities = []
    for i in range(lib.geonames_get_n_cities()):
        c = lib.geonames_get_city(i)
        text = [(getattr(lib, "geonames_city_get_" + g)(c) or b"").decode()
                for g in ("name", "state", "country", "country_code")]
        cities.append((lib.geonames_city_get_population(c), *text))
        lib.geonames_city_free(c)
    return cities


def quoted(field):
    return '"' + field.replace('"', '""') + '"'


def writings(city):
    _, name, state, country, code = city
    label = ", ".join(p for p in (name, state, country) if p)
    return [label, f"{name}, {country}", f"{name}, {state}", f"{name} {code}", label.lower(),
            f"{name},  {state}, {code}", f"{name}, {code}", f"{name} {state}"]


def place_row(rng, place):
    return [rng.choice(NAMES), str(rng.randint(1901, 2050)), str(rng.randint(1, 12)),
            str(rng.randint(1, 28)), str(rng.randint(0, 23)), str(rng.randint(0, 59)), quoted(place)]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("rows", type=int)
    ap.add_argument("--bad-every", type=int, default=0)
    ap.add_argument("--seed", type=int, default=7)
    ap.add_argument("--places", type=int, default=0)
    ap.add_argument("--every-row-another-place", action="store_true")
    args = ap.parse_args()
    rng = random.Random(args.seed)
    places = []
    if args.places:
        cities = sorted(gazetteer(), key=lambda c: -c[0])[:args.places]
        places = [", ".join(p for p in c[1:4] if p) for c in cities]
    elif args.every_row_another_place:
        places = [w for c in gazetteer() for w in writings(c)]
        rng.shuffle(places)
    out = sys.stdout
    out.write((PLACE_HEADER if places else HEADER) + "\r\n")
    lines = []
    for n in range(1, args.rows + 1):
        if places:
            fields = place_row(rng, rng.choice(places) if args.places else places[(n - 1) % len(places)])
        else:
            fields = row(rng)
        if args.bad_every and n % args.bad_every == 0 and not places:
            rng.choice(BROKEN)(fields)
        lines.append(",".join(fields))
        if len(lines) == 10000:
            out.write("\r\n".join(lines) + "\r\n")
            lines = []
    if lines:
        out.write("\r\n".join(lines) + "\r\n")


if __name__ == "__main__":
    main()
