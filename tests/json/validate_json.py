#!/usr/bin/env python3
"""Usage: validate_json.py DOCUMENT SCHEMA... Exits 0 when DOCUMENT ("-": stdin) matches one of
the schemas, else says why. References resolve within each schema alone: nothing is fetched."""
import json
import sys

import jsonschema


class Offline(jsonschema.RefResolver):
    def resolve_remote(self, uri):
        raise jsonschema.RefResolutionError(f"not in the schema: {uri}")


def errors(document, path):
    with open(path, encoding="utf-8") as f:
        schema = json.load(f)
    cls = jsonschema.validators.validator_for(schema, default=jsonschema.Draft202012Validator)
    cls.check_schema(schema)
    validator = cls(schema, resolver=Offline.from_schema(schema, id_of=cls.ID_OF))
    return [f"{path} /{'/'.join(map(str, e.absolute_path))}: {e.message}"
            for e in validator.iter_errors(document)]


with (sys.stdin if sys.argv[1] == "-" else open(sys.argv[1], encoding="utf-8")) as f:
    document = json.load(f)
found = [errors(document, spec) for spec in sys.argv[2:]]
if all(found):
    sys.exit(f"{sys.argv[1]} matches none of the schemas:\n" + "\n".join(sum(found, [])))
