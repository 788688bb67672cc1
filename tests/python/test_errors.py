"""Every failure raises the exception a Python user looks for, with the command line's words."""

import os
import random
import subprocess

import pytest

import kirimo


def damaged_copy(source, folder, frame, start=300, length=100):
    """A copy with bytes inside one frame's data overwritten."""
    size_and_pos = subprocess.run(
        ["ffprobe", "-v", "error", "-select_streams", "v", "-show_entries", "packet=pos,size",
         "-of", "csv=p=0", source], check=True, capture_output=True, text=True).stdout.split()
    size, pos = map(int, size_and_pos[frame].split(","))
    copy = folder / ("damaged" + os.path.splitext(source)[1])
    data = bytearray(open(source, "rb").read())
    noise = random.Random(7)
    start = min(start, size // 3)
    length = min(length, size // 3)
    data[pos + start:pos + start + length] = bytes(noise.randrange(256) for _ in range(length))
    copy.write_bytes(bytes(data))
    return str(copy)


def test_files_that_are_no_movie(tmp_path):
    with pytest.raises(FileNotFoundError):
        kirimo.Movie(tmp_path / "missing.mp4")
    with pytest.raises(IsADirectoryError):
        kirimo.Movie(tmp_path)
    text = tmp_path / "notes.avi"
    text.write_text("not a movie at all\n" * 50)
    with pytest.raises(kirimo.NotAMovie) as raised:
        kirimo.Movie(text)
    assert isinstance(raised.value, kirimo.Error) and "notes.avi" in str(raised.value)


def test_wrong_keys_and_values(numbered_movies):
    movie = kirimo.Movie(numbered_movies["avi-mjpeg"])
    for key in (60, -61, [0, 60]):
        with pytest.raises(IndexError, match="0 to 59"):
            movie[key]
    for key in ("3", 1.5, [1.5], True, None, {"a": 1}):
        with pytest.raises(TypeError):
            movie[key]
    for options in ({"colour": "hsv"}, {"threads": -1}, {"size": "abc"}, {"size": "0x"}):
        with pytest.raises(ValueError):
            kirimo.Movie(numbered_movies["avi-mjpeg"], **options)
    with pytest.raises(TypeError):
        kirimo.Movie(numbered_movies["avi-mjpeg"], size=3)
    with pytest.raises(ValueError, match="1 to 100"):
        movie.scenes(0)
    movie.close()
    with pytest.raises(ValueError, match="closed"):
        movie[0]


def test_a_damaged_frame_is_never_handed_out(numbered_movies, tmp_path):
    movie = kirimo.Movie(damaged_copy(numbered_movies["avi-mjpeg"], tmp_path, 30))
    for asked in (30, [29, 30, 31], slice(28, 32)):
        with pytest.raises(kirimo.DamagedFrame) as raised:
            movie[asked]
        assert raised.value.frame == 30 and raised.value.depends_on is None
        assert isinstance(raised.value, kirimo.Error)
    # The movie stays usable: an intra-only movie's other frames are sound.
    from conftest import number_of
    assert [number_of(p) for p in movie[[31, 29]]] == [31, 29]
    (tmp_path / "first").mkdir()
    with pytest.raises(kirimo.DamagedFrame) as raised:
        kirimo.Movie(damaged_copy(numbered_movies["avi-mjpeg"], tmp_path / "first", 0))[0]
    assert raised.value.frame == 0


def test_frame_threads_never_hand_out_a_damaged_picture(tmp_path):
    # Large enough for frame threads, one key frame: the damage reaches every later frame.
    clean = tmp_path / "clean.mp4"
    subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", "testsrc2=s=1280x720:r=25:d=2.4",
                    "-c:v", "libx264", "-preset", "ultrafast", "-g", "250", "-pix_fmt", "yuv420p",
                    str(clean)], check=True)
    damaged = damaged_copy(str(clean), tmp_path, 30, start=10**9, length=10**9)
    for threads in (0, 1):
        with pytest.raises(kirimo.DamagedFrame) as raised:
            kirimo.Movie(damaged, threads=threads)[list(range(60))]
        assert raised.value.frame == 30
