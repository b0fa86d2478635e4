#!/usr/bin/env python3
"""The release is reproducible: two builds of the same tree, into fresh build
directories at different paths, give the same zips and SHA256SUMS byte for
byte; the exes carry no time stamp and a true checksum (two builds within one
second would hide a time stamp from the byte comparison alone); the zips hold
their files in a fixed order with the commit's date."""

import hashlib
import io
import os
import re
import shutil
import struct
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dist  # noqa: E402


def first_difference(a, b):
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i
    return min(len(a), len(b))


def describe_difference(name, a, b):
    """Where two versions of a file part: for a zip, the member and, for an
    exe, its section."""
    if name.endswith(".zip"):
        with zipfile.ZipFile(io.BytesIO(a)) as za, zipfile.ZipFile(io.BytesIO(b)) as zb:
            if za.namelist() != zb.namelist():
                return "%s: members %s and %s" % (name, za.namelist(), zb.namelist())
            for info_a, info_b in zip(za.infolist(), zb.infolist()):
                if info_a.date_time != info_b.date_time:
                    return "%s: %s dated %s and %s" % (name, info_a.filename, info_a.date_time,
                                                       info_b.date_time)
                ma, mb = za.read(info_a), zb.read(info_b)
                if ma != mb:
                    at = first_difference(ma, mb)
                    where = dist.PE(ma).section_of(at) if info_a.filename.endswith(".exe") else ""
                    return "%s: %s differs from byte %d on %s" % (name, info_a.filename, at, where)
    return "%s differs from byte %d on" % (name, first_difference(a, b))


BUILDS = []  # two releases, each {file name: bytes}


def setUpModule():
    # One date for both builds, even if a commit lands in between.
    os.environ["SOURCE_DATE_EPOCH"] = str(dist.source_date_epoch())
    tmp = tempfile.mkdtemp(prefix="vantrel-dist-")
    unittest.addModuleCleanup(shutil.rmtree, tmp, ignore_errors=True)
    # Build roots at paths of different lengths: a path that leaks into an exe shows.
    for root in (os.path.join(tmp, "one"), os.path.join(tmp, "second-build-at-a-longer-path", "two")):
        written = dist.make_dist(os.path.join(root, "build"), os.path.join(root, "dist"))
        files = {}
        for path in written:
            with open(path, "rb") as f:
                files[os.path.basename(path)] = f.read()
        BUILDS.append(files)


class Release(unittest.TestCase):

    def setUp(self):
        self.builds = BUILDS
        self.release = BUILDS[0]
        self.zips = sorted(name for name in self.release if name.endswith(".zip"))

    def test_two_builds_give_identical_bytes(self):
        first, second = self.builds
        self.assertEqual(sorted(first), sorted(second))
        for name in first:
            with self.subTest(file=name):
                if first[name] != second[name]:
                    self.fail(describe_difference(name, first[name], second[name]))

    def test_each_zip_holds_the_exe_and_the_readme_dated_by_the_commit(self):
        self.assertEqual(len(self.zips), 2)
        date = dist.zip_date(dist.source_date_epoch())
        for name in self.zips:
            with self.subTest(zip=name):
                match = re.fullmatch(r"(vantrel-\d+\.\d+\.\d+-(win32|win64))\.zip", name)
                self.assertTrue(match, name)
                stem, preset = match.groups()
                with zipfile.ZipFile(io.BytesIO(self.release[name])) as z:
                    self.assertEqual(z.testzip(), None)
                    self.assertEqual(z.namelist(), [stem + "/vantrel.exe", stem + "/README.txt"])
                    self.assertEqual({i.date_time for i in z.infolist()}, {date})
                    exe = z.read(stem + "/vantrel.exe")
                    readme = z.read(stem + "/README.txt")
                pe = dist.PE(exe)
                self.assertEqual(pe.machine, 0x14C if preset == "win32" else 0x8664)
                self.assertIn(b"\r\n", readme)
                self.assertNotIn(b"\n", readme.replace(b"\r\n", b""), "CR LF line ends throughout")

    def test_the_exes_carry_no_time_stamp_and_a_true_checksum(self):
        for name in self.zips:
            with self.subTest(zip=name), zipfile.ZipFile(io.BytesIO(self.release[name])) as z:
                exe = z.read([n for n in z.namelist() if n.endswith(".exe")][0])
                pe = dist.PE(exe)
                places = [where for where, _ in pe.timestamps()]
                self.assertIn("resource directory at 0x0", places, "the resources were looked at")
                self.assertEqual(dist.check_pe(exe), [])

    def test_sha256sums_names_both_zips(self):
        lines = self.release["SHA256SUMS"].decode("ascii").splitlines()
        self.assertEqual(lines, ["%s  %s" % (hashlib.sha256(self.release[n]).hexdigest(), n)
                                 for n in self.zips])


class PeCheck(unittest.TestCase):
    """The PE check itself finds what a non-reproducible build would leave."""

    def setUp(self):
        name = [n for n in BUILDS[0] if n.endswith("-win64.zip")][0]
        with zipfile.ZipFile(io.BytesIO(BUILDS[0][name])) as z:
            self.exe = z.read([n for n in z.namelist() if n.endswith(".exe")][0])

    def stamped(self, offset):
        data = bytearray(self.exe)
        struct.pack_into("<I", data, offset, 0x5F5E1000)
        return bytes(data)

    def test_each_kind_of_time_stamp_and_a_wrong_checksum_is_found(self):
        pe = dist.PE(self.exe)
        resources = pe.offset(pe.directory(2)[0])
        cases = [
            ("file header", self.stamped(pe.pe + 8), "file header carries"),
            ("resource directory", self.stamped(resources + 4), "resource directory at 0x0 carries"),
            ("checksum", self.exe[:-1] + bytes([self.exe[-1] ^ 1]), "checksum"),
        ]
        for name, data, expected in cases:
            with self.subTest(name):
                problems = dist.check_pe(data)
                self.assertTrue(any(expected in p for p in problems), problems)


if __name__ == "__main__":
    unittest.main(verbosity=2)
