"""Frames by number and by time are the pictures drawn into them, on every kind of movie."""

import subprocess

import numpy as np
import pytest

import kirimo
from conftest import COUNT, HEIGHT, KINDS, WIDTH, number_of, vfr_start


@pytest.mark.parametrize("kind", KINDS)
def test_frames_come_exact_in_the_order_asked(numbered_movies, kind):
    with kirimo.Movie(numbered_movies[kind]) as movie:
        assert len(movie) == COUNT
        # Backwards, repeated, across key frames, and from the end.
        asked = [59, 3, 3, 40, 0, 17, 58, -1, -60]
        pictures = movie[asked]
        assert pictures.shape == (len(asked), HEIGHT, WIDTH, 3)
        assert [number_of(p) for p in pictures] == [n % COUNT for n in asked]
        assert [number_of(p) for p in movie[np.array([31, 30], np.int32)]] == [31, 30]
        assert [number_of(p) for p in movie[50:10:-13]] == [50, 37, 24, 11]
        assert number_of(movie[-2]) == COUNT - 2
        # Iteration reads on from wherever indexing left the decoder.
        assert [number_of(p) for p in movie] == list(range(COUNT))


def test_pictures_land_in_plain_arrays_of_each_channel_order(chart_movie):
    red, green, blue, white = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)
    corners = [(0, 0), (0, WIDTH - 1), (HEIGHT - 1, 0), (HEIGHT - 1, WIDTH - 1)]
    for colour, expected in [("rgb", [red, green, blue, white]),
                             ("bgr", [blue, green, red, white]),
                             ("rgba", [red + (255,), green + (255,), blue + (255,),
                                       white + (255,)])]:
        picture = kirimo.Movie(chart_movie, colour=colour)[1]
        assert picture.flags["C_CONTIGUOUS"] and picture.dtype == np.uint8
        assert [tuple(picture[y, x]) for y, x in corners] == expected, colour
    assert kirimo.Movie(chart_movie, size=(64, 24))[0].shape == (24, 64, 3)
    assert kirimo.Movie(chart_movie, size="50%")[[0, 2]].shape == (2, HEIGHT // 2, WIDTH // 2, 3)


def test_times_choose_the_frame_shown_then(vfr_movie):
    movie = kirimo.Movie(vfr_movie)
    starts = [vfr_start(n) for n in range(COUNT)]
    assert np.allclose(movie.frame_times, starts, atol=1e-9)
    assert movie.duration == pytest.approx(starts[-1] + 1 / 25)
    # A millisecond before a frame starts, its predecessor still shows.
    times = [t - 0.001 for t in starts[1:]] + starts
    expected = list(range(COUNT - 1)) + list(range(COUNT))
    assert movie.frame_index_at(times).tolist() == expected
    assert movie.frame_index_at(starts[25]) == 25
    asked = [starts[30] + 0.02, starts[5] - 0.001, 0.0]
    assert [number_of(p) for p in movie.frames_played_at(asked)] == [30, 4, 0]
    assert number_of(movie.frame_played_at(starts[19] + 0.05)) == 19
    with pytest.raises(ValueError, match="lies past"):
        movie.frame_played_at(starts[-1] + 0.05)
    with pytest.raises(ValueError):
        movie.frame_index_at(-1.0)
    with pytest.raises(TypeError):
        movie.frame_index_at([0.5, None])


def test_each_frames_own_start_time_names_it(movie_folder):
    # 8.04 s and others are a hair below their nanosecond as floats: rounding, not truncation.
    path = str(movie_folder / "long.mp4")
    subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", "testsrc=s=32x32:r=25:d=9",
                    "-c:v", "libx264", "-preset", "ultrafast", path], check=True)
    movie = kirimo.Movie(path)
    assert movie.frame_index_at(movie.frame_times).tolist() == list(range(len(movie)))


def test_facts_match_the_command_line(numbered_movies, run_extract):
    import json
    movie = kirimo.Movie(numbered_movies["mp4-h264"])
    printed = json.loads(run_extract("--info", "--json", numbered_movies["mp4-h264"]))
    assert movie.info == printed
    assert (movie.width, movie.height, movie.fps) == (WIDTH, HEIGHT, 25)
    assert movie.key_frames.tolist() == [0, 24, 48]


def test_scenes_start_where_the_pictures_cut(movie_folder):
    from conftest import encode, numbered_picture
    pictures = [numbered_picture(n) for n in range(20)]
    other_shot = np.random.default_rng(1).integers(0, 256, (HEIGHT, WIDTH, 3), np.uint8)
    other_shot[:, :, 2] = 200
    pictures += [other_shot] * 25
    path = encode(movie_folder / "cut.mp4", pictures, ["-c:v", "libx264", "-crf", "12"])
    assert kirimo.Movie(path).scenes() == [0, 20]
