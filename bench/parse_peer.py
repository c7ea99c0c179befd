"""The peer of the page benchmark: the same cells extracted from the same page with
BeautifulSoup over lxml, and with lxml's XPath alone. Prints medians as JSON.

Run with Debian's /usr/bin/python3, which sees python3-bs4 and python3-lxml.
usage: parse_peer.py PAGE.html CELLS.tsv [RUNS]
"""
import json
import statistics
import sys
import time

import lxml.html
from bs4 import BeautifulSoup


def cells_with_bs4(text):
    soup = BeautifulSoup(text, "lxml")
    rows = []
    for tr in soup.find("tbody").find_all("tr"):
        tds = tr.find_all("td", recursive=False)
        if len(tds) < 6 or tds[1].a is None:
            continue
        last = tds[5]
        link = last.find("a", target="_blank")
        suggestion = "" if last.find("img") or link is None else link.get_text()
        rows.append((tds[1].a.get_text(), tds[2].get_text()[:10], tds[3].get_text(), suggestion))
    return rows


def cells_with_xpath(text):
    rows = []
    for tr in lxml.html.fromstring(text).xpath("//tbody/tr"):
        tds = tr.xpath("./td")
        if len(tds) < 6:
            continue
        last = tds[5]
        suggestion = "" if last.xpath(".//img") else last.xpath("string(.//a[@target='_blank'])")
        rows.append((tds[1].xpath("string(./a)"), tds[2].text_content()[:10],
                     tds[3].text_content(), suggestion))
    return rows


def median_times(extract, text, runs):
    cpu, wall = [], []
    for _ in range(runs):
        c0, w0 = time.process_time(), time.perf_counter()
        extract(text)
        cpu.append(time.process_time() - c0)
        wall.append(time.perf_counter() - w0)
    return statistics.median(cpu) * 1e6, statistics.median(wall) * 1e6


def main():
    page_path, cells_path = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 150
    with open(page_path, encoding="utf-8") as f:
        text = f.read()
    with open(cells_path, encoding="utf-8") as f:
        expected = [tuple(line.rstrip("\n").split("\t")) for line in f if line.strip()]

    result = {"rows": len(expected)}
    for name, extract in (("bs4_lxml", cells_with_bs4), ("lxml_xpath", cells_with_xpath)):
        same = extract(text) == expected
        extract(text)  # warm-up
        cpu_us, wall_us = median_times(extract, text, runs)
        result[name] = {"same_cells": same, "cpu_us": cpu_us, "wall_us": wall_us}
    json.dump(result, sys.stdout)
    print()
    return 0 if all(result[k]["same_cells"] for k in ("bs4_lxml", "lxml_xpath")) else 1


if __name__ == "__main__":
    sys.exit(main())
