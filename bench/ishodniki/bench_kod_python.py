#!/usr/bin/env python3
"""Python's int divmod on the blocks of the encode benchmark: the file bench_poisk_kod.exe
leaves (64 MiB), cut into blocks of 65532 bytes read as little-endian integers, divided by the
key number of the same 4-, 16- and 256-byte keys, and rebuilt as quotient x key + remainder.
Only divmod and the rebuilding are timed (not the conversions from and to bytes); best of
three, in MB/s (10^6 bytes) of unencoded bytes."""
import sys
import time

BLOK = 65532


def kljuchevoe_chislo(x, dannye):
    """The key number of key text x for `dannye` bytes of data, as the library derives it."""
    L = len(x)
    if L >= dannye:
        L = max(dannye // 2, 1)
    L = min(L, BLOK)
    K = bytearray(L)
    for j in range(L):
        z = L - 1 - j
        K[j] = ~(x[j] * ((x[j] - j) & 0xFF) * ((x[z] - z) & 0xFF)) & 0xFF
    return int.from_bytes(bytes(K), "little")


def luchshee(f):
    best, res = None, None
    for _ in range(3):
        t = time.perf_counter()
        res = f()
        d = time.perf_counter() - t
        best = d if best is None or d < best else best
    return best, res


def main():
    dannye = open(sys.argv[1], "rb").read()
    bloki = [int.from_bytes(dannye[i:i + BLOK], "little") for i in range(0, len(dannye), BLOK)]
    dlinnyj = bytes(ord("A") + (i * 7) % 26 for i in range(256))
    print("Python %s int divmod, %d MiB in blocks of %d bytes, MB/s of unencoded bytes"
          % (sys.version.split()[0], len(dannye) >> 20, BLOK))
    print("%-10s %12s %14s %6s" % ("key", "divmod", "q * K + r", "same"))
    for x in (b"Kl4!", b"Kljuch 16 bajtov", dlinnyj):
        K = kljuchevoe_chislo(x, len(dannye))
        t1, qr = luchshee(lambda: [divmod(B, K) for B in bloki])
        t2, nazad = luchshee(lambda: [q * K + r for q, r in qr])
        mb = len(dannye) / 1e6
        print("%-10s %12.0f %14.0f %6s" % ("%d bytes" % len(x), mb / t1, mb / t2,
                                           "yes" if nazad == bloki else "NO"))


if __name__ == "__main__":
    main()
