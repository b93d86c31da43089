#!/usr/bin/env python3
"""Reads vrelmont-cli's workbook back with openpyxl and compares it with the JSON of the same run:
values that a spreadsheet would turn into numbers, dates or formulas must come back as the same text.
Usage: xlsx_values.py CLI"""
import json
import pathlib
import subprocess
import sys
import tempfile

import openpyxl

CARDS = "Cislo,UzivCode,Katalog,BarCode,Zkrat,Popis\n" + "".join(
    f'{n},0103,1E5,0594001200030,"=1+1",1/4\n' for n in (1, 2, 3))


def run(cli, *args, status=0):
    result = subprocess.run([cli, *args], capture_output=True, check=False)
    if result.returncode != status:
        sys.exit(f"{args}: exit status {result.returncode}, expected {status}\n{result.stderr.decode()}")
    return result.stdout.decode("utf-8")


def fail(message):
    sys.exit(message)


def main():
    cli = sys.argv[1]
    with tempfile.TemporaryDirectory() as work:
        work = pathlib.Path(work)
        agenda = work / "AGENDA.001"
        run(cli, "create-agenda", str(agenda), "--name", "Sešit")
        (work / "cards.csv").write_text(CARDS, encoding="utf-8")
        run(cli, "import", str(agenda), "SKKMKART", str(work / "cards.csv"))
        for checks in ("all", "4,6,8,10,12"):
            book_path = work / "findings.xlsx"
            document = json.loads(run(cli, "check", str(agenda), "--checks", checks, "--format", "json"))
            run(cli, "check", str(agenda), "--checks", checks, "--format", "xlsx", "--output", str(book_path))
            book = openpyxl.load_workbook(book_path)
            compare(document, book)
        print("the workbook holds the JSON's values")


def compare(document, book):
    summary = book["Souhrn"]
    if summary.freeze_panes != "A2" or not summary.auto_filter.ref:
        fail("the summary has no frozen header or no autofilter")
    statuses = {row[0]: row[5] for row in summary.iter_rows(min_row=2, max_row=16, values_only=True)}
    groups = 0
    for check in document["checks"]:
        if statuses.get(check["number"]) != check["status"]:
            fail(f"check {check['number']}: status {statuses.get(check['number'])}, JSON {check['status']}")
        name = f"{check['number']:02d} {check['id']}"[:31]
        if check["status"] in ("skipped", "not_run"):
            if name in book.sheetnames:
                fail(f"a sheet for {name}, which did not run")
            continue
        sheet = book[name]
        if sheet.freeze_panes != "A2" or not sheet.auto_filter.ref:
            fail(f"{name}: no frozen header or no autofilter")
        # An empty text is an empty cell.
        rows = [tuple("" if cell is None else cell for cell in row)
                for row in sheet.iter_rows(min_row=2, values_only=True)]
        # A group's first record stands above its findings, without a text.
        expected, firsts = [], {g["id"]: g["members"][0] for g in check["groups"]}
        for f in check["findings"]:
            group = f.get("group")
            if group in firsts:
                first = firsts.pop(group)
                expected.append((first["warehouse"], first["number"], f["value"], "", group))
            expected.append((f["warehouse"], f["number"], f["value"], f["text"], group))
        expected = [tuple("" if cell is None else cell for cell in row) for row in expected]
        if rows != expected:
            fail(f"{name}: {rows} is not {expected}")
        groups += len(check["groups"])
    if not groups:
        fail("the agenda was meant to give groups")


if __name__ == "__main__":
    main()
