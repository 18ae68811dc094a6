#!/usr/bin/env python3
"""Checks one JSON document against JSON Schema files (draft 2020-12 unless a
schema says otherwise): exits 0 when it matches one of them, else says why
and exits 1.

Usage: validate_json.py DOCUMENT SCHEMA[#/POINTER]...
DOCUMENT "-" is standard input. "#/POINTER" takes the schema from inside the
file, such as the instance schema embedded in the DSC resource manifest.
The DSC standard property that schema refers to is resolved here, as the
published one describes it (a boolean or null, read-only), so that nothing
is fetched."""
import json
import sys

import warnings

import jsonschema

# RefResolver is what the jsonschema of Debian 12 has; later ones warn of it.
warnings.simplefilter("ignore", DeprecationWarning)

IN_DESIRED_STATE = ("https://raw.githubusercontent.com/PowerShell/DSC/main/schemas/v3/"
                    "resource/properties/inDesiredState.json")
STORE = {IN_DESIRED_STATE: {"$id": IN_DESIRED_STATE, "type": ["boolean", "null"],
                            "readOnly": True}}


def load(spec):
    path, _, pointer = spec.partition("#")
    with open(path, encoding="utf-8") as f:
        schema = json.load(f)
    for part in filter(None, pointer.split("/")):
        schema = schema[part]
    return schema


def main():
    source, specs = sys.argv[1], sys.argv[2:]
    with (sys.stdin if source == "-" else open(source, encoding="utf-8")) as f:
        document = json.load(f)
    problems = []
    for spec in specs:
        schema = load(spec)
        cls = jsonschema.validators.validator_for(schema, default=jsonschema.Draft202012Validator)
        cls.check_schema(schema)
        resolver = jsonschema.RefResolver.from_schema(schema, store=STORE)
        errors = [f"{'/'.join(map(str, e.absolute_path))}: {e.message}"
                  for e in cls(schema, resolver=resolver).iter_errors(document)]
        if not errors:
            return 0
        problems.append(f"{spec}: " + "; ".join(errors))
    print(f"{source} matches none of the schemas:\n" + "\n".join(problems), file=sys.stderr)
    return 1


sys.exit(main())
