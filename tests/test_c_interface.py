"""The README's C example, compiled as written against the *installed* headers
(velmora.get_include()) in plain C11: proof that the interface works from outside."""
import os
import subprocess
import sys
from pathlib import Path

import pytest

import velmora
from helpers import build_extension, load_extension, readme_blocks
from velmora.rect.rect import Rect


def build_as_shown(source: str, folder: Path) -> Path:
    """Runs the README's build command in a shell, in a virtual environment: this
    interpreter's when it is one, else a fresh one that sees this interpreter's packages."""
    venv = Path(sys.prefix)
    if sys.prefix == sys.base_prefix:
        venv = folder / "venv"
        subprocess.run([sys.executable, "-m", "venv", "--without-pip", "--system-site-packages", str(venv)], check=True)
    (folder / "mygame.c").write_text(source)
    command = next(block for block in readme_blocks("sh") if "mygame.c" in block)
    env = dict(os.environ, VIRTUAL_ENV=str(venv), PATH=f"{venv / 'bin'}{os.pathsep}{os.environ['PATH']}")
    result = subprocess.run(["sh", "-c", command], cwd=folder, env=env, capture_output=True, text=True)
    assert result.returncode == 0, result.stderr
    return folder


@pytest.mark.slow
@pytest.mark.parametrize("build", ["warnings as errors", "as the README shows"])
def test_readme_example_compiles_and_runs(build, tmp_path):
    include = Path(velmora.get_include())
    assert (include / "velmora.h").is_file() and (include / "velmora_records.h").is_file()
    assert "site-packages" in str(include) or "dist-packages" in str(include), include
    source = readme_blocks("c")[0]
    folder = build_extension("mygame", source) if build == "warnings as errors" else build_as_shown(source, tmp_path)
    mygame = load_extension("mygame", folder)  # named with this interpreter's suffix

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
