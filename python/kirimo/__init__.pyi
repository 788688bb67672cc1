"""Exact frames of movies as NumPy arrays, and kirimo-extract's files from Python."""

import os
from typing import Any, Iterable, Iterator, Literal, Sequence, SupportsIndex, Union, overload

import numpy as np
import numpy.typing as npt

__version__: str

_Path = Union[str, os.PathLike[str]]
_Picture = npt.NDArray[np.uint8]
_Seconds = Union[float, Sequence[float], npt.NDArray[np.floating[Any]]]

class Error(Exception):
    """Every error of kirimo's own derives from this."""

class NotAMovie(Error):
    """The file is no movie that can be read."""

class DamagedFrame(Error):
    """A frame whose picture cannot be trusted."""
    frame: int
    depends_on: int | None

class Movie:
    """A movie whose frames come as NumPy arrays; frame n is the n-th picture shown."""
    def __init__(
        self,
        path: _Path,
        *,
        autorotate: bool = True,
        square_pixels: bool = False,
        deinterlace: bool = False,
        size: str | tuple[int | None, int | None] | None = None,
        threads: int = 0,
        colour: Literal["rgb", "bgr", "rgba"] = "rgb",
        stream: int | None = None,
        index: _Path | bytes | None = None,
    ) -> None: ...
    def __len__(self) -> int: ...
    @property
    def width(self) -> int: ...
    @property
    def height(self) -> int: ...
    @property
    def fps(self) -> float: ...
    @property
    def duration(self) -> float: ...
    @property
    def frame_times(self) -> npt.NDArray[np.float64]: ...
    @property
    def key_frames(self) -> npt.NDArray[np.int64]: ...
    @property
    def info(self) -> dict[str, Any]: ...
    @property
    def closed(self) -> bool: ...
    @overload
    def __getitem__(self, key: SupportsIndex) -> _Picture: ...
    @overload
    def __getitem__(
        self, key: slice | Sequence[SupportsIndex] | npt.NDArray[np.integer[Any]]
    ) -> _Picture: ...
    def frames_played_at(self, seconds: _Seconds) -> _Picture: ...
    def frame_played_at(self, seconds: float) -> _Picture: ...
    @overload
    def frame_index_at(self, seconds: float) -> int: ...
    @overload
    def frame_index_at(
        self, seconds: Sequence[float] | npt.NDArray[np.floating[Any]]
    ) -> npt.NDArray[np.int64]: ...
    def scenes(self, sensitivity: int = 50) -> list[int]: ...
    def save_index(self, path: _Path) -> None: ...
    def close(self) -> None: ...
    def __enter__(self) -> "Movie": ...
    def __exit__(self, *exc_info: object) -> bool: ...
    def __iter__(self) -> Iterator[_Picture]: ...

def extract(
    paths: _Path | Iterable[_Path],
    out: _Path,
    *,
    client: Any = None,
    frames_per_task: int = 2000,
    **options: Any,
) -> list[dict[str, Any]]:
    """Writes frames of movies as kirimo-extract does, with the same files."""
