# The workshop: `make help` lists the targets. Each runs with $(PYTHON), the interpreter of the
# active virtual environment unless you name another: make test PYTHON=python3.13
PYTHON ?= python
SOURCES = $(shell git ls-files 'src/*.c' 'src/*.cpp' 'src/*.hpp' 'src/*.h' 'tests/rows/*.cpp')

.PHONY: help build test quick lint format stubs bench limit ci

help:
	@echo "make build    install velmora and its test dependencies into the environment (warnings as errors)"
	@echo "make test     the whole suite; make quick leaves out the slow tests"
	@echo "make lint     clang-format, ruff and mypy, as CI checks them"
	@echo "make format   apply clang-format and ruff's fixes"
	@echo "make stubs    regenerate the type stubs from the built modules (after make build)"
	@echo "make bench    the benchmark beside pygame-ce and PyGLM; make limit, instructions against the limit types"
	@echo "make ci       CI's whole run (.ci/run; root, Debian, a long while)"

build:
	$(PYTHON) -m pip install -C cmake.define.VELMORA_WERROR=ON '.[test,bench,lint]'

test:
	$(PYTHON) -m pytest -q

quick:
	$(PYTHON) -m pytest -q -m "not slow"

lint:
	clang-format --dry-run --Werror $(SOURCES)
	$(PYTHON) -m ruff check .
	$(PYTHON) -m mypy

format:
	clang-format -i $(SOURCES)
	$(PYTHON) -m ruff check --fix .

stubs:
	$(PYTHON) tools/generate_stubs.py

bench:
	$(PYTHON) -m velmora bench

limit:
	$(PYTHON) tests/bench_limit.py --instructions

ci:
	.ci/run
