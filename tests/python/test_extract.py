"""kirimo.extract writes the command line's files, alone and spread over a Dask cluster."""

import subprocess

import pytest

import kirimo
from conftest import extract_program


def files_of(folder):
    return {path.relative_to(folder): path.read_bytes()
            for path in sorted(folder.rglob("*")) if path.is_file()}


def test_extract_writes_the_command_lines_files(numbered_movies, tmp_path):
    movies = [numbered_movies["mp4-h264"], numbered_movies["avi-mjpeg"]]
    subprocess.run([extract_program(), "--interval", "7", "--format", "png", "--out-per-movie",
                    "--out", str(tmp_path / "cli"), *movies], check=True, capture_output=True)
    records = kirimo.extract(movies, tmp_path / "local", interval=7, format="png",
                             out_per_movie=True)
    expected = files_of(tmp_path / "cli")
    assert len(expected) == 18 and files_of(tmp_path / "local") == expected
    for movie in movies:  # movies may interleave, each in frame order
        assert [r["frame"] for r in records if r["movie"] == movie] == list(range(0, 60, 7))
    assert {r["status"] for r in records} == {"written"}

    distributed = pytest.importorskip("distributed")
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster) as client:
        # Stretches of 20 frames: each starts on a frame the whole run writes.
        records = kirimo.extract(movies, tmp_path / "cluster", client=client, frames_per_task=20,
                                 interval=7, format="png", out_per_movie=True)
    assert files_of(tmp_path / "cluster") == expected
    assert sorted(r["frame"] for r in records) == sorted(list(range(0, 60, 7)) * 2)


def test_extract_refuses_what_the_command_line_refuses(numbered_movies, tmp_path):
    with pytest.raises(ValueError, match="--quality"):
        kirimo.extract(numbered_movies["avi-mjpeg"], tmp_path, quality="abc")
    with pytest.raises(kirimo.Error, match="no such file"):
        kirimo.extract(tmp_path / "missing.avi", tmp_path)
