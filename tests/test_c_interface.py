"""The README's C example, compiled as written against the *installed* headers
(velmora.get_include()) in plain C11: proof that the interface works from outside."""
import re
from pathlib import Path

import pytest

import velmora
from helpers import build_extension, load_extension
from velmora.rect.rect import Rect

README = Path(__file__).resolve().parent.parent / "README.md"


@pytest.mark.slow
def test_readme_example_compiles_and_runs():
    include = Path(velmora.get_include())
    assert (include / "velmora.h").is_file() and (include / "velmora_records.h").is_file()
    assert "site-packages" in str(include) or "dist-packages" in str(include), include
    source = re.search(r"```c\n(.*?)```", README.read_text(), re.S).group(1)
    mygame = load_extension("mygame", build_extension("mygame", source))

    r = mygame.make(0, 0, 10, 0.1)
    assert type(r) is Rect and r == Rect(0, 0, 10, 0.1)
    assert mygame.record(r) == (0.0, 0.0, 10.0, Rect(0, 0, 0, 0.1).height)
    assert mygame.hits(r, 10, 0.1) is True and mygame.hits(r, 10.5, 0) is False

    class Overrides(Rect):
        def collide_point_vector2(self, point):
            return point.x > 100

    assert mygame.hits(Overrides(0, 0, 10, 10), 150, 0) is True  # the override is honoured
    with pytest.raises(TypeError):
        mygame.hits((0, 0, 1, 1), 0, 0)
