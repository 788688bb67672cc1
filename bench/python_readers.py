#!/usr/bin/python3
"""Exact frames and speed: kirimo against PyAV and OpenCV (Debian's) in one run.

Makes its own movies, each picture carrying its frame number, under a scratch folder, then
prints Markdown tables: wrong frames by index and by time on every movie, speed on a 1080p MP4
(medians), opening long movies with an exact index, two threads against one, and the resident
size while iterating a 10-minute 1080p movie.

Usage: /usr/bin/python3 bench/python_readers.py [--quick] [--build DIR] [--scratch DIR] [--keep]
The kirimo package is taken from DIR/python (default: build/ next to bench/).
"""

from __future__ import annotations

import argparse
import bisect
import concurrent.futures
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field
from typing import Callable, Iterable, Iterator, Optional

import numpy as np

RATE = 25
CELL = 48  # a bit of the frame number is a CELL x CELL square along the top
BITS = 12
MS = 0.001


def log(*words) -> None:
    print(*words, file=sys.stderr, flush=True)


# --- pictures that carry their own number ---------------------------------------------------


def draw_number(picture: np.ndarray, number: int) -> None:
    for bit in range(BITS):
        value = 255 if number >> bit & 1 else 0
        picture[:CELL, bit * CELL:(bit + 1) * CELL] = value


def number_of(picture: Optional[np.ndarray]) -> int:
    """The number drawn into a decoded picture (any channel order); -1 for no picture."""
    if picture is None or picture.shape[0] < CELL or picture.shape[1] < BITS * CELL:
        return -1
    number = 0
    for bit in range(BITS):
        centre = picture[12:CELL - 12, bit * CELL + 12:(bit + 1) * CELL - 12, :3]
        if centre.mean() > 128:
            number |= 1 << bit
    return number


REUSE = False  # movies left in a named scratch folder by an earlier run are used again


def run_ffmpeg(*arguments: str, data: Optional[Iterable[bytes]] = None) -> None:
    if REUSE and os.path.exists(arguments[-1]):
        return
    command = ["ffmpeg", "-nostdin" if data is None else "-hide_banner", "-v", "error", "-y",
               *arguments]
    if data is None:
        subprocess.run(command, check=True)
        return
    with subprocess.Popen(command, stdin=subprocess.PIPE) as encoder:
        for chunk in data:
            encoder.stdin.write(chunk)
        encoder.stdin.close()
        if encoder.wait() != 0:
            raise RuntimeError(f"ffmpeg failed: {' '.join(command)}")


def numbered_pictures(width: int, height: int, count: int) -> Iterator[bytes]:
    """Two blocky random textures sliding across each other (motion an encoder must code as
    residue, not only as vectors), the number on top."""
    rng = np.random.default_rng(7)
    slide = 1024

    def texture(rows: int, columns: int, block: int) -> np.ndarray:
        coarse = rng.integers(20, 118, (rows // block + 1, columns // block + 1, 3), np.uint8)
        return coarse.repeat(block, 0).repeat(block, 1)[:rows, :columns]
    across, down = texture(height, width + slide, 32), texture(height + slide, width, 48)
    for n in range(count):
        x, y = (3 * n) % slide, (2 * n) % slide
        picture = across[:, x:x + width] + down[y:y + height]
        draw_number(picture, n)
        yield picture.data


def encode_numbered(path: str, width: int, height: int, count: int, codec: list[str],
                    filters: Optional[str] = None) -> str:
    arguments = ["-f", "rawvideo", "-pix_fmt", "rgb24", "-s", f"{width}x{height}", "-r",
                 str(RATE), "-i", "-"]
    if filters:
        arguments += ["-vf", filters]
    run_ffmpeg(*arguments, *codec, path, data=numbered_pictures(width, height, count))
    return path


H264_GOP250 = ["-c:v", "libx264", "-preset", "superfast", "-crf", "26", "-g", "250",
               "-keyint_min", "250", "-sc_threshold", "0", "-bf", "3", "-pix_fmt", "yuv420p"]


@dataclass
class Truth:
    """What a reader must give: frame n shows number first + n and starts at starts[n]."""
    name: str
    path: str
    starts: list[float]
    first: int = 0

    @property
    def count(self) -> int:
        return len(self.starts)

    def shown_at(self, seconds: float) -> int:
        return max(bisect.bisect_right(self.starts, seconds) - 1, 0)


def constant_rate(count: int) -> list[float]:
    return [n / RATE for n in range(count)]


# Variable rate: stretches of 30 frames alternately 2 and 1 ticks of 1/25 s long (the encoder
# keeps the input's 1/25 s clock: finer stamps would be rounded to it).
def vfr_ticks(n: int) -> int:
    block, rest = divmod(n, 30)
    return (block + 1) // 2 * 60 + block // 2 * 30 + rest * (2 if block % 2 == 0 else 1)


VFR_FILTER = ("setpts='(ceil(floor(N/30)/2)*60+floor(floor(N/30)/2)*30"
              "+mod(N\\,30)*if(mod(floor(N/30)\\,2)\\,1\\,2))/(25*TB)'")


def cut_transport_stream(source: str, cut: str, key_frame: int, before: float) -> None:
    """Copies `source` from the TS packet that starts the picture `before` seconds (in decoding
    order) ahead of the key frame `key_frame` frames in."""
    if REUSE and os.path.exists(cut):
        return
    probe = subprocess.run(
        ["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
         "packet=dts_time,pos,flags", "-of", "csv=p=0", source],
        check=True, capture_output=True, text=True).stdout.split()
    packets = [(float(d), int(p), "K" in f) for d, p, f, *_ in (line.split(",") for line in probe)]
    keys = [dts for dts, _, key in packets if key]
    key_dts = keys[key_frame // 250]
    position = max(pos for dts, pos, _ in packets if dts <= key_dts - before)
    position -= position % 188
    with open(source, "rb") as whole, open(cut, "wb") as part:
        whole.seek(position)
        shutil.copyfileobj(whole, part)


def check_stamps(truth: Truth) -> None:
    """The file's own time stamps (as ffprobe reads its packets) against the truth's starts:
    an encoder that rounds them would make every reader look wrong."""
    probe = subprocess.run(
        ["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries", "packet=pts_time",
         "-of", "csv=p=0", truth.path], check=True, capture_output=True, text=True).stdout
    stamps = sorted(float(line.strip(",")) for line in probe.split() if line.strip(","))
    starts = [stamp - stamps[0] for stamp in stamps]
    wrong = [n for n, (a, b) in enumerate(zip(starts, truth.starts)) if abs(a - b) > 1e-4]
    if len(starts) != truth.count:
        raise RuntimeError(f"{truth.path} has {len(starts)} frames, not {truth.count}")
    if wrong:
        raise RuntimeError(f"frame {wrong[0]} of {truth.path} starts at {starts[wrong[0]]} s, "
                           f"not {truth.starts[wrong[0]]} s: the bench's truth is wrong")


@dataclass
class Movies:
    accuracy: list[Truth] = field(default_factory=list)
    main: Optional[Truth] = None
    long_mp4: str = ""
    long_ts: str = ""
    ten_minutes: str = ""


def make_movies(folder: str, quick: bool) -> Movies:
    movies = Movies()
    count = 300 if quick else 1500
    width, height = (960, 540) if quick else (1920, 1080)
    log(f"Writing a {width}x{height} H.264 MP4 of {count} frames ...")
    mp4 = encode_numbered(f"{folder}/main.mp4", width, height, count, H264_GOP250)
    movies.main = Truth(f"{height}p MP4", mp4, constant_rate(count))
    ts = f"{folder}/main.ts"
    run_ffmpeg("-i", mp4, "-c", "copy", ts)
    cut = f"{folder}/cut.ts"
    cut_transport_stream(ts, cut, 250, 1.6)
    log("Writing the VFR MP4 and the HEVC MKV ...")
    vfr_count = 240 if quick else 600
    vfr = encode_numbered(f"{folder}/vfr.mp4", 640, 360, vfr_count,
                          ["-fps_mode", "passthrough", "-c:v", "libx264", "-preset", "veryfast",
                           "-bf", "2", "-g", "60", "-video_track_timescale", "50000"],
                          filters=VFR_FILTER)
    hevc_count = 300 if quick else 500
    hevc = encode_numbered(
        f"{folder}/open-gop.mkv", 1280, 720, hevc_count,
        ["-c:v", "libx265", "-preset", "ultrafast", "-crf", "26", "-x265-params",
         "log-level=error:keyint=125:min-keyint=125:scenecut=0:open-gop=1:bframes=3",
         "-pix_fmt", "yuv420p"])
    movies.accuracy = [
        movies.main,
        Truth("same as TS", ts, constant_rate(count)),
        Truth("TS cut 1.6 s before a key frame", cut, constant_rate(count - 250), first=250),
        Truth("VFR MP4", vfr, [vfr_ticks(n) / RATE for n in range(vfr_count)]),
        Truth("720p HEVC MKV (open GOP)", hevc, constant_rate(hevc_count)),
    ]
    for truth in movies.accuracy[:2] + movies.accuracy[3:]:
        check_stamps(truth)
    log("Writing the long movies ...")
    minutes = 10
    run_ffmpeg("-f", "lavfi", "-i", f"testsrc2=size=64x64:rate={RATE}", "-t", str(minutes * 60),
               "-c:v", "libx264", "-preset", "ultrafast", "-g", "250", "-bf", "3", "-pix_fmt",
               "yuv420p", f"{folder}/short.mp4")
    movies.long_mp4 = f"{folder}/hour.mp4"
    run_ffmpeg("-stream_loop", str(60 // minutes - 1), "-i", f"{folder}/short.mp4", "-c", "copy",
               movies.long_mp4)
    movies.long_ts = f"{folder}/hour.ts"
    run_ffmpeg("-i", movies.long_mp4, "-c", "copy", movies.long_ts)
    loops = 6 if quick else 60  # of a 10-second clip
    run_ffmpeg("-f", "lavfi", "-i", f"testsrc2=size=1920x1080:rate={RATE}", "-frames:v", "250",
               "-c:v", "libx264", "-preset", "ultrafast", "-g", "250", "-bf", "3", "-pix_fmt",
               "yuv420p", f"{folder}/clip.mp4")
    movies.ten_minutes = f"{folder}/ten-minutes.mp4"
    run_ffmpeg("-stream_loop", str(loops - 1), "-i", f"{folder}/clip.mp4", "-c", "copy",
               movies.ten_minutes)
    return movies


# --- the readers ------------------------------------------------------------------------------
# Each yields one picture (or None) per frame or time asked, in the order asked.


def opencv_capture(path: str):
    import cv2
    capture = cv2.VideoCapture(path, cv2.CAP_FFMPEG)
    if not capture.isOpened():
        raise RuntimeError(f"OpenCV cannot open {path}")
    return capture


def opencv_by_index(path: str, frames: list[int]) -> Iterator[Optional[np.ndarray]]:
    import cv2
    capture = opencv_capture(path)
    for n in frames:
        capture.set(cv2.CAP_PROP_POS_FRAMES, n)
        ok, picture = capture.read()
        yield picture if ok else None


def opencv_by_time(path: str, times: list[float]) -> Iterator[Optional[np.ndarray]]:
    import cv2
    capture = opencv_capture(path)
    for t in times:
        capture.set(cv2.CAP_PROP_POS_MSEC, t * 1000)
        ok, picture = capture.read()
        yield picture if ok else None


def pyav_open(path: str):
    import av
    container = av.open(path)
    stream = container.streams.video[0]
    stream.thread_type = "AUTO"
    return container, stream


def rgb(frame) -> np.ndarray:
    return frame.to_ndarray(format="rgb24")


def pyav_first_after_seek(path: str, stamps: list[int]) -> Iterator[Optional[np.ndarray]]:
    container, stream = pyav_open(path)
    with container:
        for stamp in stamps:
            try:
                container.seek(stamp, stream=stream)
                yield rgb(next(container.decode(stream)))
            except (StopIteration, OSError, ValueError):
                yield None


def pyav_naive_by_index(path: str, frames: list[int]) -> Iterator[Optional[np.ndarray]]:
    container, stream = pyav_open(path)
    start, rate, base = stream.start_time or 0, float(stream.average_rate), stream.time_base
    container.close()
    yield from pyav_first_after_seek(path, [start + int(n / rate / base) for n in frames])


def pyav_naive_by_time(path: str, times: list[float]) -> Iterator[Optional[np.ndarray]]:
    container, stream = pyav_open(path)
    start, base = stream.start_time or 0, stream.time_base
    container.close()
    yield from pyav_first_after_seek(path, [start + int(t / base) for t in times])


class PacketTable:
    """The careful recipe's pre-scan: every video packet's time stamp, key frames apart."""

    def __init__(self, path: str):
        container, stream = pyav_open(path)
        stamps, keys = [], []
        for packet in container.demux(stream):
            if packet.pts is None:
                continue
            stamps.append(packet.pts)
            if packet.is_keyframe:
                keys.append(packet.pts)
        self.base = float(stream.time_base)
        container.close()
        self.stamps = sorted(stamps)
        self.keys = sorted(keys)

    def key_before(self, stamp: int) -> int:
        return self.keys[max(bisect.bisect_right(self.keys, stamp) - 1, 0)]

    def frame_at(self, seconds: float) -> int:
        stamp = self.stamps[0] + round(seconds / self.base)
        return max(bisect.bisect_right(self.stamps, stamp) - 1, 0)


def decode_to(container, stream, stamp: int):
    """The first picture at or after `stamp`, decoding on from where the decoder is."""
    import av
    try:
        for frame in container.decode(stream):
            if frame.pts is not None and frame.pts >= stamp:
                return frame
    except av.EOFError:  # drained at the end: only a seek starts it again
        pass
    return None


def pyav_careful_by_index(path: str, frames: list[int]) -> Iterator[Optional[np.ndarray]]:
    table = PacketTable(path)
    container, stream = pyav_open(path)
    with container:
        for n in frames:
            try:
                stamp = table.stamps[n]
                container.seek(table.key_before(stamp), stream=stream)
                frame = decode_to(container, stream, stamp)
                yield None if frame is None else rgb(frame)
            except (IndexError, OSError, ValueError):
                yield None


def pyav_careful_by_time(path: str, times: list[float]) -> Iterator[Optional[np.ndarray]]:
    table = PacketTable(path)
    yield from pyav_careful_by_index(path, [table.frame_at(t) for t in times])


def pyav_best_by_index(path: str, frames: list[int]) -> Iterator[Optional[np.ndarray]]:
    """Sorted and each frame once: decode on, and seek only when a key frame lies between."""
    table = PacketTable(path)
    container, stream = pyav_open(path)
    pictures: dict[int, Optional[np.ndarray]] = {}
    last = None
    for n in sorted(set(frames)):
        stamp = table.stamps[n]
        key = table.key_before(stamp)
        frame = None
        if last is not None and key <= last:
            frame = decode_to(container, stream, stamp)
        if frame is None:
            container.seek(key, stream=stream)
            frame = decode_to(container, stream, stamp)
        pictures[n] = None if frame is None else rgb(frame)
        last = None if frame is None else frame.pts
    container.close()
    for n in frames:
        yield pictures[n]


def kirimo_by_index(path: str, frames: list[int]) -> Iterator[np.ndarray]:
    import kirimo
    with kirimo.Movie(path) as movie:
        yield from movie[frames]


def kirimo_by_time(path: str, times: list[float]) -> Iterator[np.ndarray]:
    import kirimo
    with kirimo.Movie(path) as movie:
        yield from movie.frames_played_at(times)


READERS = {
    "OpenCV (`POS_FRAMES` / `POS_MSEC` seek)": (opencv_by_index, opencv_by_time),
    "PyAV naive (seek to n/fps, first frame)": (pyav_naive_by_index, pyav_naive_by_time),
    "PyAV careful (pre-scan, key frame, decode to the time)": (pyav_careful_by_index,
                                                                pyav_careful_by_time),
    "kirimo": (kirimo_by_index, kirimo_by_time),
}


# --- measuring ------------------------------------------------------------------------------


@dataclass
class Tally:
    wrong: int = 0
    asked: int = 0
    of: int = 0
    failed: str = ""

    def __str__(self) -> str:
        if self.failed:
            return f"error: {self.failed}"
        text = f"{self.wrong}/{self.asked}"
        if self.wrong:
            text = f"**{text}**"
        return text if self.asked == self.of else f"{text} (time limit, of {self.of})"


def tally(pictures: Iterator, expected: list[int], budget: float) -> Tally:
    result = Tally(of=len(expected))
    began = time.monotonic()
    try:
        for picture, number in zip(pictures, expected):
            result.asked += 1
            result.wrong += number_of(picture) != number
            if time.monotonic() - began > budget:
                break
    except Exception as error:  # a reader's own failure is a result, not the bench's
        result.failed = f"{type(error).__name__}: {str(error)[:60]}"
    return result


def index_question(truth: Truth, count: int) -> tuple[list[int], list[int]]:
    frames = random.Random(truth.name).sample(range(truth.count), min(count, truth.count))
    return frames, [truth.first + n for n in frames]


def time_question(truth: Truth, count: int) -> tuple[list[float], list[int]]:
    """A third anywhere, a third 1 ms before a frame starts, a third 1 ms after."""
    rng = random.Random(truth.name + " times")
    end = truth.starts[-1] + 1 / RATE
    times = [rng.uniform(0, end) for _ in range(count // 3)]
    for offset in (-MS, MS):
        times += [truth.starts[rng.randrange(1, truth.count)] + offset
                  for _ in range(count // 3)]
    return times, [truth.first + truth.shown_at(t) for t in times]


def accuracy(movies: Movies, budget: float, known: dict[str, Tally]) -> str:
    rows = ["| wrong frames / asked | " + " | ".join(t.name for t in movies.accuracy) + " |",
            "|---" * (len(movies.accuracy) + 1) + "|"]
    for reader, (by_index, by_time) in READERS.items():
        cells = []
        # kirimo answers in one call: its time is all spent before the first picture comes.
        limit = float("inf") if reader == "kirimo" else budget
        for truth in movies.accuracy:
            log(f"  {reader} on {truth.name} ...")
            index = known.get(reader) if truth is movies.main else None
            if index is None:
                frames, expected = index_question(truth, 100)
                index = tally(by_index(truth.path, frames), expected, limit)
            times, expected = time_question(truth, 60)
            at = tally(by_time(truth.path, times), expected, limit)
            cells.append(f"{index} · {at}")
        rows.append(f"| {reader} | " + " | ".join(cells) + " |")
    return "\n".join(rows)


def median_seconds(task: Callable[[], object], repeats: int) -> tuple[float, object]:
    seconds, result = [], None
    for _ in range(repeats):
        began = time.perf_counter()
        result = task()
        seconds.append(time.perf_counter() - began)
    return statistics.median(seconds), result


def as_batch(pictures: Iterator[Optional[np.ndarray]], shape: tuple) -> np.ndarray:
    batch = np.zeros(shape, np.uint8)
    for i, picture in enumerate(pictures):
        if picture is not None:
            batch[i] = picture
    return batch


def wrong_in(batch: np.ndarray, expected: list[int]) -> int:
    return sum(number_of(picture) != number for picture, number in zip(batch, expected))


def pyav_sequential(path: str, every: int) -> int:
    container, stream = pyav_open(path)
    wrong = 0
    for n, frame in enumerate(container.decode(stream)):
        if n % every == 0:
            wrong += number_of(rgb(frame)) != n
    container.close()
    return wrong


def opencv_sequential(path: str, every: int) -> int:
    capture = opencv_capture(path)
    wrong, n = 0, 0
    while capture.grab():
        if n % every == 0:
            wrong += number_of(capture.retrieve()[1]) != n
        n += 1
    return wrong


def kirimo_sequential(path: str, every: int, threads: int = 0) -> int:
    import kirimo
    with kirimo.Movie(path, threads=threads) as movie:
        if every == 1:
            return sum(number_of(picture) != n for n, picture in enumerate(movie))
        return sum(number_of(picture) != n * every
                   for n, picture in enumerate(movie[::every]))


def kirimo_iteration_rate(path: str, budget: float) -> tuple[int, float]:
    """Frames iterated within `budget` seconds (default decoder threads), and the seconds."""
    import kirimo
    with kirimo.Movie(path) as movie:
        began = time.perf_counter()
        for n, _ in enumerate(movie):
            if time.perf_counter() - began > budget:
                return n + 1, time.perf_counter() - began
        return len(movie), time.perf_counter() - began


def speed(truth: Truth, repeats: int, known: dict[str, Tally]) -> str:
    import kirimo
    with kirimo.Movie(truth.path) as movie:
        shape = (100, movie.height, movie.width, 3)
    frames, expected = index_question(truth, 100)
    random_readers = {
        "PyAV careful": pyav_careful_by_index,
        "best PyAV (indices sorted)": pyav_best_by_index,
        "OpenCV": opencv_by_index,
        "kirimo": kirimo_by_index,
    }
    names = list(READERS)
    seconds: dict[tuple[str, str], float] = {}
    notes: dict[tuple[str, str], str] = {}
    for name, reader in random_readers.items():
        log(f"  100 random frames: {name} ...")
        if name == "kirimo":
            import kirimo as k

            def task():
                with k.Movie(truth.path) as m:
                    return m[frames]
        else:
            def task(reader=reader):
                return as_batch(reader(truth.path, frames), shape)
        seconds[name, "random"], batch = median_seconds(task, repeats)
        wrong = wrong_in(batch, expected)
        notes[name, "random"] = f" ({wrong} wrong)" if wrong else ""
        full = {"PyAV careful": names[2], "OpenCV": names[0], "kirimo": names[3]}.get(name)
        if full:
            known[full] = Tally(wrong, len(frames), len(frames))
    for task_name, every in (("every 10th", 10), ("all", 1)):
        kirimo_reader = kirimo_sequential
        if every == 1:  # iteration with the default threads is timed below, with a limit
            def kirimo_reader(path, every):
                return kirimo_sequential(path, every, threads=1)
        for name, reader in (("PyAV careful", pyav_sequential), ("OpenCV", opencv_sequential),
                             ("kirimo", kirimo_reader)):
            log(f"  {task_name}: {name} ...")
            seconds[name, task_name], wrong = median_seconds(
                lambda reader=reader: reader(truth.path, every), repeats)
            notes[name, task_name] = f" ({wrong} wrong)" if wrong else ""

    def cell(name: str, task_name: str) -> str:
        value = seconds.get((name, task_name))
        return "—" if value is None else f"{value:.2f} s{notes[name, task_name]}"

    def ratio(task_name: str, other: str) -> str:
        return f"{seconds['kirimo', task_name] / seconds[other, task_name]:.3f}×"

    count = truth.count
    rows = [f"| task ({truth.name}, {count} frames) | PyAV careful | best PyAV (sorted) | OpenCV "
            "| kirimo | kirimo ÷ PyAV careful | kirimo ÷ best PyAV | kirimo ÷ OpenCV |",
            "|---|---|---|---|---|---|---|---|"]
    for task_name, label in (("random", "100 random frames as (N, H, W, 3)"),
                             ("every 10th", f"every 10th frame ({count // 10})"),
                             ("all", f"all {count} frames sequentially")):
        best = ratio(task_name, "best PyAV (indices sorted)") if task_name == "random" else "—"
        rows.append(f"| {label} | {cell('PyAV careful', task_name)} | "
                    f"{cell('best PyAV (indices sorted)', task_name)} | "
                    f"{cell('OpenCV', task_name)} | {cell('kirimo', task_name)} | "
                    f"{ratio(task_name, 'PyAV careful')} | {best} | {ratio(task_name, 'OpenCV')} |")
    log("  iteration with the default decoder threads ...")
    iterated, took = kirimo_iteration_rate(truth.path, 60.0)
    rows.append("")
    rows.append(f"kirimo's \"all frames\" is `for picture in Movie(path, threads=1)`; with the "
                f"default threads, iteration gave {iterated} frames in {took:.1f} s "
                f"({iterated / took:.1f} frames/s).")
    return "\n".join(rows)


def opening(movies: Movies, folder: str, repeats: int) -> str:
    import cv2
    import kirimo

    def kirimo_open(path: str, index: Optional[str] = None) -> int:
        with kirimo.Movie(path, index=index) as movie:
            return len(movie)

    def opencv_count(path: str) -> int:
        return int(opencv_capture(path).get(cv2.CAP_PROP_FRAME_COUNT))

    rows = ["| open, one hour at 64x64 | kirimo (exact index) "
            "| kirimo, reopened with a saved index "
            "| PyAV packet scan | OpenCV header count |", "|---|---|---|---|---|"]
    for label, path in (("MP4", movies.long_mp4), ("TS", movies.long_ts)):
        log(f"  opening the one-hour {label} ...")
        first, count = median_seconds(lambda: kirimo_open(path), repeats)
        saved = f"{folder}/{label}.index"
        with kirimo.Movie(path) as movie:
            try:
                movie.save_index(saved)
            except ValueError:  # its own index is read at once: nothing to save
                saved = None
        reopened, again = (median_seconds(lambda: kirimo_open(path, saved), repeats)
                           if saved else (None, count))
        scan, table = median_seconds(lambda: PacketTable(path), repeats)
        header, guess = median_seconds(lambda: opencv_count(path), repeats)
        reopen = "no index to save" if reopened is None else f"{reopened:.3f} s ({again} frames)"
        rows.append(f"| {label} | {first:.3f} s ({count} frames) | {reopen} | "
                    f"{scan:.3f} s ({len(table.stamps)} packets) | {header:.3f} s ({guess}) |")
    return "\n".join(rows)


def threads(truth: Truth, folder: str, repeats: int, frames: int) -> str:
    import kirimo
    paths = []
    for n in range(4):
        paths.append(f"{folder}/copy{n}.mp4")
        if not os.path.exists(paths[-1]):
            shutil.copyfile(truth.path, paths[-1])

    def work(path: str, decoder_threads: int) -> int:
        with kirimo.Movie(path, threads=decoder_threads) as movie:
            return len(movie[0:frames:25])

    rows = [f"| four movies, frames 0–{frames} every 25th, each | one thread | two threads "
            "| speed-up |", "|---|---|---|---|"]
    for decoder_threads in (1, 0):
        log(f"  four movies, decoder threads {decoder_threads} ...")
        one, _ = median_seconds(lambda: [work(p, decoder_threads) for p in paths], repeats)

        def two():
            with concurrent.futures.ThreadPoolExecutor(2) as pool:
                return list(pool.map(lambda p: work(p, decoder_threads), paths))
        both, _ = median_seconds(two, repeats)
        label = "one decoder thread a movie" if decoder_threads == 1 else "decoder threads: auto"
        rows.append(f"| {label} | {one:.2f} s | {both:.2f} s | {one / both:.2f}× |")
    return "\n".join(rows)


def resident_megabytes() -> float:
    with open("/proc/self/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return float("nan")


def memory(path: str) -> str:
    import kirimo
    log("  iterating the ten-minute movie ...")
    with kirimo.Movie(path, threads=1) as movie:
        count = len(movie)
        marks = {0: "start", count // 2: "middle", count - 1: "end"}
        sizes, began = {}, time.perf_counter()
        before = resident_megabytes()
        for n, _ in enumerate(movie):
            if n in marks:
                sizes[marks[n]] = resident_megabytes()
        seconds = time.perf_counter() - began
    return (f"Resident size iterating (one decoder thread) {count} frames of 1080p "
            f"({count / RATE / 60:.0f} min, {seconds:.0f} s): after opening {before:.0f} MB, "
            f"start {sizes['start']:.0f} MB, "
            f"middle {sizes['middle']:.0f} MB, end {sizes['end']:.0f} MB")


SECTIONS = ["speed", "exactness", "opening", "threads", "memory"]


def main() -> int:
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quick", action="store_true",
                        help="smaller movies, one run each, shorter time limits")
    parser.add_argument("--build", default=os.path.join(root, "build"))
    parser.add_argument("--scratch", help="where the movies go, kept and used again by the next "
                        "run (default: a new temporary folder)")
    parser.add_argument("--keep", action="store_true", help="keep the movies")
    parser.add_argument("--repeats", type=int,
                        help="runs of each timing, the median reported (default 3; 1 with --quick)")
    parser.add_argument("--only", nargs="+", choices=SECTIONS, default=SECTIONS,
                        help="run these parts only (default: all)")
    options = parser.parse_args()
    sys.path.insert(0, os.path.join(options.build, "python"))
    import av
    import cv2
    import kirimo
    repeats = options.repeats or (1 if options.quick else 3)
    budget = 10.0 if options.quick else 25.0
    global REUSE
    REUSE = bool(options.scratch)
    folder = options.scratch or tempfile.mkdtemp(prefix="python-readers-")
    os.makedirs(folder, exist_ok=True)
    try:
        movies = make_movies(folder, options.quick)
        known: dict[str, Tally] = {}

        def show(*lines: str) -> None:  # each table as soon as it is known
            print(*lines, f"\n(load average {os.getloadavg()[0]:.1f})\n", flush=True)
        print(f"PyAV {av.__version__}, OpenCV {cv2.__version__}, kirimo {kirimo.__version__}; "
              f"{'one run' if repeats == 1 else f'medians of {repeats}'}\n", flush=True)
        if "speed" in options.only:
            log("Speed ...")
            show(speed(movies.main, repeats, known))
        if "exactness" in options.only:
            log("Wrong frames ...")
            show("Wrong frames: by index (100 random frames) · by time (60 times, 40 of them "
                 f"1 ms off a frame's start); a cell stops after {budget:.0f} s (not kirimo's "
                 "one call)\n",
                 accuracy(movies, budget, known))
        if "opening" in options.only:
            log("Opening ...")
            show(opening(movies, folder, repeats))
        if "threads" in options.only:
            log("Threads ...")
            show(threads(movies.main, folder, repeats, 100 if options.quick else 500))
        if "memory" in options.only:
            show(memory(movies.ten_minutes))
    finally:
        if not options.keep and not options.scratch:
            shutil.rmtree(folder, ignore_errors=True)
    return 0


if __name__ == "__main__":
    status = main()
    # PyAV's frame-thread decoders can hang the interpreter's shutdown: leave at once.
    sys.stdout.flush()
    os._exit(status)
