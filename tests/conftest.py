import pytest

from helpers import VECTORS

pytest_plugins = ["leak_hunter"]


@pytest.fixture(params=VECTORS, ids=lambda f: f.name)
def fam(request):
    return request.param
