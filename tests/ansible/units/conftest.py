# The collection's modules run in this process against fake-vrx-provision, which prints the report records it
# is told to and notes what it was given.
import atexit
import json
import os
import pathlib
import shutil
import sys
import tempfile

import pytest

REPO = pathlib.Path(__file__).resolve().parents[3]
FAKE = pathlib.Path(__file__).resolve().parent / 'fake-vrx-provision'

# The collection is imported as Ansible finds it: ansible_collections/halvik/vrx on the path.
_collections = tempfile.mkdtemp(prefix='vrx-collections-')
atexit.register(shutil.rmtree, _collections, True)
os.makedirs(os.path.join(_collections, 'ansible_collections', 'halvik'))
os.symlink(REPO / 'ansible', os.path.join(_collections, 'ansible_collections', 'halvik', 'vrx'))
sys.path.insert(0, _collections)

from ansible.module_utils import basic  # noqa: E402


def start(mode='apply'):
    return {'type': 'start', 'schema': 2, 'program': 'vrx-provision', 'version': '2.3.0', 'mode': mode,
            'answer_file': 'site.toml', 'answer_sha256': '00' * 32, 'started': '2026-12-11T13:00:00Z'}


def step(mac, index, name, status, before=None, after=None, detail='', reason=''):
    return {'type': 'step', 'recorder': mac, 'index': index, 'step': name, 'status': status, 'reason': reason,
            'before': before, 'after': after, 'detail': detail}


def recorder(mac, index, result, changed=0, would_change=0, unchanged=0, detail='', reason=''):
    return {'type': 'recorder', 'recorder': mac, 'index': index, 'result': result, 'changed': changed,
            'would_change': would_change, 'unchanged': unchanged, 'seconds': 1.5, 'reason': reason,
            'detail': detail}


def end(exit_code, steps_changed=0, steps_would_change=0, **results):
    counts = dict.fromkeys(('done', 'planned', 'refused', 'failed', 'interrupted', 'skipped'), 0)
    counts.update(results)
    return {'type': 'end', 'results': counts, 'steps_changed': steps_changed,
            'steps_would_change': steps_would_change, 'exit_code': exit_code, 'signal': None,
            'formats_running': [], 'ended': '2026-12-11T13:00:09Z'}


def lines(*records):
    return ''.join(json.dumps(r) + '\n' for r in records)


class ModuleRunner:
    def __init__(self, tmp_path, capsys, monkeypatch):
        self.tmp = tmp_path
        self.capsys = capsys
        self.monkeypatch = monkeypatch
        self.log = tmp_path / 'fake-log.json'
        self.moduletmp = tmp_path / 'moduletmp'
        self.moduletmp.mkdir(mode=0o700)
        monkeypatch.setenv('FAKE_VRX_LOG', str(self.log))

    def answer(self, stdout='', rc=0, stderr=''):
        """What the fake prints and its exit code."""
        self.monkeypatch.setenv('FAKE_VRX_STDOUT', stdout)
        self.monkeypatch.setenv('FAKE_VRX_STDERR', stderr)
        self.monkeypatch.setenv('FAKE_VRX_RC', str(rc))

    def run(self, module, args, check=False, diff=False):
        """The module's result as Ansible would read it from its standard output."""
        payload = dict(args, executable=str(FAKE), _ansible_check_mode=check, _ansible_diff=diff,
                       _ansible_tmpdir=str(self.moduletmp), _ansible_remote_tmp=str(self.moduletmp),
                       _ansible_keep_remote_files=False)
        self.monkeypatch.setattr(basic, '_ANSIBLE_ARGS', json.dumps({'ANSIBLE_MODULE_ARGS': payload}).encode())
        with pytest.raises(SystemExit):
            module.main()
        return json.loads(self.capsys.readouterr().out)

    def given(self):
        """What the fake was given, or None when it never ran."""
        return json.loads(self.log.read_text()) if self.log.exists() else None


@pytest.fixture
def runner(tmp_path, capsys, monkeypatch):
    return ModuleRunner(tmp_path, capsys, monkeypatch)
