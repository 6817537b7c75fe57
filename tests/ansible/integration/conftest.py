# The site of sim/scenarios/site.json played by vrx-sim, with passwords of this run's own, and the collection
# built and installed as a person would get it (ansible-galaxy collection build, then install from the tarball).
# Runs only inside scripts/sandbox (ctest starts it there).
import json
import os
import pathlib
import re
import secrets
import select
import shutil
import signal
import subprocess
import sys
import threading
import time
import urllib.request

import pytest

REPO = pathlib.Path(os.environ.get('VRX_SOURCE_DIR') or pathlib.Path(__file__).resolve().parents[3])
BUILD = pathlib.Path(os.environ.get('VRX_BUILD_DIR') or REPO / 'build')
PROVISION = BUILD / 'tools' / 'provision' / 'vrx-provision'
SIM = BUILD / 'sim' / 'vrx-sim'
MACS = ('00:1d:4f:a1:00:01', '00:1d:4f:a1:00:02', '00:1d:4f:a1:00:03')
SKIP = 77  # ctest's SKIP_RETURN_CODE for this test


def pytest_sessionstart(session):
    if os.environ.get('VRX_SANDBOX') != '1':
        pytest.exit('runs only inside scripts/sandbox (the simulator and the broadcasts stay there)', returncode=2)
    probe = subprocess.run([str(PROVISION), 'check', os.devnull, '--secrets', os.devnull], capture_output=True,
                           text=True)
    if "unknown option '--secrets'" in probe.stderr:
        pytest.exit('skipped: %s has no --secrets yet (its report records, --detailed-exitcode, --secrets and '
                    'survey come with the provision work)' % PROVISION, returncode=SKIP)


def password(prefix):
    """A password of this run alone: finding it anywhere can only mean it leaked from this run."""
    return prefix + secrets.token_hex(5)


class Site:
    """vrx-sim playing the site with fresh passwords; the secrets the answer file's *_env names stand for."""

    def __init__(self, folder):
        scenario = json.loads((REPO / 'sim' / 'scenarios' / 'site.json').read_text())
        gate, door, kelvaro, nvr03 = (password(p) for p in ('Gate', 'Door', 'Klv', 'Old'))
        scenario['recorders'][0]['cameras'][0]['password'] = gate
        scenario['recorders'][1]['cameras'][0]['password'] = door
        scenario['recorders'][2]['admin_password'] = nvr03
        scenario['recorders'][2]['cloud']['password'] = kelvaro
        scenario['kelvaro']['accounts'][0]['password'] = kelvaro
        self.secrets = {'KELVARO_PW': kelvaro, 'NVR01_PW': password('Nvr1'), 'GATE_PW': gate,
                        'YARD_PW': password('Yard'), 'NVR02_PW': password('Nvr2'), 'DOOR_PW': door,
                        'NVR03_CURRENT_PW': nvr03, 'NVR03_PW': password('Nvr3')}
        path = folder / 'scenario.json'
        path.write_text(json.dumps(scenario))
        self.process = subprocess.Popen([str(SIM), str(path), '--state-dir', str(folder / 'sim')],
                                        stdout=subprocess.PIPE, text=True)
        ready, _, _ = select.select([self.process.stdout], [], [], 30)
        line = self.process.stdout.readline() if ready else ''
        if not line.startswith('READY'):
            self.stop()
            raise RuntimeError('vrx-sim did not start: %r' % line)
        words = dict(w.split('=', 1) for w in line.split()[1:])
        self.control_url, self.ca_file, self.kelvaro = words['control'], words['ca'], words['kelvaro']

    def control(self, path):
        opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))
        with opener.open(self.control_url + path, timeout=10) as reply:
            return json.loads(reply.read())

    def writes(self):
        return self.control('/log?writes=1')

    def recorder(self, mac):
        return next(r for r in self.control('/state')['recorders'] if r['mac'] == mac)

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


class ProcessWatch:
    """Samples every process's command line and environment (/proc) and `ps -eo args` while a run goes on."""

    def __init__(self):
        self.samples = []  # (what, text)
        self.rounds = 0
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)

    def __enter__(self):
        self._thread.start()
        return self

    def __exit__(self, *exc):
        self._stop.set()
        self._thread.join()

    def _run(self):
        while not self._stop.is_set():
            for pid in filter(str.isdigit, os.listdir('/proc')):
                for what in ('cmdline', 'environ'):
                    try:
                        with open('/proc/%s/%s' % (pid, what), 'rb') as f:
                            text = f.read().replace(b'\0', b' ').decode('utf-8', 'replace')
                    except OSError:
                        continue
                    self.samples.append((what, text))
            ps = subprocess.run(['ps', '-eo', 'args'], capture_output=True, text=True).stdout
            self.samples.append(('ps', ps))
            self.rounds += 1
            self._stop.wait(0.05)

    def holding(self, needle):
        return [what for what, text in self.samples if needle in text]

    def saw(self, program):
        return any(what == 'cmdline' and program in text for what, text in self.samples)


class Ansible:
    """ansible-playbook on the example tree (a copy), with the collection installed from its tarball, this run's
    secrets in an Ansible Vault file and the simulator's trust settings in the environment."""

    def __init__(self, folder, site):
        self.folder = folder
        self.site = site
        self.home = home = folder / 'home'
        home.mkdir()
        tarballs = folder / 'dist'
        subprocess.run(['ansible-galaxy', 'collection', 'build', str(REPO / 'ansible'), '--output-path',
                        str(tarballs)], check=True, capture_output=True, env=self.env())
        (self.tarball,) = tarballs.glob('halvik-vrx-*.tar.gz')
        subprocess.run(['ansible-galaxy', 'collection', 'install', '--offline', '-p', str(folder / 'collections'),
                        str(self.tarball)], check=True, capture_output=True, env=self.env())
        self.tree = folder / 'examples'
        shutil.copytree(REPO / 'ansible' / 'examples', self.tree)
        self.vault_password = folder / 'vault-password'
        self.vault_password.write_text(password('Vault') + '\n')
        self.vault_password.chmod(0o600)
        self.write_vault({'vault_vrx_secrets': site.secrets})

    def env(self):
        env = dict(os.environ)
        env.update(HOME=str(self.home), XDG_CONFIG_HOME=str(self.home),
                   ANSIBLE_COLLECTIONS_PATH=str(self.folder / 'collections'), ANSIBLE_NOCOLOR='1',
                   ANSIBLE_FORCE_COLOR='0', ANSIBLE_HOST_KEY_CHECKING='0', ANSIBLE_RETRY_FILES_ENABLED='0',
                   ANSIBLE_LOCALHOST_WARNING='0', ANSIBLE_STDOUT_CALLBACK='default',
                   ANSIBLE_LOCAL_TEMP=str(self.home / 'tmp'), ANSIBLE_REMOTE_TEMP=str(self.home / 'tmp'),
                   PATH=str(PROVISION.parent) + os.pathsep + os.environ.get('PATH', ''))
        env.update(VRX_EXTRA_CA_FILE=self.site.ca_file, VRX_EXTRA_CLOUD_HOSTS=self.site.kelvaro)
        return env

    def write_vault(self, data, name='vault.yml'):
        path = self.tree / 'host_vars' / 'harbour' / name
        path.write_text(json.dumps(data))
        subprocess.run(['ansible-vault', 'encrypt', '--vault-password-file', str(self.vault_password), str(path)],
                       check=True, capture_output=True, env=self.env())
        return path

    def play(self, playbook, *options):
        argv = ['ansible-playbook', '-i', str(self.tree / 'inventory.yml'), '--limit', 'harbour',
                '--vault-password-file', str(self.vault_password), str(self.tree / playbook)] + list(options)
        run = subprocess.run(argv, capture_output=True, text=True, env=self.env(), cwd=str(self.tree))
        return PlayRun(run.returncode, run.stdout + run.stderr)


class PlayRun:
    def __init__(self, code, output):
        self.code = code
        self.output = output

    @property
    def recap(self):
        """The PLAY RECAP line of the site's host."""
        lines = self.output.split('PLAY RECAP', 1)[-1].splitlines()
        return next((' '.join(l.split()) for l in lines if l.startswith('harbour')), '')

    def count(self, word):
        found = re.search(r'\b%s=(\d+)' % word, self.recap)
        return int(found.group(1)) if found else -1

    def fatal(self):
        """The result of the task that failed, as Ansible printed it."""
        found = re.search(r'^fatal: \[harbour\]: FAILED! => (\{.*\})$', self.output, re.M)
        return json.loads(found.group(1)) if found else None

    def __str__(self):
        return self.output

    __repr__ = __str__


RECAPS = []  # the PLAY RECAP lines the tests saw, written beside the build for the record


@pytest.fixture(scope='session')
def site(tmp_path_factory):
    s = Site(tmp_path_factory.mktemp('site'))
    yield s
    s.stop()


@pytest.fixture(scope='session')
def ansible(tmp_path_factory, site):
    return Ansible(tmp_path_factory.mktemp('ansible'), site)


def pytest_sessionfinish(session):
    if RECAPS:
        out = BUILD / 'tests' / 'ansible'
        out.mkdir(parents=True, exist_ok=True)
        (out / 'play-recaps.txt').write_text(''.join('%s: %s\n' % r for r in RECAPS))
        sys.stdout.write('\n' + ''.join('%s: %s\n' % r for r in RECAPS))
