#!/usr/bin/env python3
"""Writes src/geodesy/grid_systems_table.cpp from the EPSG registry in proj.db.

Every non-deprecated EPSG projected coordinate system on a conformal method the
geodesy layer computes (Transverse Mercator, Lambert with one or two standard
parallels, oblique and polar stereographic) whose datum is NAD83 (any
realisation), NAD27 (with its 1976 and CGQ77 readjustments), WGS 84 or ETRS89
(the ensemble and national realisations named after it), with its parameters
in radians and metres. Rows whose parameters the methods do not cover are skipped and counted.

Usage: scripts/make-grid-systems.py [--db PATH] [--out PATH]
"""

import argparse
import collections
import math
import pathlib
import sqlite3
import sys
from fractions import Fraction

DEFAULT_DB = "/usr/share/proj/proj.db"
DEFAULT_OUT = pathlib.Path(__file__).resolve().parent.parent / "src/geodesy/grid_systems_table.cpp"

METHODS = {
    9807: "kTransverseMercator",
    9801: "kLambertOneParallel",
    9802: "kLambertTwoParallels",
    9809: "kObliqueStereographic",
    9810: "kPolarStereographicA",
    9829: "kPolarStereographicB",
}

# EPSG parameter codes each method reads; any other parameter skips the row.
LAT_NATURAL, LON_NATURAL, K_NATURAL, FE, FN = 8801, 8802, 8805, 8806, 8807
LAT_FALSE, LON_FALSE, LAT_1, LAT_2, E_FALSE, N_FALSE = 8821, 8822, 8823, 8824, 8826, 8827
LAT_STANDARD, LON_ORIGIN = 8832, 8833
PARAMETERS = {
    9807: {LAT_NATURAL, LON_NATURAL, K_NATURAL, FE, FN},
    9801: {LAT_NATURAL, LON_NATURAL, K_NATURAL, FE, FN},
    9802: {LAT_FALSE, LON_FALSE, LAT_1, LAT_2, E_FALSE, N_FALSE},
    9809: {LAT_NATURAL, LON_NATURAL, K_NATURAL, FE, FN},
    9810: {LAT_NATURAL, LON_NATURAL, K_NATURAL, FE, FN},
    9829: {LAT_STANDARD, LON_ORIGIN, FE, FN},
}

# Exact factors of the common units; others come from the registry.
DEGREE, GRAD, DMS_PACKED, METRE, FOOT, US_FOOT, UNITY = 9102, 9105, 9110, 9001, 9002, 9003, 9201
EXACT_FACTORS = {
    DEGREE: math.pi / 180.0,
    9122: math.pi / 180.0,  # degree, representation left to the supplier
    GRAD: math.pi / 200.0,
    METRE: 1.0,
    FOOT: 0.3048,
    US_FOOT: 1200.0 / 3937.0,
    UNITY: 1.0,
}


def datum_family(name):
    """The datum family the table keeps, or None."""
    if name.startswith("NAD83") or name.startswith("North American Datum 1983") or \
            name.startswith("North American Datum of 1983"):
        return "NAD83"
    if name.startswith("North American Datum 1927"):
        return "NAD27"
    if name.startswith("World Geodetic System 1984"):
        return "WGS 84"
    if name.startswith("European Terrestrial Reference System 1989") or "(ETRS89)" in name:
        return "ETRS89"
    return None


def packed_dms_degrees(value):
    """Degrees from the registry's packed sexagesimal DDD.MMSSsss, exactly."""
    text = repr(abs(value))
    if "e" in text:
        text = f"{abs(value):.12f}"
    whole, _, fraction = text.partition(".")
    fraction = (fraction + "0000")
    minutes = int(fraction[0:2])
    seconds = Fraction(fraction[2:4] + "." + (fraction[4:] or "0"))
    degrees = int(whole) + Fraction(minutes, 60) + seconds / 3600
    return float(degrees) if value >= 0 else -float(degrees)


class Units:
    def __init__(self, db):
        self.factor = {}
        for code, factor in db.execute(
                "SELECT code, conv_factor FROM unit_of_measure WHERE auth_name = 'EPSG'"):
            self.factor[int(code)] = factor

    def angle(self, value, uom):
        if uom == DMS_PACKED:
            return math.radians(packed_dms_degrees(value))
        if uom in (DEGREE, 9122):
            return math.radians(value)
        return value * self._factor(uom)

    def other(self, value, uom):
        return value * self._factor(uom)

    def _factor(self, uom):
        if uom in EXACT_FACTORS:
            return EXACT_FACTORS[uom]
        factor = self.factor.get(uom)
        if factor is None:
            raise ValueError(f"unit {uom} has no factor")
        return factor


def c_string(text):
    out = []
    for ch in text:
        if ch in '\\"':
            out.append("\\" + ch)
        elif 32 <= ord(ch) < 127:
            out.append(ch)
        else:
            out.extend(f"\\x{b:02x}\"\"" for b in ch.encode("utf-8"))
    return '"' + "".join(out) + '"'


def number(value):
    text = repr(float(value))
    return text if ("." in text or "e" in text or "inf" in text) else text + ".0"


def box_area(south, north, west, east):
    width = east - west if east >= west else east - west + 360.0
    return width * (math.sin(math.radians(north)) - math.sin(math.radians(south)))


QUERY = """
  SELECT p.code, p.name, d.name, e.semi_major_axis, e.uom_code, e.inv_flattening,
         e.semi_minor_axis, p.coordinate_system_code, c.*
  FROM projected_crs p
  JOIN geodetic_crs g ON g.auth_name = p.geodetic_crs_auth_name AND g.code = p.geodetic_crs_code
  JOIN geodetic_datum d ON d.auth_name = g.datum_auth_name AND d.code = g.datum_code
  JOIN ellipsoid e ON e.auth_name = d.ellipsoid_auth_name AND e.code = d.ellipsoid_code
  JOIN conversion_table c ON c.auth_name = p.conversion_auth_name AND c.code = p.conversion_code
  WHERE p.auth_name = 'EPSG' AND p.deprecated = 0 AND c.method_auth_name = 'EPSG'
  ORDER BY CAST(p.code AS INTEGER)"""
FIRST_CONVERSION_COLUMN = 8


def conversion_parameters(conversion):
    """{EPSG parameter code: (value, unit code)} of a conversion_table row."""
    params = {}
    for i in range(1, 8):
        code = conversion[f"param{i}_code"]
        if code is not None:
            params[int(code)] = (conversion[f"param{i}_value"], int(conversion[f"param{i}_uom_code"]))
    return params


def defining_values(method, params, units):
    """The row's projection fields in radians and metres."""
    def angle(code):
        return units.angle(*params[code])

    def length(code):
        return units.other(*params[code])

    values = {"lat1": 0.0, "lat2": 0.0, "k0": 1.0}
    if method == 9802:
        values.update(lat0=angle(LAT_FALSE), lon0=angle(LON_FALSE), lat1=angle(LAT_1),
                      lat2=angle(LAT_2), false_easting=length(E_FALSE),
                      false_northing=length(N_FALSE))
    elif method == 9829:
        values.update(lat0=angle(LAT_STANDARD), lon0=angle(LON_ORIGIN),
                      false_easting=length(FE), false_northing=length(FN))
    else:
        values.update(lat0=angle(LAT_NATURAL), lon0=angle(LON_NATURAL),
                      k0=units.other(*params[K_NATURAL]), false_easting=length(FE),
                      false_northing=length(FN))
    return values


def inverse_flattening(a, inverse_f, b):
    """1/f, from the semi-minor axis when the ellipsoid is given by its axes; 0 for a sphere."""
    if inverse_f:
        return inverse_f
    return 0.0 if b == a else a / (a - b)


def axis_units(db, coordinate_system):
    return {int(u) for (u,) in db.execute(
        "SELECT uom_code FROM axis WHERE coordinate_system_auth_name = 'EPSG'"
        " AND coordinate_system_code = ?", (coordinate_system,))}


def area_of_use(db, code):
    """The largest extent of the system's usages (the first on a tie), degrees, or None."""
    extents = db.execute(
        "SELECT x.south_lat, x.north_lat, x.west_lon, x.east_lon FROM usage u"
        " JOIN extent x ON x.auth_name = u.extent_auth_name AND x.code = u.extent_code"
        " WHERE u.object_table_name = 'projected_crs' AND u.object_auth_name = 'EPSG'"
        " AND u.object_code = ? ORDER BY u.code", (str(code),)).fetchall()
    extents = [x for x in extents if None not in x]
    return max(extents, key=lambda x: box_area(*x)) if extents else None


def read_rows(db):
    """The table's rows, and why the others of the kept methods and datums were skipped."""
    units = Units(db)
    rows, skipped = [], collections.Counter()
    cursor = db.execute(QUERY)
    columns = [d[0] for d in cursor.description]
    for record in cursor:
        code, name, datum, a, a_uom, inverse_f, b, coordinate_system = record[:8]
        conversion = dict(zip(columns[FIRST_CONVERSION_COLUMN:], record[FIRST_CONVERSION_COLUMN:]))
        method = int(conversion["method_code"])
        family = datum_family(datum)
        if method not in METHODS or family is None:
            continue
        params = conversion_parameters(conversion)
        if set(params) != PARAMETERS[method]:
            skipped[f"{METHODS[method]} with parameters {sorted(params)}"] += 1
            continue
        row = {"code": int(code), "name": name, "datum": datum, "family": family,
               "method": METHODS[method]}
        row.update(defining_values(method, params, units))
        if method == 9810 and abs(abs(row["lat0"]) - math.pi / 2) > 1e-12:
            skipped["polar stereographic A off the pole"] += 1
            continue
        unit = axis_units(db, coordinate_system)
        if len(unit) != 1:
            skipped["axes in different units"] += 1
            continue
        row["unit"] = units.other(1.0, unit.pop())
        area = area_of_use(db, code)
        if area is None:
            skipped["no area of use"] += 1
            continue
        row.update(zip(("south", "north", "west", "east"), map(math.radians, area)))
        metres = units.other(1.0, int(a_uom))
        row["a"] = a * metres
        row["inverse_flattening"] = inverse_flattening(a * metres, inverse_f,
                                                       None if b is None else b * metres)
        rows.append(row)
    return rows, skipped


def registry_version(db):
    meta = dict(db.execute("SELECT key, value FROM metadata"))
    return f"EPSG {meta.get('EPSG.VERSION', '?')} ({meta.get('EPSG.DATE', '?')})"


FIELDS = ["lat0", "lon0", "lat1", "lat2", "k0", "false_easting", "false_northing", "unit", "south",
          "north", "west", "east"]


def write_table(rows, version, out):
    lines = [
        "// Generated by scripts/make-grid-systems.py from proj.db, " + version + ".",
        "// Do not edit: run `python3 scripts/make-grid-systems.py` to regenerate.",
        "// Fields: code, name, datum, a, 1/f, method, lat0, lon0, lat1, lat2, k0,",
        "// false easting, false northing, unit, south, north, west, east (radians, metres).",
        "#include \"geodesy/grid_systems_table.h\"",
        "",
        "namespace trovisk {",
        "namespace {",
        "",
        "// clang-format off",
        "constexpr GridSystem kRows[] = {",
    ]
    for r in rows:
        values = ", ".join(number(r[f]) for f in FIELDS)
        lines.append(f"  {{{r['code']}, {c_string(r['name'])}, {c_string(r['datum'])}, "
                     f"{number(r['a'])}, {number(r['inverse_flattening'])}, "
                     f"GridMethod::{r['method']}, {values}}},")
    lines += [
        "};",
        "// clang-format on",
        "",
        "}  // namespace",
        "",
        "std::span<const GridSystem> GridSystemTable() { return kRows; }",
        "",
        "}  // namespace trovisk",
        "",
    ]
    out.write_text("\n".join(lines))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--db", default=DEFAULT_DB, help="PROJ's proj.db (default %(default)s)")
    parser.add_argument("--out", default=str(DEFAULT_OUT), help="the C++ file to write")
    args = parser.parse_args()
    if not pathlib.Path(args.db).is_file():
        print(f"{args.db}: no such file (install proj-data, or give --db)", file=sys.stderr)
        return 1
    db = sqlite3.connect(f"file:{args.db}?mode=ro", uri=True)
    rows, skipped = read_rows(db)
    rows.sort(key=lambda r: r["code"])
    write_table(rows, registry_version(db), pathlib.Path(args.out))
    counts = collections.Counter((r["method"], r["family"]) for r in rows)
    print(f"{len(rows)} systems written to {args.out} ({registry_version(db)})")
    for (method, family), n in sorted(counts.items()):
        print(f"  {method:24} {family:8} {n:5}")
    print(f"  {sum(skipped.values())} skipped")
    for reason, n in sorted(skipped.items()):
        print(f"    {n:5}: {reason}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
