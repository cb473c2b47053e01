"""The benchmark command: runs, reports every row, writes its figures."""
import json

import pytest
import subprocess
import sys

from velmora import bench


@pytest.mark.slow
def test_bench_command_writes_every_row(tmp_path):
    out = tmp_path / "figures.json"
    result = subprocess.run([sys.executable, "-m", "velmora", "bench", "--quick", "--json", str(out)],
                            capture_output=True, text=True, check=True)
    figures = json.loads(out.read_text())
    assert [row["operation"] for row in figures["rows"]] == [row[0] for row in bench.ROWS]
    assert figures["peers"] == ["velmora", "pygame-ce", "PyGLM", "CPython"]
    for row in figures["rows"]:
        assert row["ns"]["velmora"] is not None and row["ns"]["CPython"] is not None
        assert row["operation"] in result.stdout
    assert "measuring" in result.stderr  # the progress line


def test_table_names_missing_peers():
    result = {
        "peers": ["velmora", "pygame-ce", "PyGLM", "CPython"],
        "available": [True, False, True, True],
        "rows": [{"operation": "add Vector2", "ns": {"velmora": 8.0, "pygame-ce": None, "PyGLM": 16.0, "CPython": 5.0},
                  "vs_fastest_peer": 0.5, "vs_floor": 1.6}],
    }
    text = bench.table(result)
    assert "missing" in text and "0.50" in text and "1.60" in text
