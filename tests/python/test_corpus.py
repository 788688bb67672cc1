"""Every movie the fuzzers made opens and reads through the module without harming the
interpreter: an error of its kinds, or pictures. Run after scripts/fuzz.sh, with
KIRIMO_MOVIE_CORPUS naming its corpus folders (os.pathsep between them)."""

import os
import pathlib

import pytest

import kirimo

FOLDERS = [f for f in os.environ.get("KIRIMO_MOVIE_CORPUS", "").split(os.pathsep) if f]


@pytest.mark.skipif(not FOLDERS, reason="KIRIMO_MOVIE_CORPUS names no fuzz corpus")
def test_every_corpus_movie_reads_or_raises_cleanly():
    files = [p for folder in FOLDERS for p in sorted(pathlib.Path(folder).iterdir()) if p.is_file()]
    assert files, f"no files in {FOLDERS}"
    outcomes = {"read": 0, "refused": 0}
    for path in files:
        try:
            with kirimo.Movie(path, threads=1) as movie:
                count = len(movie)
                for key in (slice(None, None, max(1, count // 8)), -1, [count - 1, 0]):
                    try:
                        movie[key]
                    except kirimo.DamagedFrame:
                        pass
                movie.frame_index_at(list(movie.frame_times[:3]))
            outcomes["read"] += 1
        except (kirimo.Error, ValueError):
            outcomes["refused"] += 1
    print(f"{len(files)} corpus files: {outcomes}")
