#!/usr/bin/env python3
"""Usage: validate_json.py DOCUMENT SCHEMA[#/POINTER]... Exits 0 when DOCUMENT ("-": stdin)
matches one of the schemas, else says why. "#/POINTER" picks a schema inside a file (the DSC
manifest's embedded one); the DSC property it refers to is resolved here, never fetched."""
import json
import sys
import warnings

import jsonschema

warnings.simplefilter("ignore", DeprecationWarning)  # RefResolver, after Debian 12's
IN_DESIRED_STATE = ("https://raw.githubusercontent.com/PowerShell/DSC/main/schemas/v3/"
                    "resource/properties/inDesiredState.json")
STORE = {IN_DESIRED_STATE: {"type": ["boolean", "null"], "readOnly": True}}


def errors(document, spec):
    path, _, pointer = spec.partition("#")
    with open(path, encoding="utf-8") as f:
        schema = json.load(f)
    for part in filter(None, pointer.split("/")):
        schema = schema[part]
    cls = jsonschema.validators.validator_for(schema, default=jsonschema.Draft202012Validator)
    cls.check_schema(schema)
    validator = cls(schema, resolver=jsonschema.RefResolver.from_schema(schema, store=STORE))
    return [f"{spec} /{'/'.join(map(str, e.absolute_path))}: {e.message}"
            for e in validator.iter_errors(document)]


with (sys.stdin if sys.argv[1] == "-" else open(sys.argv[1], encoding="utf-8")) as f:
    document = json.load(f)
found = [errors(document, spec) for spec in sys.argv[2:]]
if all(found):
    sys.exit(f"{sys.argv[1]} matches none of the schemas:\n" + "\n".join(sum(found, [])))
