#!/usr/bin/env python3
"""Turns a UTF-8 word list (one word a line) into english.txt: one word a line, CR LF line breaks,
single-byte Latin-1 text. Words that Latin-1 cannot hold are left out. The words are written in the
order the program keeps them (case ignored), so loading finds them sorted and need not sort."""
import sys


def main(source, target):
    words = []
    with open(source, encoding="utf-8") as lines:
        for line in lines:
            word = line.strip()
            if not word:
                continue
            try:
                word.encode("latin-1")
            except UnicodeEncodeError:
                continue
            words.append(word)
    words.sort(key=str.lower)
    with open(target, "wb") as out:
        out.write("".join(w + "\r\n" for w in words).encode("latin-1"))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
