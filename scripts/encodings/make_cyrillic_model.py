#!/usr/bin/env python3
"""Writes core/encodings/cyrillic_model.cpp: the letter statistics that tell
which single-byte Cyrillic encoding a text is in.

Characters fall into classes (whitespace, digits, Latin letters, ASCII signs,
each Russian and Ukrainian letter with its case set aside, the other letters
of Windows-1251, each sign of Windows-1251 above ASCII, everything else). From a corpus of Russian and Ukrainian
running text, taken once as it is and once typeset, it counts how often each class follows each other class, and
how often a Cyrillic letter is a capital after the end of a sentence, after
another non-letter, after a small letter and after a capital. Each language's statistics weigh half. Costs are -log2 of the
probability in eighths of a bit, at most 255.

It also writes, for each candidate encoding, the class of every byte as the
system's converter (glibc iconv) reads it, the capital mark in the top bit.

Usage: scripts/encodings/make_cyrillic_model.py CORPUS > core/encodings/cyrillic_model.cpp
where CORPUS/ru and CORPUS/uk hold UTF-8 text files (gather_corpus.sh).
"""
import math
import os
import sys

from charsets import charset

# The candidates in the order the detector keeps them: (identifier, iconv name).
CANDIDATES = [
    ("windows-1251", "CP1251"),
    ("cp866", "CP866"),
    ("koi8-r", "KOI8-R"),
    ("koi8-u", "KOI8-U"),
    ("iso-8859-5", "ISO-8859-5"),
    ("mac-cyrillic", "MAC-CYRILLIC"),
]

SPACE, DIGIT, LATIN, ASCII_SIGN, SENTENCE_END = 0, 1, 2, 3, 4
LETTERS = "абвгдежзийклмнопрстуфхцчшщъыьэюяёіїєґў"
FIRST_LETTER = 5
RARE_LETTER = FIRST_LETTER + len(LETTERS)  # other letters Windows-1251 has
RARE_LETTERS = "ђѓљњќћџјѕ"
# Every sign of Windows-1251 above ASCII is a class of its own: misreading
# one encoding as another turns letters into such signs.
SIGNS = [ch for ch in bytes(range(0x80, 0xC0)).decode("cp1251", errors="ignore")
         if not ch.isalpha()]
FIRST_SIGN = RARE_LETTER + 1
OTHER = FIRST_SIGN + len(SIGNS)
CLASSES = OTHER + 1
UPPER = 0x80
SCALE = 8  # eighths of a bit
ALPHA = 0.5  # added to every count


def char_class(ch):
    """(class, capital) of a character."""
    o = ord(ch)
    if o < 128:
        if ch.isspace() or o < 32 or o == 127:
            return SPACE, False
        if ch.isdigit():
            return DIGIT, False
        if ch.isalpha():
            return LATIN, False
        return (SENTENCE_END if ch in ".!?" else ASCII_SIGN), False
    low = ch.lower()
    if low in LETTERS:
        return FIRST_LETTER + LETTERS.index(low), ch != low
    if low in RARE_LETTERS:
        return RARE_LETTER, ch != low
    for i, group in enumerate(SIGNS):
        if ch in group:
            return FIRST_SIGN + i, False
    if ch.isspace():
        return SPACE, False
    return OTHER, False


def is_letter(c):
    return FIRST_LETTER <= c <= RARE_LETTER


ELLIPSIS = FIRST_SIGN + SIGNS.index("…")


def ends_sentence(c):
    return c in (SENTENCE_END, ELLIPSIS)


# Contexts of a Cyrillic letter's case: after a sentence's end (or at the
# start), after another non-letter, after a small letter, after a capital.
AFTER_END, AFTER_OTHER, AFTER_SMALL, AFTER_CAPITAL = 0, 1, 2, 3


def typeset(text):
    """The text as a word processor writes it: dashes, guillemets, ellipses.
    Plain text files come both ways, and the corpus mostly the plain way."""
    text = text.replace(" - ", " — ").replace("...", "…")
    parts = text.split('"')
    return "".join(p + ("«" if i % 2 == 0 else "»") for i, p in enumerate(parts[:-1])) + \
        parts[-1]


def count(folder):
    pairs = [[0] * CLASSES for _ in range(CLASSES)]
    case = [[0, 0] for _ in range(4)]
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
            plain = " ".join(f.read().split())  # runs of whitespace count once
        prev, prev_upper, after_end = SPACE, False, True
        for ch in plain + " " + typeset(plain):
            c, upper = char_class(ch)
            pairs[prev][c] += 1
            if is_letter(c):
                if is_letter(prev):
                    ctx = AFTER_CAPITAL if prev_upper else AFTER_SMALL
                else:
                    ctx = AFTER_END if after_end else AFTER_OTHER
                case[ctx][1 if upper else 0] += 1
            if c != SPACE:
                after_end = ends_sentence(c)
            prev, prev_upper = c, upper
    return pairs, case


def probabilities(rows):
    out = []
    for row in rows:
        total = sum(row) + ALPHA * len(row)
        out.append([(n + ALPHA) / total for n in row])
    return out


def cost(p):
    return min(255, round(-math.log2(p) * SCALE))


def main():
    corpus = sys.argv[1]
    models = [count(os.path.join(corpus, lang)) for lang in ("ru", "uk")]
    pair_p = [probabilities(m[0]) for m in models]
    case_p = [probabilities(m[1]) for m in models]
    pair = [[cost((pair_p[0][a][b] + pair_p[1][a][b]) / 2) for b in range(CLASSES)]
            for a in range(CLASSES)]
    case = [[cost((case_p[0][a][u] + case_p[1][a][u]) / 2) for u in range(2)] for a in range(4)]
    w = sys.stdout.write
    w("// Generated by scripts/encodings/make_cyrillic_model.py from Russian and\n")
    w("// Ukrainian text and glibc's iconv; edit the script, not this file.\n")
    w('#include "encodings/cyrillic_model.h"\n\nnamespace prambus::cyrillic_model {\n\n')
    w("static_assert(kClasses == %d && kFirstLetter == %d && kLastLetter == %d);\n"
      % (CLASSES, FIRST_LETTER, RARE_LETTER))
    w("static_assert(kSentenceEnd == %d && kEllipsis == %d);\n\n" % (SENTENCE_END, ELLIPSIS))
    w("// clang-format off\n")
    w("const std::array<std::string_view, kCandidates> kCandidateIds = {\n")
    w("".join(f'    "{cid}",\n' for cid, _ in CANDIDATES))
    w("};\n\nconst uint8_t kPairCost[kClasses][kClasses] = {\n")
    for row in pair:
        w("    {" + ", ".join(str(v) for v in row) + "},\n")
    w("};\n\nconst uint8_t kCaseCost[4][2] = {\n")
    for row in case:
        w("    {" + ", ".join(str(v) for v in row) + "},\n")
    w("};\n\nconst uint8_t kByteClass[kCandidates][256] = {\n")
    for cid, name in CANDIDATES:
        chars = charset(name)
        row = []
        for b in range(256):
            c, upper = char_class(chr(chars[b])) if b in chars else (OTHER, False)
            row.append(c | (UPPER if upper else 0))
        w(f"    // {cid}\n    {{")
        for i in range(0, 256, 16):
            w(("" if i == 0 else "     ") + ", ".join(str(v) for v in row[i:i + 16]) +
              (",\n" if i < 240 else "},\n"))
    w("};\n// clang-format on\n\n}  // namespace prambus::cyrillic_model\n")


if __name__ == "__main__":
    main()
