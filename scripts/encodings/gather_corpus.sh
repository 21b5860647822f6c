#!/bin/sh
# Gathers Russian and Ukrainian running text from Debian packages into
# CORPUS/ru and CORPUS/uk as UTF-8 files, for make_cyrillic_model.py:
# the Russian fortunes, and the Russian and Ukrainian manual pages rendered
# to plain text. The texts stay outside the repository; only the statistics
# derived from them are kept.
#   scripts/encodings/gather_corpus.sh CORPUS
set -eu
corpus=${1:?usage: gather_corpus.sh CORPUS}
if [ "$(id -u)" = 0 ]; then sudo=; else sudo=sudo; fi
missing=
for p in fortunes-ru manpages-ru manpages-uk groff-base; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
[ -z "$missing" ] || $sudo apt-get install -y --no-install-recommends $missing
mkdir -p "$corpus/ru" "$corpus/uk"
for f in /usr/share/games/fortunes/ru/*.u8; do
  sed '/^%$/d; /^[[:space:]]*--/d' "$f" > "$corpus/ru/fortune-$(basename "$f" .u8).txt"
done
render() {  # language: every manual page of that language in one file per section
  for dir in /usr/share/man/"$1"/man*; do
    out="$corpus/$1/man-$(basename "$dir").txt"
    : > "$out"
    for page in "$dir"/*.gz; do
      # Pages that list the characters of code tables are no running text.
      case $(basename "$page") in
        ascii.* | armscii* | charsets.* | cp125* | iso_8859* | iso-8859* | koi8* | latin* | \
          unicode.* | utf-8.* | utf8.*) continue ;;
      esac
      zcat "$page" | preconv -e UTF-8 2>/dev/null | groff -man -Tutf8 -P-cbou 2>/dev/null >> "$out" || true
    done
  done
}
render ru
render uk
# The last section is kept for measuring, apart from what the statistics are
# drawn from.
mkdir -p "$corpus/held-out"
mv "$corpus/ru/man-man8.txt" "$corpus/held-out/ru-man8.txt"
mv "$corpus/uk/man-man8.txt" "$corpus/held-out/uk-man8.txt"
