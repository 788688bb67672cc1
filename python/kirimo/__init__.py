"""Exact frames of movies as NumPy arrays, and kirimo-extract's files from Python.

    import kirimo
    with kirimo.Movie("clip.mp4") as movie:
        picture = movie[100]             # (height, width, 3) uint8, RGB
        batch = movie[::25]              # every 25th frame, (n, height, width, 3)
    kirimo.extract(["a.mp4", "b.avi"], "frames", interval=25, format="png")

Frame n is always the n-th picture shown, counted from 0.
"""

from __future__ import annotations

import json
import os
import tempfile
from typing import Any, Iterable, Sequence, Union

from ._kirimo import DamagedFrame, Error, Movie, NotAMovie, __version__, _run_extract

# Shown as kirimo.Movie, where users import it from.
Movie.__module__ = "kirimo"

__all__ = ["Movie", "Error", "NotAMovie", "DamagedFrame", "extract", "__version__"]

PathLike = Union[str, "os.PathLike[str]"]

# Options that choose frames or name files by something other than the frame itself: a movie
# given them is one task, never split into stretches.
_WHOLE_MOVIE_OPTIONS = {"start", "end", "at", "every", "keyframes", "scenes", "frames"}


def _arguments(options: dict[str, Any]) -> list[str]:
    """The command line's arguments for keyword options: every_thing=3 is --every-thing 3."""
    arguments: list[str] = []
    for name, value in options.items():
        if value is None or value is False:
            continue
        flag = "--" + name.replace("_", "-")
        if value is True:
            arguments.append(flag)
        elif isinstance(value, (list, tuple)):
            arguments += [flag, ",".join(str(v) for v in value)]
        else:
            arguments += [flag, os.fspath(value) if isinstance(value, os.PathLike) else str(value)]
    return arguments


def _run(movies: Sequence[str], out: str, options: dict[str, Any]) -> list[dict[str, Any]]:
    """One in-process run of kirimo-extract; its manifest records, or the error it ended with."""
    with tempfile.TemporaryDirectory(prefix="kirimo-") as scratch:
        manifest = os.path.join(scratch, "manifest.jsonl")
        arguments = _arguments(options) + ["--out", out, "--manifest", manifest, "--", *movies]
        status, _, errors = _run_extract(arguments)
        if status == 2:
            raise ValueError(errors.strip())
        if status != 0:
            raise Error(errors.strip())
        with open(manifest, encoding="utf-8") as lines:
            return [json.loads(line) for line in lines if line.strip()]


def _stretches(path: str, options: dict[str, Any], frames_per_task: int) -> list[dict[str, Any]]:
    """The options of each task for one movie: stretches of it where the frames chosen and
    their names depend on the frame alone, else the movie whole."""
    if _WHOLE_MOVIE_OPTIONS & options.keys() or "{index}" in str(options.get("name", "")):
        return [options]
    interval = int(options.get("interval", 1))
    with Movie(path) as movie:
        count = len(movie)
    # Each stretch starts on a frame the whole run would write.
    step = max(interval, frames_per_task // interval * interval)
    return [dict(options, start=first, end=min(first + step, count) - 1)
            for first in range(0, count, step)]


def extract(paths: Union[PathLike, Iterable[PathLike]], out: PathLike, *, client: Any = None,
            frames_per_task: int = 2000, **options: Any) -> list[dict[str, Any]]:
    """Writes frames of movies as kirimo-extract does, with the same files.

    Options are the command line's, named without their dashes: interval=25 is
    --interval 25, keep_going=True is --keep-going, frames=[1, 5, 9] is --frames 1,5,9.
    Returns the manifest: one dict a frame asked for (movie, frame, time, key, file, status,
    reason), in frame order per movie.

    With a Dask distributed Client as `client`, each movie, and each stretch of
    `frames_per_task` frames of a long movie, is a task on the cluster; every worker must see
    the movies and `out` under the same paths. Raises ValueError for a wrong option (the
    command line's words) and kirimo.Error when a movie, frame or file fails.
    """
    movies = [os.fspath(paths)] if isinstance(paths, (str, os.PathLike)) else [
        os.fspath(p) for p in paths]
    out = os.fspath(out)
    if client is None:
        return _run(movies, out, options)
    if frames_per_task < 1:
        raise ValueError(f"frames_per_task must be 1 or more, not {frames_per_task}")
    tasks = [client.submit(_run, [movie], out, stretch, pure=False)
             for movie in movies for stretch in _stretches(movie, options, frames_per_task)]
    records: list[dict[str, Any]] = []
    for result in client.gather(tasks):
        records += result
    return records
