#!/usr/bin/env python3
"""Developer tool: proposes ruby marks for the story tables' string literals.

    tools/ruby/propose_ruby.py scenario/NextTable.h > /tmp/NextTable.h && diff scenario/NextTable.h /tmp/NextTable.h
    tools/ruby/propose_ruby.py --particles scenario/NextTable.h > /tmp/NextTable.h

Runs MeCab with UniDic (Debian: mecab, unidic-mecab; not needed to build or play the game) over
every string literal that has kanji and no marks yet, and writes the file back with 漢字《かんじ》
on each kanji run. The proposal is only a start: names, counters and words read by context
need a person to check every reading. Latin letters and digits are left for hand marking.

With --particles it marks instead the kana that are spoken otherwise than written, over lines
already marked: the particles は and へ (and the は of こんにちは, こんばんは...) get ｜は《わ》 and
｜へ《え》 wherever UniDic pronounces them ワ and エ. Again a proposal: check every one.
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


SPOKEN = {"は": "ワ", "へ": "エ"}
# A mark already in the line: ｜base《reading》, or a kanji run and its reading.
MARK = re.compile(f"｜([^｜《》]+)《([^》]+)》|([{KANJI}]+)《([^》]+)》")


def mark_particles(marked):
    """Marks は read わ and へ read え in the plain (unmarked) text of a line."""
    shown, plain = "", []  # plain[i]: where shown[i] stands in `marked`, None inside a base
    pos = 0
    for m in list(MARK.finditer(marked)) + [None]:
        end = m.start() if m else len(marked)
        for i in range(pos, end):
            if marked[i] != "｜":
                shown += marked[i]
                plain.append(i)
        if m:
            base = m.group(1) or m.group(3)
            shown += base
            plain += [None] * len(base)
            pos = m.end()
    out = subprocess.run(["mecab"], input=shown + "\n", capture_output=True, text=True, check=True).stdout
    spoken, at = set(), 0
    for line in out.splitlines():
        if line == "EOS" or "\t" not in line:
            continue
        surface, feature = line.split("\t", 1)
        fields = next(csv.reader([feature]))
        at = shown.find(surface, at)
        pron = fields[9] if len(fields) > 9 else ""
        if at < 0 or len(pron) != len(surface):
            at = max(at, 0)
            continue
        for k, (c, p) in enumerate(zip(surface, pron)):
            if SPOKEN.get(c) == p and plain[at + k] is not None:
                spoken.add(plain[at + k])
        at += len(surface)
    return "".join(f"｜{c}《{hiragana(SPOKEN[c])}》" if i in spoken else c for i, c in enumerate(marked))


def main():
    particles = sys.argv[1] == "--particles"
    if particles:
        del sys.argv[1]
    for line in open(sys.argv[1], encoding="utf-8"):
        code, pos, out = line, 0, []
        for m in LITERAL.finditer(code):
            if "//" in code[pos:m.start()]:
                break
            text = mark_particles(m.group(1)) if particles else mark(m.group(1))
            out.append(code[pos:m.start()] + '"' + text + '"')
            pos = m.end()
        sys.stdout.write("".join(out) + code[pos:])


if __name__ == "__main__":
    main()
