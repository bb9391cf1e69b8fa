"""Japanese era dates and chronology tables (Corvane).

Era-name, event and base-year tables in their code page 932 files, era dates both ways, and the
sexagenary years. Texts are str; the files' code page 932 stays inside.
"""
import datetime as _datetime
import os as _os
from typing import Union as _Union

from ._corvane import *  # noqa: F401,F403 - the tables, the dates and their errors
from ._corvane import Date, __version__, _years_of
from ._years import Years

# What the functions take as a file name and as a date.
StrPath = _Union[str, _os.PathLike, bytes]
DateLike = _Union[Date, str, _datetime.date]

Years.__module__ = "corvane"


def years_of(pair: str, start: int, end: int) -> Years:
    """The Western years from start to end (inclusive; no year 0) of a pair ('甲子') or of a branch
    alone ('子', any stem), ascending, as a lazy sequence: it holds three numbers whatever the span.
    Raises ValueError for a text that is neither."""
    return Years(_years_of(pair, start, end))
