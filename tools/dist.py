#!/usr/bin/env python3
"""Builds the release: dist/vantrel-VERSION-win32.zip and
dist/vantrel-VERSION-win64.zip (each the exe and a short README) and
dist/SHA256SUMS. The same commit gives the same bytes on every build:

- SOURCE_DATE_EPOCH is the commit's time (unless already set), for the
  compilers and for the dates in the zips;
- the exe carries no time stamp (-Wl,--no-insert-timestamp in
  cmake/windows.cmake) and no build path (stripped, no debug information);
- the zips list their files in a fixed order with fixed dates, attributes
  and compression.

    python3 tools/dist.py [--build-root DIR] [--out DIR]

The version is the one CMake's project() gives (read from the version.h the
configure step writes). The PE checks used here are also those of the
reproducibility test (tools/test_dist.py).
"""

import argparse
import hashlib
import os
import re
import struct
import subprocess
import sys
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
README_TEMPLATE = os.path.join(ROOT, "tools", "dist_readme.txt")

# (preset, what the README calls the build)
ARCHES = [("win32", "32-bit"), ("win64", "64-bit")]

ZIP_EPOCH_MIN = 315532800  # 1980-01-01, the earliest date a zip can hold


class DistError(Exception):
    pass


def source_date_epoch():
    """SOURCE_DATE_EPOCH if set, else the time of the checked-out commit."""
    value = os.environ.get("SOURCE_DATE_EPOCH")
    if value:
        return int(value)
    try:
        out = subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%ct"], capture_output=True,
                             check=True, text=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError) as e:
        raise DistError("no SOURCE_DATE_EPOCH and no git commit to take it from: %s" % e) from None
    return int(out)


def build_env(epoch):
    env = dict(os.environ)
    env.update(SOURCE_DATE_EPOCH=str(epoch), LC_ALL="C", TZ="UTC")
    return env


def build(preset, build_dir, env, jobs):
    """Configures and builds vantrel.exe with the preset's settings in build_dir."""
    for argv in (["cmake", "--preset", preset, "-B", build_dir],
                 ["cmake", "--build", build_dir, "--target", "vantrel", "-j", str(jobs)]):
        result = subprocess.run(argv, cwd=ROOT, env=env, stdin=subprocess.DEVNULL,
                                capture_output=True, text=True)
        if result.returncode != 0:
            raise DistError("%s failed:\n%s%s" % (" ".join(argv), result.stdout, result.stderr))
    return os.path.join(build_dir, "vantrel.exe")


def project_version(build_dir):
    with open(os.path.join(build_dir, "version.h")) as f:
        match = re.search(r'#define VANTREL_VERSION_STRING "([^"]+)"', f.read())
    if not match:
        raise DistError("no VANTREL_VERSION_STRING in %s/version.h" % build_dir)
    return match.group(1)


# ---- PE files ---------------------------------------------------------------

class PE:
    """The few parts of a PE image that can carry a time stamp or a checksum."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise DistError("not an MZ executable")
        self.pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[self.pe:self.pe + 4] != b"PE\0\0":
            raise DistError("no PE signature")
        coff = self.pe + 4
        (self.machine, sections, self.timestamp, _, _, optional_size,
         _) = struct.unpack_from("<HHIIIHH", data, coff)
        self.optional = coff + 20
        magic = struct.unpack_from("<H", data, self.optional)[0]
        if magic not in (0x10B, 0x20B):
            raise DistError("unknown optional header magic %#x" % magic)
        self.checksum_offset = self.optional + 64  # the same in PE32 and PE32+
        self.checksum = struct.unpack_from("<I", data, self.checksum_offset)[0]
        directories = self.optional + (96 if magic == 0x10B else 112)
        count = struct.unpack_from("<I", data, directories - 4)[0]
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i)
                            for i in range(count)]
        self.sections = []
        table = self.optional + optional_size
        for i in range(sections):
            name, vsize, va, raw_size, raw_ptr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("latin-1"), va, max(vsize, raw_size),
                                  raw_ptr))

    def offset(self, rva):
        for _, va, size, raw in self.sections:
            if va <= rva < va + size:
                return raw + rva - va
        raise DistError("RVA %#x is in no section" % rva)

    def section_of(self, offset):
        for name, va, size, raw in self.sections:
            if raw <= offset < raw + size:
                return name
        return "headers"

    def directory(self, index):
        if index >= len(self.directories) or self.directories[index][0] == 0:
            return None
        return self.directories[index]

    def computed_checksum(self):
        """The image checksum: the 16-bit one's-complement-style sum of the file
        with the checksum field taken as 0, plus the file's length."""
        data = bytearray(self.data)
        data[self.checksum_offset:self.checksum_offset + 4] = b"\0\0\0\0"
        if len(data) % 2:
            data.append(0)
        total = 0
        for (word,) in struct.iter_unpack("<H", bytes(data)):
            total += word
            total = (total & 0xFFFF) + (total >> 16)
        total = (total & 0xFFFF) + (total >> 16)
        return (total + len(self.data)) & 0xFFFFFFFF

    def timestamps(self):
        """Every time stamp field the image has, as (where, value)."""
        found = [("file header", self.timestamp)]
        export = self.directory(0)
        if export:
            found.append(("export directory", struct.unpack_from("<I", self.data,
                                                                 self.offset(export[0]) + 4)[0]))
        resources = self.directory(2)
        if resources:
            base = self.offset(resources[0])
            pending, seen = [0], set()
            while pending:
                at = pending.pop()
                if at in seen:
                    continue
                seen.add(at)
                stamp, _, _, named, ids = struct.unpack_from("<IHHHH", self.data, base + at + 4)
                found.append(("resource directory at %#x" % at, stamp))
                for i in range(named + ids):
                    _, target = struct.unpack_from("<II", self.data, base + at + 16 + 8 * i)
                    if target & 0x80000000:
                        pending.append(target & 0x7FFFFFFF)
        debug = self.directory(6)
        if debug:
            at = self.offset(debug[0])
            for i in range(debug[1] // 28):
                found.append(("debug entry %d" % i,
                              struct.unpack_from("<I", self.data, at + 28 * i + 4)[0]))
        return found


def check_pe(data):
    """Problems that would make the exe differ between two builds of one commit."""
    pe = PE(data)
    problems = ["%s carries the time stamp %#x" % (where, value)
                for where, value in pe.timestamps() if value != 0]
    if pe.checksum not in (0, pe.computed_checksum()):
        problems.append("checksum %#x, the image sums to %#x" % (pe.checksum, pe.computed_checksum()))
    return problems


# ---- the zips ------------------------------------------------------------------

def zip_date(epoch):
    """The date a zip stores for the time: UTC, in its 2-second steps."""
    t = time.gmtime(max(epoch, ZIP_EPOCH_MIN))
    return t[:5] + (t[5] - t[5] % 2,)


def write_zip(path, entries, epoch):
    """entries: (name, bytes, executable) in the order they go in."""
    with zipfile.ZipFile(path, "w") as z:
        for name, data, executable in entries:
            info = zipfile.ZipInfo(name, date_time=zip_date(epoch))
            info.create_system = 3  # Unix, so that the attributes below mean the same everywhere
            info.external_attr = (0o100755 if executable else 0o100644) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data, compresslevel=9)


def readme(version, arch_words):
    with open(README_TEMPLATE, "rb") as f:
        text = f.read().decode("utf-8")
    text = text.replace("@VERSION@", version).replace("@ARCH@", arch_words)
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def make_dist(build_root, out_dir, jobs=None):
    """Builds both exes in build_root and writes the release to out_dir.
    Returns the paths written, the zips first."""
    epoch = source_date_epoch()
    env = build_env(epoch)
    jobs = jobs or os.cpu_count() or 2
    os.makedirs(out_dir, exist_ok=True)
    zips, version = [], None
    for preset, words in ARCHES:
        build_dir = os.path.join(build_root, preset)
        exe = build(preset, build_dir, env, jobs)
        v = project_version(build_dir)
        if version and v != version:
            raise DistError("the two builds disagree on the version: %s and %s" % (version, v))
        version = v
        with open(exe, "rb") as f:
            data = f.read()
        problems = check_pe(data)
        if problems:
            raise DistError("%s:\n  %s" % (exe, "\n  ".join(problems)))
        stem = "vantrel-%s-%s" % (version, preset)
        path = os.path.join(out_dir, stem + ".zip")
        write_zip(path, [(stem + "/vantrel.exe", data, True),
                         (stem + "/README.txt", readme(version, words), False)], epoch)
        zips.append(path)
    sums = os.path.join(out_dir, "SHA256SUMS")
    with open(sums, "w", newline="\n") as f:
        for path in sorted(zips):
            with open(path, "rb") as z:
                f.write("%s  %s\n" % (hashlib.sha256(z.read()).hexdigest(), os.path.basename(path)))
    return zips + [sums]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build-root", default=os.path.join(ROOT, "build", "dist"),
                        help="where the two builds go (default: build/dist)")
    parser.add_argument("--out", default=os.path.join(ROOT, "dist"),
                        help="where the release goes (default: dist)")
    parser.add_argument("-j", "--jobs", type=int, default=None)
    args = parser.parse_args()
    try:
        written = make_dist(os.path.abspath(args.build_root), os.path.abspath(args.out), args.jobs)
    except DistError as e:
        print("dist: %s" % e, file=sys.stderr)
        return 1
    for path in written:
        print(os.path.relpath(path, os.getcwd()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
