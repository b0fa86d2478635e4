"""What a Windows exe imports, read from its PE headers: the DLLs and the
functions taken from each. Written from the published PE/COFF layout; handles
32-bit (PE32) and 64-bit (PE32+) images."""

import struct

IMPORT_DIRECTORY = 1


def _sections(data, pe):
    count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional_size
    sections = []
    for i in range(count):
        base = table + 40 * i
        virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from(
            "<IIII", data, base + 8)
        sections.append((virtual_address, max(virtual_size, raw_size), raw_pointer))
    return sections


def _offset(sections, rva):
    for address, size, raw in sections:
        if address <= rva < address + size:
            return raw + rva - address
    raise ValueError("RVA 0x%x is in no section" % rva)


def _string(data, offset):
    return data[offset:data.index(b"\0", offset)].decode("latin-1")


def imports(path):
    """{dll name (lower case): [function name or "#ordinal", ...]} of an exe."""
    with open(path, "rb") as f:
        data = f.read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("%s is not a PE image" % path)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    wide = magic == 0x20B  # PE32+: 8-byte thunks, data directories 16 bytes later
    directories = optional + (112 if wide else 96)
    rva, size = struct.unpack_from("<II", data, directories + 8 * IMPORT_DIRECTORY)
    if not rva or not size:
        return {}
    sections = _sections(data, pe)
    thunk_format, ordinal_flag = ("<Q", 1 << 63) if wide else ("<I", 1 << 31)
    thunk_size = struct.calcsize(thunk_format)
    result = {}
    descriptor = _offset(sections, rva)
    while True:
        lookup, _, _, name, first = struct.unpack_from("<IIIII", data, descriptor)
        if not (lookup or name or first):
            break
        functions = []
        thunk = _offset(sections, lookup or first)
        while True:
            value = struct.unpack_from(thunk_format, data, thunk)[0]
            if not value:
                break
            if value & ordinal_flag:
                functions.append("#%d" % (value & 0xFFFF))
            else:
                functions.append(_string(data, _offset(sections, value & 0x7FFFFFFF) + 2))
            thunk += thunk_size
        result[_string(data, _offset(sections, name)).lower()] = functions
        descriptor += 20
    return result
