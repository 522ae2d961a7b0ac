#!/usr/bin/env python3
"""Developer tool: proposes ruby marks for the story tables' string literals.

    tools/ruby/propose_ruby.py scenario/NextTable.h > /tmp/NextTable.h && diff scenario/NextTable.h /tmp/NextTable.h

Runs MeCab with UniDic (Debian: mecab, unidic-mecab; not needed to build or play the game) over
every string literal that has kanji and no marks yet, and writes the file back with 漢字《かんじ》
on each kanji run. The proposal is only a start: names, counters and words read by context
need a person to check every reading. Latin letters and digits are left for hand marking.
"""
import csv
import re
import subprocess
import sys

KANJI = r"\u3400-\u4dbf\u4e00-\u9fff\uf900-\ufaff々〆ヶ"
KANJI_RUN = re.compile(f"[{KANJI}]+")
LITERAL = re.compile(r'"((?:[^"\\]|\\.)*)"')


def hiragana(text):
    return "".join(chr(ord(c) - 0x60) if "ァ" <= c <= "ヶ" else c for c in text)


def tokens(text):
    out = subprocess.run(["mecab"], input=text + "\n", capture_output=True, text=True, check=True).stdout
    for line in out.splitlines():
        if line == "EOS" or "\t" not in line:
            continue
        surface, feature = line.split("\t", 1)
        fields = next(csv.reader([feature]))
        kana = fields[20] if len(fields) > 20 and fields[20] else ""
        yield surface, hiragana(kana)


def mark_token(surface, reading):
    if not KANJI_RUN.search(surface) or not reading:
        return surface
    # Kanji runs become groups; the kana between them must match the reading as it stands.
    parts = re.split(f"([{KANJI}]+)", surface)
    pattern = "".join("(.+?)" if KANJI_RUN.fullmatch(p) else re.escape(hiragana(p)) for p in parts if p)
    match = re.fullmatch(pattern, reading)
    if not match:
        return f"｜{surface}《{reading}》"
    groups = iter(match.groups())
    return "".join(f"{p}《{next(groups)}》" if KANJI_RUN.fullmatch(p) else p for p in parts if p)


def mark(text):
    if "《" in text or not KANJI_RUN.search(text):
        return text
    return "".join(mark_token(s, r) for s, r in tokens(text))


def main():
    for line in open(sys.argv[1], encoding="utf-8"):
        code, pos, out = line, 0, []
        for m in LITERAL.finditer(code):
            if "//" in code[pos:m.start()]:
                break
            out.append(code[pos:m.start()] + '"' + mark(m.group(1)) + '"')
            pos = m.end()
        sys.stdout.write("".join(out) + code[pos:])


if __name__ == "__main__":
    main()
