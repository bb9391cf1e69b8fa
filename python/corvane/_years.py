"""corvane.Years: the years of a sexagenary pair in a span, as a lazy sequence."""
from __future__ import annotations

import collections.abc
from typing import Any, Union, overload


def _western(year: int) -> int:
    """The year of an astronomical year number (0 is 1 BC, so there is no year 0)."""
    return year if year > 0 else year - 1


def _astronomical(year: int) -> int:
    return year if year > 0 else year + 1


class Years(collections.abc.Sequence):
    """The Western years of a pair in a span (no year 0), ascending, as ``range`` holds numbers.

    It holds three numbers, whatever the span: ``len``, indexing, slicing, ``in``, ``index`` and
    ``count`` cost constant time; iterating costs the years it gives. Equal to a list or tuple of
    the same years.
    """

    __slots__ = ("_range",)

    def __init__(self, astronomical: range) -> None:
        if astronomical.step <= 0:
            raise ValueError("the years of a pair ascend")
        self._range = astronomical

    def __len__(self) -> int:
        return len(self._range)

    @overload
    def __getitem__(self, index: int) -> int: ...
    @overload
    def __getitem__(self, index: slice) -> Union[Years, list[int]]: ...

    def __getitem__(self, index: Union[int, slice]) -> Union[int, Years, list[int]]:
        if isinstance(index, slice):
            part = self._range[index]
            return Years(part) if part.step > 0 else [_western(y) for y in part]
        return _western(self._range[index])

    def __iter__(self) -> collections.abc.Iterator[int]:
        return map(_western, self._range)

    def __reversed__(self) -> collections.abc.Iterator[int]:
        return map(_western, reversed(self._range))

    def __contains__(self, year: object) -> bool:
        return isinstance(year, int) and year != 0 and _astronomical(year) in self._range

    def index(self, year: Any, start: int = 0, stop: Any = None) -> int:
        if start != 0 or stop is not None:
            return super().index(year, start, stop)
        if year not in self:
            raise ValueError(f"{year!r} is not in the years")
        return self._range.index(_astronomical(year))

    def count(self, year: Any) -> int:
        return int(year in self)

    def __eq__(self, other: object) -> bool:
        if isinstance(other, Years):
            return list(self._range[:1]) == list(other._range[:1]) and len(self) == len(other) and (
                len(self) < 2 or self._range.step == other._range.step)
        if isinstance(other, (list, tuple)):
            return len(other) == len(self) and all(a == b for a, b in zip(self, other))
        return NotImplemented

    def __hash__(self) -> int:
        return hash((Years, len(self), self[0] if self else None, self._range.step if len(self) > 1 else None))

    def __repr__(self) -> str:
        if len(self) <= 6:
            return f"corvane.Years({list(self)!r})"
        return f"corvane.Years([{self[0]}, {self[1]}, ..., {self[-1]}], {len(self)} years)"

    def __reduce__(self) -> tuple[type, tuple[range]]:
        return Years, (self._range,)
