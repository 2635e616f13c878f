"""Reads what the release tests look for in a Windows exe, straight from the PE
file: its kind, its sections, its resources, the version resource's fields
and the embedded manifest."""
import struct

RT_VERSION = 16
RT_MANIFEST = 24


class PeError(Exception):
    pass


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        self.machine, nsections = struct.unpack_from("<HH", data, pe + 4)
        symtab, nsyms = struct.unpack_from("<II", data, pe + 12)
        strtab = symtab + 18 * nsyms
        opt_size = struct.unpack_from("<H", data, pe + 20)[0]
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        if self.magic == 0x10B:
            dirs = opt + 96
        elif self.magic == 0x20B:
            dirs = opt + 112
        else:
            raise PeError("unknown optional header magic %#x" % self.magic)
        self.resource_rva, self.resource_size = struct.unpack_from("<II", data, dirs + 2 * 8)
        self.sections = []
        for i in range(nsections):
            off = opt + opt_size + 40 * i
            name = data[off:off + 8].rstrip(b"\0").decode("latin-1")
            if name.startswith("/") and symtab:
                # A long name: "/N" is its offset in the COFF string table.
                start = strtab + int(name[1:])
                name = data[start:data.index(b"\0", start)].decode("latin-1")
            vsize, va, raw_size, raw_ptr = struct.unpack_from("<IIII", data, off + 8)
            self.sections.append((name, va, vsize, raw_ptr, raw_size))

    @property
    def is_64bit(self):
        return self.magic == 0x20B

    def section_names(self):
        return [s[0] for s in self.sections]

    def section_bytes(self, name):
        for n, _va, vsize, raw_ptr, raw_size in self.sections:
            if n == name:
                return self.data[raw_ptr:raw_ptr + min(vsize, raw_size)]
        raise PeError("no section " + name)

    def _offset(self, rva):
        for _n, va, vsize, raw_ptr, raw_size in self.sections:
            if va <= rva < va + max(vsize, raw_size):
                return raw_ptr + rva - va
        raise PeError("RVA %#x is in no section" % rva)

    def resources(self, rtype):
        """[(name or id, language, bytes)] of one resource type."""
        if not self.resource_rva:
            return []
        base = self._offset(self.resource_rva)

        def entries(dir_off):
            named, ids = struct.unpack_from("<HH", self.data, base + dir_off + 12)
            for i in range(named + ids):
                ident, target = struct.unpack_from("<II", self.data, base + dir_off + 16 + 8 * i)
                if ident & 0x80000000:
                    soff = base + (ident & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.data, soff)[0]
                    ident = self.data[soff + 2:soff + 2 + 2 * length].decode("utf-16-le")
                yield ident, target

        out = []
        for ident, target in entries(0):
            if ident != rtype or not target & 0x80000000:
                continue
            for name, t2 in entries(target & 0x7FFFFFFF):
                if not t2 & 0x80000000:
                    continue
                for lang, leaf in entries(t2 & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    off = self._offset(rva)
                    out.append((name, lang, self.data[off:off + size]))
        return out


def _align4(n):
    return (n + 3) & ~3


def _version_node(data, off):
    """One node of a VS_VERSIONINFO tree: (key, value bytes, children, end)."""
    length, value_length, vtype = struct.unpack_from("<HHH", data, off)
    end = off + length
    pos = off + 6
    key_end = pos
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[pos:key_end].decode("utf-16-le")
    pos = _align4(key_end + 2)
    value_bytes = value_length * 2 if vtype == 1 else value_length
    value = data[pos:pos + value_bytes]
    pos = _align4(pos + value_bytes)
    children = []
    while pos < end:
        child = _version_node(data, pos)
        children.append(child)
        if child[3] <= pos:
            raise PeError("version node of length 0")
        pos = _align4(child[3])
    return key, value, children, end


def version_info(data):
    """The version resource as {"file_version": (a, b, c, d),
    "product_version": (a, b, c, d), "strings": {key: text}}."""
    key, value, children, _end = _version_node(data, 0)
    if key != "VS_VERSION_INFO":
        raise PeError("version resource key is %r" % key)
    sig, _struc, fms, fls, pms, pls = struct.unpack_from("<IIIIII", value, 0)
    if sig != 0xFEEF04BD:
        raise PeError("no VS_FIXEDFILEINFO signature")
    strings = {}
    for ckey, _cv, tables, _e in children:
        if ckey != "StringFileInfo":
            continue
        for _tkey, _tv, entries, _te in tables:
            for skey, svalue, _s, _se in entries:
                strings[skey] = svalue.decode("utf-16-le").rstrip("\0")
    split = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    return {"file_version": split(fms, fls), "product_version": split(pms, pls), "strings": strings}
