"""Movies sent to other processes and used from other threads."""

import multiprocessing
import os
import pickle
import threading

import pytest

import kirimo
from conftest import number_of


def test_a_pickled_movie_carries_its_index_and_options(numbered_movies, tmp_path):
    path = tmp_path / "copy.ts"
    path.write_bytes(open(numbered_movies["ts-h264"], "rb").read())
    movie = kirimo.Movie(path, colour="bgr", size="50%")
    copy = pickle.loads(pickle.dumps(movie))
    assert (copy[[7, 33]] == movie[[7, 33]]).all() and copy[0].shape == (48, 64, 3)
    # A saved index opens the movie without reading it, but only the movie it was made of.
    saved = tmp_path / "movie.index"
    movie.save_index(saved)
    assert number_of(kirimo.Movie(path, index=saved)[45]) == 45
    with pytest.raises(ValueError, match="another video stream"):
        kirimo.Movie(path, index=saved, stream=0)
    garbage = tmp_path / "garbage.index"
    garbage.write_bytes(saved.read_bytes()[:-5])
    with pytest.raises(kirimo.NotAMovie, match="cannot be used"):
        kirimo.Movie(path, index=garbage)
    os.utime(path, (0, 0))
    with pytest.raises(kirimo.Error, match="another version"):
        kirimo.Movie(path, index=saved)
    with pytest.raises(ValueError, match="needs no saved index"):
        kirimo.Movie(numbered_movies["avi-mjpeg"]).save_index(tmp_path / "avi.index")


def test_threads_decode_side_by_side_but_never_share_a_movie(numbered_movies):
    results = {}

    def read(kind):
        with kirimo.Movie(numbered_movies[kind], threads=1) as movie:
            results[kind] = [number_of(p) for p in movie[::-1]]

    threads = [threading.Thread(target=read, args=(kind,)) for kind in ("mp4-h264", "webm-vp9")]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert results == {kind: list(range(59, -1, -1)) for kind in ("mp4-h264", "webm-vp9")}

    shared = kirimo.Movie(numbered_movies["mkv-hevc-open-gop"], threads=1)
    refused = []
    busy = threading.Thread(target=lambda: [shared[::-1] for _ in range(5)])
    busy.start()
    # The GIL is free while the other thread decodes: this loop runs meanwhile.
    while busy.is_alive() and not refused:
        try:
            len(shared)
        except RuntimeError as error:
            refused.append(str(error))
    busy.join()
    assert refused and "another thread" in refused[0]


_inherited = None


def _frame_number(n):
    return number_of(_inherited[n])


def test_a_forked_child_uses_its_parents_movie(numbered_movies):
    global _inherited
    _inherited = kirimo.Movie(numbered_movies["mp4-h264"])
    _inherited[10]  # the parent's decoder has threads and a position
    with multiprocessing.get_context("fork").Pool(2) as pool:
        assert pool.map(_frame_number, [40, 5, 59]) == [40, 5, 59]
    assert number_of(_inherited[11]) == 11
