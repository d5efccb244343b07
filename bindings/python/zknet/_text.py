"""_text.py -- UTF-16 texts to and from the library: zk_wchar_t is 2 bytes on every system, so the
W forms get little-endian UTF-16 units in c_uint16 arrays (ctypes.c_wchar is 4 bytes on Linux)."""
import ctypes

from . import _native

# A bound on texts read at a bare address, so that a missing terminator cannot walk memory forever.
_MAX_UNITS = 1 << 24


def wtext(text):
    """A zero-terminated UTF-16 array for a W parameter; None stays None (NULL)."""
    if text is None:
        return None
    data = str(text).encode("utf-16-le", "surrogatepass")
    units = len(data) // 2 + 1
    buf = (_native.zk_wchar_t * units)()
    ctypes.memmove(buf, data, len(data))
    return buf


def wbuffer(units):
    """An empty output buffer of `units` UTF-16 units."""
    return (_native.zk_wchar_t * units)()


def _decode(units):
    return bytes(units).decode("utf-16-le", "surrogatepass")


def from_units(array, length=None):
    """The text in a zk_wchar_t array (an output buffer or a record's field), up to its first zero
    unit or `length` units."""
    n = len(array) if length is None else min(length, len(array))
    values = array[:n]
    if 0 in values:
        values = values[:values.index(0)]
    return _decode((_native.zk_wchar_t * len(values))(*values))


def from_address(address):
    """The zero-terminated UTF-16 text at an address the library gave (a W list item); "" for 0."""
    if not address:
        return ""
    p = ctypes.cast(address, ctypes.POINTER(_native.zk_wchar_t))
    n = 0
    while p[n] and n < _MAX_UNITS:
        n += 1
    return _decode((_native.zk_wchar_t * n).from_address(address))
