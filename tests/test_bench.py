"""The command line: `python -m velmora`, its benchmark, its usage errors and its figures."""
import json
import subprocess
import sys
from datetime import datetime, timedelta, timezone

import pytest

from velmora import bench


def velmora(*args):
    return subprocess.run([sys.executable, "-m", "velmora", *args], capture_output=True, text=True)


@pytest.mark.slow
def test_bench_command_writes_every_row(tmp_path):
    out = tmp_path / "figures.json"
    result = velmora("bench", "--quick", "--json", str(out))
    assert result.returncode == 0, result.stderr
    text = out.read_text()
    figures = json.loads(text)
    assert text.isascii() and figures["mode"] == "quick"
    age = datetime.now(timezone.utc) - datetime.fromisoformat(figures["timestamp"])
    assert timedelta(0) <= age < timedelta(minutes=10)
    assert [row["operation"] for row in figures["rows"]] == [op for op, _ in bench.ROWS]
    assert figures["peers"] == ["velmora", "pygame-ce", "PyGLM", "CPython"]
    for row in figures["rows"]:
        assert row["ns"]["velmora"] is not None and row["ns"]["CPython"] is not None
        assert list(row["ratios"]) == ["per_peer", "per_floor"]
        assert row["operation"] in result.stdout
    env = figures["environment"]
    assert env["python"] == sys.version.split()[0] and set(env["versions"]) == {"velmora", "pygame-ce", "PyGLM"}
    assert env["versions"]["velmora"] and env["machine"]["cpus"] >= 1
    assert result.stderr == ""  # no progress drawn into a pipe


@pytest.mark.slow
@pytest.mark.parametrize(
    "args, code, stdout, stderr",
    [
        (["--help"], 0, ["usage: python -m velmora", "bench", "the full benchmark"], []),
        (["bench", "--help"], 0, ["usage: python -m velmora bench", "--quick", "--json"], []),
        (["foo"], 2, [], ["usage: python -m velmora", "invalid choice: 'foo'"]),
        (["bench", "--slow"], 2, [], ["unrecognized arguments: --slow"]),
        # An unwritable report is refused before the tour or any measurement, in one line.
        (["bench", "--json", "/nonexistent/f.json"], 2, [],
         ["python -m velmora bench: error: cannot write /nonexistent/f.json: No such file or directory\n"]),
        (["--json", "/"], 2, [], ["python -m velmora: error: cannot write /: Is a directory\n"]),
    ],
)
def test_command_line_usage(args, code, stdout, stderr):
    result = velmora(*args)
    assert result.returncode == code
    assert all(text in result.stdout for text in stdout) and all(text in result.stderr for text in stderr)
    assert "velmora tour" not in result.stdout and (code == 0 or result.stdout == "")
    assert "Traceback" not in result.stderr


def test_table_names_missing_peers():
    result = {
        "peers": ["velmora", "pygame-ce", "PyGLM", "CPython"],
        "available": {"velmora": True, "pygame-ce": False, "PyGLM": True, "CPython": True},
        "environment": {"python": "3.x", "machine": {"processor": "cpu"}},
        "rows": [{"operation": "add Vector2", "ns": {"velmora": 8.0, "pygame-ce": None, "PyGLM": 16.0, "CPython": 5.0},
                  "ratios": {"per_peer": 0.5, "per_floor": 1.6}}],
    }
    text = bench.table(result)
    assert "missing" in text and "0.50" in text and "1.60" in text
