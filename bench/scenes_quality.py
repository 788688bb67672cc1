#!/usr/bin/env python3
"""Builds movies joined from different clips with known shot starts, then scores the shots
kirimo-extract --list --scenes finds, and those of the ffmpeg command line's scene score
(select='gt(scene,T)') over a sweep of T, as precision, recall and F1.

A hard cut counts when found on its frame exactly; a fade or dissolve when found once within a
frame of its first clean frame (strict), or, in the columns marked "any", once anywhere from its
first mixed frame to one past its first clean frame, which is kinder to a detector that fires in
the middle of a fade. Frame 0 is left out on both sides;
flashes and pans carry no shot, so anything found there is a false one.

Usage: bench/scenes_quality.py KIRIMO_EXTRACT WORK_DIR [SENSITIVITY...]
       HELD_OUT=1 bench/scenes_quality.py ...   the set made after the tuning
"""
import math
import os
import re
import subprocess
import sys

FPS = 25
W, H = 320, 240

SOURCES = {
    "bars": "smptebars=s={s}:r={r}",
    "test": "testsrc2=s={s}:r={r}",
    "mandel": "mandelbrot=s={s}:r={r}",
    "life": "life=s={s}:r={r}:mold=10:ratio=0.1:death_color=#C83232:life_color=#00ff00",
    "cells": "cellauto=s={s}:r={r}:rule=110",
    "grad": "gradients=s={s}:r={r}:speed=0.02",
    # Dark and grainy: green cells on black that are born and die every frame.
    "darklife": "life=s={s}:r={r}:mold=10:ratio=0.3:life_color=#80ff80",
    "rgb": "rgbtestsrc=s={s}:r={r}",
    "spectrum": "colorspectrum=s={s}:r={r}:type=all",
}

# Each movie: clips (source, seconds, extras) joined by 'cut', (xfade transition, seconds) or
# ('dip', out, in): the clip before fades out to black over its last `out` seconds, the clip after
# fades in from black over its first `in`.
# Extras: 'grain' adds film grain; ('flash', first, count) whitens frames; ('dim', n) brightens
# one frame half way; 'pan' is a fast pan over a big picture.
# Tuned on these four.
MOVIES = {
    "cuts": [("test", 3, ["grain"]), "cut", ("mandel", 2, ["grain"]), "cut",
             ("life", 2, ["grain"]), "cut", ("bars", 2, ["grain"]), "cut",
             ("cells", 2, ["grain"]), "cut", ("grad", 2, ["grain"]), "cut",
             ("spectrum", 2, ["grain"]), "cut", ("test", 2, [])],
    "fades": [("test", 2, []), ("fadeblack", 0.5), ("life", 2, []), ("fade", 0.5),
              ("bars", 2, ["grain"]), ("dissolve", 0.5), ("mandel", 2, []), ("fadeblack", 1.0),
              ("grad", 2, []), "cut", ("cells", 2, []), ("fade", 1.0), ("spectrum", 2, ["grain"])],
    "flashes": [("mandel", 2, [("flash", 25, 2)]), "cut", ("test", 2, [("dim", 20)]), "cut",
                ("life", 2, [("flash", 10, 3)]), "cut", ("grad", 2, [("flash", 30, 1)]), "cut",
                ("bars", 2, ["grain", ("flash", 12, 2)])],
    "pans": [("test", 1, []), "cut", ("pan", 3, ["grain"]), "cut", ("mandel", 2, []),
             ("dissolve", 0.5), ("pan", 3, []), "cut", ("life", 2, [])],
    # Dips to black into a dark shot that moves and flickers, found missed after the tuning
    # above: as first seen, the same at other lengths and in a longer movie, and back out of it.
    "dip": [("test", 3, []), ("dip", 0.5, 0.5), ("darklife", 3, [])],
    "dip_long": [("grad", 4, ["grain"]), "cut", ("test", 6, []), ("dip", 0.3, 0.8),
                 ("darklife", 6, ["grain"]), "cut", ("bars", 3, []), ("dip", 0.6, 0.4),
                 ("darklife", 5, [])],
    "dip_out": [("mandel", 3, []), ("dip", 0.5, 0.5), ("darklife", 4, ["grain"]),
                ("dip", 0.5, 0.5), ("spectrum", 3, ["grain"])],
}


# Made after the tuning and left alone since: 30 frames a second, grain throughout, other
# orders, lengths and transitions (a dip to white, a short dissolve), a half-bright flash, a
# slower pan.
HELD_OUT = {
    "late_a": [("grad", 3, ["grain"]), ("fadewhite", 0.6), ("test", 2, ["grain"]), "cut",
               ("cells", 2, ["grain", ("flash", 20, 2)]), ("dissolve", 0.3),
               ("mandel", 2, ["grain"]), "cut", ("spectrum", 2, ["grain"]), ("fade", 0.8),
               ("life", 3, ["grain"])],
    "late_b": [("bars", 2, ["grain"]), "cut", ("slowpan", 4, ["grain"]), "cut",
               ("rgb", 2, ["grain", ("dim", 30)]), ("fadeblack", 0.7), ("test", 2, ["grain"]),
               "cut", ("mandel", 2, ["grain", ("flash", 40, 1)]), ("fade", 0.5),
               ("grad", 2, ["grain"])],
}


def clip_filter(label, source, seconds, extras):
    frames = int(round(seconds * FPS))
    if source == "slowpan":
        chain = (f"testsrc2=s=1600x720:r={FPS},crop={W}:{H}:x='min(n*6,1270)':y='200+n'")
    elif source == "pan":
        # 1280 pixels of picture crossed at 320 pixels a second, a whole frame width each second.
        chain = (f"testsrc2=s=1600x720:r={FPS},crop={W}:{H}:x='min(n*13,1270)':y='200+n*2'")
    else:
        chain = SOURCES[source].format(s=f"{W}x{H}", r=FPS)
    chain += f",trim=end_frame={frames},settb=1/{FPS},setpts=N,format=yuv420p"
    for extra in extras:
        if isinstance(extra, tuple) and extra[0] in ("fadein", "fadeout"):
            kind, start, seconds = extra
            chain += f",fade=t={kind[4:]}:st={start}:d={seconds}"
            continue
        if extra == "grain":
            chain += ",noise=alls=14:allf=t"
        elif extra[0] == "flash":
            _, first, count = extra
            chain += (f",drawbox=x=0:y=0:w=iw:h=ih:color=white:t=fill:"
                      f"enable='between(n,{first},{first + count - 1})'")
        elif extra[0] == "dim":
            chain += f",lutyuv=y='min(255,val*1.8+60)':enable='eq(n,{extra[1]})'"
    return f"{chain}[{label}]", frames


def build(name, plan, folder):
    """Writes the movie; returns (path, [(kind, first, last)]) with kind 'cut' or 'fade', the
    shot's first clean frame being `last`."""
    filters, truth = [], []
    clips = [p for p in plan if isinstance(p, tuple) and len(p) == 3 and p[0] != "dip"]
    joins = [p for p in plan if not (isinstance(p, tuple) and len(p) == 3 and p[0] != "dip")]
    # A dip is a fade at the end of the clip before it and at the start of the one after.
    clips = [list(c[:2]) + [list(c[2])] for c in clips]
    for index, join in enumerate(joins):
        if isinstance(join, tuple) and join[0] == "dip":
            _, out, into = join
            clips[index][2].append(("fadeout", clips[index][1] - out, out))
            clips[index + 1][2].append(("fadein", 0, into))
    clips = [tuple(c) for c in clips]
    text, length = clip_filter("c0", *clips[0])
    filters.append(text)
    current = "c0"
    for index, (join, clip) in enumerate(zip(joins, clips[1:]), start=1):
        text, frames = clip_filter(f"c{index}", *clip)
        filters.append(text)
        out = f"j{index}"
        if isinstance(join, tuple) and join[0] == "dip":
            filters.append(f"[{current}][c{index}]concat=n=2:v=1:a=0,settb=1/{FPS},setpts=N[{out}]")
            # From the first frame darkened to the first clean one after.
            truth.append(("fade", length - int(join[1] * FPS), length + math.ceil(join[2] * FPS)))
            length += frames
        elif join == "cut":
            filters.append(f"[{current}][c{index}]concat=n=2:v=1:a=0,settb=1/{FPS},setpts=N[{out}]")
            truth.append(("cut", length, length))
            length += frames
        else:
            transition, seconds = join
            span = int(round(seconds * FPS))
            offset = length - span
            filters.append(f"[{current}][c{index}]xfade=transition={transition}:"
                           f"duration={seconds}:offset={offset / FPS}[{out}]")
            truth.append(("fade", offset, offset + span))
            length = offset + frames
        current = out
    path = os.path.join(folder, name + ".mp4")
    subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-y", "-filter_complex",
                    ";".join(filters), "-map", f"[{current}]", "-c:v", "libx264", "-preset",
                    "fast", "-crf", "20", "-g", "50", "-bf", "2", "-pix_fmt", "yuv420p", path],
                   check=True)
    return path, truth, length


def ours(extract, movie, sensitivity):
    args = [extract, "--list", "--scenes=" + str(sensitivity), movie]
    lines = subprocess.run(args, check=True, capture_output=True, text=True).stdout.split("\n")
    return [int(line.split(",")[0]) for line in lines[1:] if line]


def ffmpeg_scores(movie):
    """The scene score of every frame but the first, by frame number."""
    out = subprocess.run(["ffmpeg", "-nostdin", "-v", "error", "-i", movie, "-vf",
                          "select='gte(scene,0)',metadata=print:file=-", "-an", "-f", "null",
                          "-"], check=True, capture_output=True, text=True).stdout
    scores, frame = {}, None
    for line in out.split("\n"):
        m = re.search(r"pts_time:([0-9.]+)", line)
        if m:
            frame = int(round(float(m.group(1)) * FPS))
        m = re.search(r"lavfi.scene_score=([0-9.]+)", line)
        if m and frame is not None:
            scores[frame] = float(m.group(1))
    return scores


def score(found, truth, anywhere=False):
    found = sorted(f for f in found if f != 0)
    matched, hits, cut_hits = set(), 0, 0
    for f in found:
        for i, (kind, first, last) in enumerate(truth):
            if i in matched:
                continue
            if (kind == "cut" and f == last) or (
                    kind == "fade" and (first <= f <= last + 1 if anywhere else abs(f - last) <= 1)):
                matched.add(i)
                hits += 1
                cut_hits += kind == "cut"
                break
    return hits, len(found), len(truth), cut_hits


def main():
    extract, folder = sys.argv[1], sys.argv[2]
    sensitivities = [int(s) for s in sys.argv[3:]] or [50]
    os.makedirs(folder, exist_ok=True)
    global FPS
    held_out = os.environ.get("HELD_OUT") == "1"
    if held_out:
        FPS = 30
    chosen = HELD_OUT if held_out else MOVIES
    movies = [(name,) + build(name, plan, folder) for name, plan in chosen.items()]
    cuts = sum(1 for _, _, truth, _ in movies for t in truth if t[0] == "cut")
    events = sum(len(truth) for _, _, truth, _ in movies)
    print(f"{len(movies)} movies, {sum(m[3] for m in movies)} frames at {FPS} fps, {W}x{H}, "
          f"H.264: {events} shot starts ({cuts} hard cuts, {events - cuts} fades/dissolves), "
          f"{sum(str(plan).count('flash') + str(plan).count('dim') for plan in chosen.values())} "
          f"flashes, {sum(str(plan).count('pan') for plan in chosen.values())} pans")
    for name, path, truth, _ in movies:
        print(f"  {name}: {' '.join(f'{k}@{a}' if k == 'cut' else f'{k}@{a}-{b}' for k, a, b in truth)}")

    def rates(found_by_movie, anywhere):
        hits = found = wanted = cut_hits = 0
        for (_, _, truth, _), found_here in zip(movies, found_by_movie):
            h, f, w, c = score(found_here, truth, anywhere)
            hits, found, wanted, cut_hits = hits + h, found + f, wanted + w, cut_hits + c
        p = hits / found if found else 0.0
        r = hits / wanted if wanted else 0.0
        return p, r, (2 * p * r / (p + r) if p + r else 0.0), cut_hits

    def table_row(label, found_by_movie):
        p, r, f1, cut_hits = rates(found_by_movie, False)
        pa, ra, f1a, _ = rates(found_by_movie, True)
        print(f"{label:28s} {p:9.3f} {r:6.3f} {f1:6.3f} {pa:6.3f} {ra:6.3f} {f1a:6.3f} "
              f"{cut_hits:>4d}/{cuts}")
        return f1a

    print(f"{'detector':28s} precision recall     F1  P any  R any F1 any cuts exact")
    for s in sensitivities:
        table_row(f"kirimo-extract --scenes={s}", [ours(extract, m[1], s) for m in movies])
    scores = [ffmpeg_scores(m[1]) for m in movies]
    best = (0.0, None)
    for step in range(1, 13):
        threshold = step * 0.05
        f1 = table_row(f"ffmpeg select gt(scene,{threshold:.2f})",
                       [[f for f, v in s.items() if v > threshold] for s in scores])
        best = max(best, (f1, threshold), key=lambda x: x[0])
    print(f"best ffmpeg threshold: {best[1]:.2f} (F1 any {best[0]:.3f})")


if __name__ == "__main__":
    main()
