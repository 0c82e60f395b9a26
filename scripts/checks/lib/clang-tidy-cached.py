#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tempolario developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs clang-tidy over the given sources of a build folder, remembering each file that
passed, so that a second run over an unchanged tree checks nothing again.

A file's pass is remembered under a hash of what decides clang-tidy's findings for it: the
file as the compiler sees it after preprocessing (so a change in any header it includes,
or in a generated .moc file, counts), its compile command, the .clang-tidy rules (the root's
and those of folders below it), the
header filter and clang-tidy's own version. Only passes are remembered: a file with
findings is checked again on every run, and its findings are printed every time.

usage: clang-tidy-cached.py BUILD_DIR CACHE_DIR HEADER_FILTER CONFIG_FILE JOBS FILE...
An empty CACHE_DIR checks every file and remembers nothing. Exit status 1 on any finding.
"""

import concurrent.futures
import hashlib
import json
import os
import re
import shlex
import subprocess
import sys

FINDING = re.compile(r"(warning|error): ")
# clang-tidy's own chatter, which is not a finding.
NOISE = re.compile(r"^([0-9]+ warnings? (and [0-9]+ errors? )?generated\.?|Suppressed [0-9]+ warnings"
                   r".*|Use -header-filter.*|$)")


def preprocess_command(entry):
    """The entry's compile command, turned into one that prints the preprocessed source."""
    args = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
    out = []
    skip = False
    for arg in args:
        if skip:
            skip = False
            continue
        if arg == "-o":
            skip = True
            continue
        if arg == "-c" or arg.startswith("-o"):
            continue
        out.append(arg)
    # -C keeps the comments: a NOLINT added or removed changes what clang-tidy reports.
    return out + ["-E", "-C", "-o", "-"]


def key_for(entry, common):
    digest = hashlib.sha256(common)
    args = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
    digest.update("\0".join(args).encode())
    digest.update(b"\0source\0")
    done = subprocess.run(preprocess_command(entry), cwd=entry["directory"],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=False)
    if done.returncode != 0:
        return None  # nothing to key on: check it
    digest.update(done.stdout)
    return digest.hexdigest()


def check(entry, build_dir, cache_dir, header_filter, common):
    path = entry["file"]
    key = key_for(entry, common) if cache_dir else None
    if key and os.path.exists(os.path.join(cache_dir, key)):
        return path, True, "", True
    done = subprocess.run(["clang-tidy", "-quiet", "-p", build_dir,
                           "-header-filter=" + header_filter, path],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, check=False)
    findings = "\n".join(line for line in done.stdout.splitlines() if not NOISE.match(line))
    passed = done.returncode == 0 and not FINDING.search(done.stdout)
    if passed and key:
        marker = os.path.join(cache_dir, key)
        with open(marker + ".part", "w", encoding="utf-8") as out:
            out.write(path + "\n")
        os.replace(marker + ".part", marker)
    return path, passed, findings, False


def main():
    build_dir, cache_dir, header_filter, config, jobs, *files = sys.argv[1:]
    with open(os.path.join(build_dir, "compile_commands.json"), encoding="utf-8") as db:
        entries = {}
        for entry in json.load(db):
            entries.setdefault(entry["file"], entry)
    version = subprocess.run(["clang-tidy", "--version"], stdout=subprocess.PIPE,
                             check=True).stdout
    # The rules of the tree's root and those of the folders checked (src/ adds its own).
    root = os.path.dirname(os.path.abspath(config))
    rules = [config] + sorted(
        os.path.join(folder, ".clang-tidy")
        for top in ("src", "tools", "tests", "bench")
        for folder, _, names in os.walk(os.path.join(root, top))
        if ".clang-tidy" in names)
    texts = []
    for path in rules:
        with open(path, "rb") as text:
            texts.append(path.encode() + b"\0" + text.read())
    common = b"\0".join([version, *texts, header_filter.encode()])
    if cache_dir:
        os.makedirs(cache_dir, exist_ok=True)

    failed = 0
    reused = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=int(jobs)) as pool:
        runs = [pool.submit(check, entries[f], build_dir, cache_dir, header_filter, common)
                for f in files]
        for run in runs:
            path, passed, findings, cached = run.result()
            reused += cached
            if not passed:
                failed += 1
                print(f"clang-tidy: findings in {path}:\n{findings}", flush=True)
    print(f"clang-tidy: {len(files)} files, {reused} unchanged since they last passed, "
          f"{failed} with findings")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
