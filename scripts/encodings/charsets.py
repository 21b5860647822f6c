"""The system's converter (glibc iconv) read byte by byte."""
import subprocess


def charset(name):
    """byte -> Unicode code point, for every byte the converter accepts."""
    out = {}
    for b in range(256):
        r = subprocess.run(["iconv", "-f", name, "-t", "UTF-32BE"], input=bytes([b]),
                           capture_output=True)
        if r.returncode == 0 and len(r.stdout) == 4:
            out[b] = int.from_bytes(r.stdout, "big")
    return out
