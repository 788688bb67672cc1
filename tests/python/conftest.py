"""Movies whose pictures carry their own frame number, made with the ffmpeg command line from
pictures drawn here: the truth our decoder is checked against."""

import os
import subprocess

import numpy as np
import pytest

WIDTH, HEIGHT = 128, 96
CELL = 16  # a bit of the frame number is a CELL x CELL square
BITS = 12


def numbered_picture(number: int) -> np.ndarray:
    """Grey, with the frame number's bits as white (1) and black (0) squares along the top."""
    picture = np.full((HEIGHT, WIDTH, 3), 128, np.uint8)
    for bit in range(BITS):
        row, column = divmod(bit, WIDTH // CELL)
        value = 255 if number >> bit & 1 else 0
        picture[row * CELL:(row + 1) * CELL, column * CELL:(column + 1) * CELL] = value
    # Something that moves, so inter frames are coded as such.
    picture[HEIGHT - 24:, (number * 3) % (WIDTH - 16):][:, :16] = (200, 40, 40)
    return picture


def number_of(picture: np.ndarray) -> int:
    """The frame number drawn into a decoded picture (rows top first, any channel order)."""
    number = 0
    for bit in range(BITS):
        row, column = divmod(bit, WIDTH // CELL)
        centre = picture[row * CELL + 4:(row + 1) * CELL - 4,
                         column * CELL + 4:(column + 1) * CELL - 4, :3]
        if centre.mean() > 128:
            number |= 1 << bit
    return number


def encode(path, pictures, codec_arguments, input_rate="25", filters=None):
    command = ["ffmpeg", "-v", "error", "-y", "-f", "rawvideo", "-pix_fmt", "rgb24", "-s",
               f"{WIDTH}x{HEIGHT}", "-r", input_rate, "-i", "-"]
    if filters:
        command += ["-vf", filters]
    command += [*codec_arguments, str(path)]
    subprocess.run(command, input=b"".join(p.tobytes() for p in pictures), check=True)
    return str(path)


COUNT = 60
# Every kind of file the C++ suites read: intra-only, B-frames, open GOPs, and the containers.
KINDS = {
    "avi-mjpeg": ("avi", ["-c:v", "mjpeg", "-q:v", "2", "-pix_fmt", "yuvj420p"]),
    "mp4-h264": ("mp4", ["-c:v", "libx264", "-crf", "12", "-g", "24", "-bf", "3",
                         "-pix_fmt", "yuv420p"]),
    "ts-h264": ("ts", ["-c:v", "libx264", "-crf", "12", "-g", "24", "-bf", "3",
                       "-pix_fmt", "yuv420p"]),
    "mkv-hevc-open-gop": ("mkv", ["-c:v", "libx265", "-x265-params",
                                  "log-level=error:keyint=20:open-gop=1:bframes=3", "-crf", "14",
                                  "-pix_fmt", "yuv420p"]),
    "webm-vp9": ("webm", ["-c:v", "libvpx-vp9", "-crf", "10", "-b:v", "0", "-g", "30",
                          "-pix_fmt", "yuv420p"]),
    "mpg-mpeg2": ("mpg", ["-c:v", "mpeg2video", "-q:v", "2", "-g", "12", "-bf", "2"]),
    "avi-mpeg4": ("avi", ["-c:v", "mpeg4", "-q:v", "2", "-g", "12", "-bf", "2"]),
}


@pytest.fixture(scope="session")
def movie_folder(tmp_path_factory):
    return tmp_path_factory.mktemp("movies")


@pytest.fixture(scope="session")
def numbered_movies(movie_folder):
    pictures = [numbered_picture(n) for n in range(COUNT)]
    return {kind: encode(movie_folder / f"{kind}.{extension}", pictures, arguments)
            for kind, (extension, arguments) in KINDS.items()}


# Frames 0-19 two ticks of 1/25 s apart, the rest one: a variable frame rate.
def vfr_start(n: int) -> float:
    return (2 * n if n < 20 else 40 + (n - 20)) / 25


@pytest.fixture(scope="session")
def vfr_movie(movie_folder):
    pictures = [numbered_picture(n) for n in range(COUNT)]
    return encode(movie_folder / "vfr.mp4", pictures,
                  ["-fps_mode", "passthrough", "-c:v", "libx264", "-crf", "12", "-bf", "2",
                   "-video_track_timescale", "25000"],
                  filters="setpts='if(lt(N,20),2*N,20+N)/(25*TB)'")


@pytest.fixture(scope="session")
def chart_movie(movie_folder):
    """Lossless: red, green, blue and white quarters."""
    picture = np.zeros((HEIGHT, WIDTH, 3), np.uint8)
    picture[:HEIGHT // 2, :WIDTH // 2] = (255, 0, 0)
    picture[:HEIGHT // 2, WIDTH // 2:] = (0, 255, 0)
    picture[HEIGHT // 2:, :WIDTH // 2] = (0, 0, 255)
    picture[HEIGHT // 2:, WIDTH // 2:] = (255, 255, 255)
    return encode(movie_folder / "chart.avi", [picture] * 3,
                  ["-c:v", "rawvideo", "-pix_fmt", "bgr24"])


def extract_program() -> str:
    return os.environ.get("KIRIMO_EXTRACT", "kirimo-extract")


@pytest.fixture(scope="session")
def run_extract():
    def run(*arguments):
        return subprocess.run([extract_program(), *arguments], check=True, capture_output=True,
                              text=True).stdout
    return run
