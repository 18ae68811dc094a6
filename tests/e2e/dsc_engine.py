#!/usr/bin/env python3
"""Usage: dsc_engine.py MANIFEST get|set|what-if|test COMMAND...  (the desired state on stdin)

Runs a command resource the way the DSC v3 engine runs it (PowerShell/DSC,
lib/dsc-lib/src/dscresources/command_resource.rs), with COMMAND (a loader and
the program) in place of the manifest's executable:
- the manifest is read as the engine reads it: no field it does not know;
- the embedded schema is compiled with every reference resolved at once, from
  the schema alone: nothing is ever fetched;
- the input is checked against the schema before set and test; every output
  after, the first line alone for stateAndDiff;
- set on a resource that implements its pretest calls get with the desired
  state first, then set (with its whatIfArg for what-if);
- an exit code other than 0 is reported by its manifest description, and
  standard error is read as JSON lines (UTF-8; reading stops at invalid UTF-8).
Prints one JSON object: what the engine reports for the operation, or its
error as "error", and in "log" the messages it logs from standard error.
Exits 0, or 2 when the engine reports an error, or 1 when the resource breaks
what it promises beyond the engine's rules: only JSON lines on either stream,
in ASCII, and stateAndDiff for set and test."""
import json
import subprocess
import sys

import jsonschema

# The top-level fields of ResourceManifest (serde deny_unknown_fields).
MANIFEST_FIELDS = {"$schema", "type", "condition", "deprecationMessage", "kind", "version",
                   "description", "tags", "get", "set", "whatIf", "test", "delete", "export",
                   "resolve", "validate", "adapter", "exitCodes", "schema", "metadata"}
# The object forms of an argument: its key, and the keys it may hold beside.
ARG_FORMS = {"jsonInputArg": {"mandatory"}, "whatIfArg": set(), "resourcePathArg": {"includeQuotes"},
             "resourceTypeArg": set(), "resourceVersionArg": set(), "adaptedContentArg": set()}
REDACTED = "<secureValue>"


class EngineError(Exception):
    """What the engine reports, ending the operation."""


class Broken(Exception):
    """The resource does what the engine takes but its promise does not allow."""


def load_manifest(path):
    with open(path, encoding="utf-8") as f:
        manifest = json.load(f)
    unknown = set(manifest) - MANIFEST_FIELDS
    if unknown:
        raise EngineError(f"Manifest: unknown field {sorted(unknown)}")
    for name in ("get", "set", "whatIf", "test"):
        for arg in manifest.get(name, {}).get("args", []):
            keys = set(arg) if isinstance(arg, dict) else set()
            if not isinstance(arg, str) and not any(
                    k in keys and keys <= {k} | extra for k, extra in ARG_FORMS.items()):
                raise EngineError(f"Manifest: {name}.args holds {arg!r}")
    return manifest


def refs(schema):
    if isinstance(schema, dict):
        for key, value in schema.items():
            if key == "$ref":
                yield value
            yield from refs(value)
    elif isinstance(schema, list):
        for value in schema:
            yield from refs(value)


class Offline(jsonschema.RefResolver):
    """References resolved from the schema itself (and the drafts' own
    metaschemas, which the engine's validator holds too), never fetched."""

    def resolve_remote(self, uri):
        raise jsonschema.RefResolutionError(f"not in the schema: {uri}")


def compile_schema(manifest):
    schema = manifest["schema"]["embedded"]
    cls = jsonschema.validators.validator_for(schema, default=jsonschema.Draft202012Validator)
    cls.check_schema(schema)
    resolver = Offline.from_schema(schema, id_of=cls.ID_OF)
    for ref in refs(schema):  # all resolved when compiled, as the engine's validator does
        try:
            resolver.resolve(ref)
        except jsonschema.RefResolutionError as e:
            raise EngineError(f"Schema: cannot resolve {e}") from None
    return cls(schema, resolver=resolver)


def verify(validator, text):
    value = json.loads(text)
    for error in validator.iter_errors(value):
        raise EngineError(f"Schema: {error.message}")
    return value


def lines(data):
    """Lines as the engine reads them: UTF-8, until the first invalid one."""
    read = []
    for raw in data.split(b"\n"):
        try:
            read.append(raw.decode("utf-8").removesuffix("\r"))
        except UnicodeDecodeError:
            break
    return read[:-1] if read and read[-1] == "" else read


def run(manifest, method, command, desired, what_if=False):
    args = []
    for arg in method.get("args", []):
        if isinstance(arg, str):
            args.append(arg)
        elif "whatIfArg" in arg and what_if:
            args.append(arg["whatIfArg"])
        elif "jsonInputArg" in arg and (desired or arg.get("mandatory")):
            args += [arg["jsonInputArg"], desired]
    given = {"input": desired.encode("utf-8")} if desired and method.get("input") == "stdin" \
        else {"stdin": subprocess.DEVNULL}
    p = subprocess.run(command + args, capture_output=True, check=False, **given)
    if not (p.stdout + p.stderr).isascii():
        raise Broken("the resource wrote other than ASCII")
    for line in lines(p.stderr):
        message = json.loads(line) if line.startswith("{") else None
        level = next((k for k in ("error", "warn", "info", "debug", "trace")
                      if isinstance(message, dict) and k in message), None)
        if level is None:
            raise Broken(f"a line on standard error the engine only traces: {line!r}")
        LOG.append([level, message[level]])
    if p.returncode != 0:
        description = manifest.get("exitCodes", {}).get(str(p.returncode))
        detail = f"manifest description: {description}" if description else "\n".join(lines(p.stderr))
        raise EngineError(f"Command: Resource '{method['executable']}' "
                          f"[exit code {p.returncode}] {detail}")
    return lines(p.stdout)


def state_and_diff(validator, output):
    if len(output) != 2:
        raise Broken(f"stateAndDiff wants two lines, the resource wrote {len(output)}")
    state = verify(validator, output[0])
    diff = json.loads(output[1])
    if not isinstance(diff, list) or not all(isinstance(d, str) for d in diff):
        raise EngineError("the second line is not a list of property names")
    return state, diff


def redact(value):
    if isinstance(value, dict):
        if set(value) in ({"secureString"}, {"secureObject"}):
            return REDACTED
        return {k: redact(v) for k, v in value.items()}
    return [redact(v) for v in value] if isinstance(value, list) else value


def operate(manifest, operation, command, desired):
    validator = compile_schema(manifest)
    if operation == "get":
        if desired:
            verify(validator, desired)
        return {"actualState": verify(validator, "\n".join(run(manifest, manifest["get"], command, desired)))}
    if desired:
        verify(validator, desired)
    method = manifest["test" if operation == "test" else "set"]
    if method.get("return") != "stateAndDiff":
        raise Broken(f"{operation} does not return stateAndDiff")
    if operation == "test":
        state, diff = state_and_diff(validator, run(manifest, method, command, desired))
        in_desired = state.get("_inDesiredState", not diff)
        if not isinstance(in_desired, bool):
            raise EngineError("_inDesiredState is not a boolean")
        return {"desiredState": redact(json.loads(desired)), "actualState": state,
                "inDesiredState": in_desired, "differingProperties": diff}
    what_if = operation == "what-if"
    native = any(isinstance(a, dict) and "whatIfArg" in a for a in method.get("args", []))
    if what_if and not native:
        if "whatIf" not in manifest:
            raise EngineError("cannot process what-if execution type, as resource implements "
                              "pre-test and does not support what-if")
        method = manifest["whatIf"]
    if not method.get("implementsPretest"):
        raise Broken("set does not implement its pretest")
    before = verify(validator, "\n".join(run(manifest, manifest["get"], command, desired)))
    after, diff = state_and_diff(validator, run(manifest, method, command, desired, what_if))
    return {"beforeState": before, "afterState": after, "changedProperties": diff}


LOG = []
if __name__ == "__main__":
    manifest_path, operation, *program = sys.argv[1:]
    try:
        result, code = operate(load_manifest(manifest_path), operation, program, sys.stdin.read()), 0
    except (EngineError, ValueError) as e:  # ValueError: JSON the engine cannot parse
        result, code = {"error": str(e)}, 2
    except Broken as e:
        sys.exit(f"the resource breaks its contract: {e}")
    print(json.dumps({**result, "log": LOG}, ensure_ascii=False))
    sys.exit(code)
