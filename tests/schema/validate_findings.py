#!/usr/bin/env python3
"""Validates vrelmont-cli check's JSON, NDJSON and CSV against docs/findings.schema.json: the three
demo agendas, and a run that stops because a table is missing. Usage: validate_findings.py CLI SCHEMA"""
import csv
import io
import json
import pathlib
import shutil
import subprocess
import sys
import tempfile

import jsonschema


def run(cli, *args, status=0):
    result = subprocess.run([cli, *args], capture_output=True, check=False)
    if result.returncode != status:
        sys.exit(f"{args}: exit status {result.returncode}, expected {status}\n{result.stderr.decode()}")
    return result.stdout.decode("utf-8")


def main():
    cli, schema_path = sys.argv[1], sys.argv[2]
    schema = json.loads(pathlib.Path(schema_path).read_text(encoding="utf-8"))
    jsonschema.Draft202012Validator.check_schema(schema)
    document = jsonschema.Draft202012Validator(schema)
    line = jsonschema.Draft202012Validator({"$defs": schema["$defs"], "$ref": "#/$defs/ndjsonLine"})
    row = jsonschema.Draft202012Validator({"$defs": schema["$defs"], "$ref": "#/$defs/csvRow"})

    with tempfile.TemporaryDirectory() as work:
        data = pathlib.Path(work) / "DATA"
        run(cli, "demo", str(data))
        stopped = pathlib.Path(work) / "AGENDA.009"
        stopped.mkdir()
        shutil.copy(data / "AGENDA.001" / "SKSEZZAS.DAT", stopped)  # no master cards: check 3 fails
        runs = [(str(data / name), 0) for name in ("AGENDA.001", "AGENDA.002", "AGENDA.003")] + [(str(stopped), 1)]
        for agenda, status in runs:
            output = run(cli, "check", agenda, "--checks", "all", "--format", "json", status=status)
            document.validate(json.loads(output))
            for text in run(cli, "check", agenda, "--checks", "all", "--format", "ndjson", status=status).splitlines():
                line.validate(json.loads(text))
            output = run(cli, "check", agenda, "--checks", "all", "--format", "csv", status=status)
            reader = csv.DictReader(io.StringIO(output.removeprefix("\ufeff"), newline=""))
            if reader.fieldnames != list(schema["$defs"]["csvRow"]["properties"]):
                sys.exit(f"CSV columns {reader.fieldnames} are not those of the schema")
            for values in reader:
                row.validate(values)
        print(f"{len(runs)} runs valid in JSON, NDJSON and CSV")


if __name__ == "__main__":
    main()
