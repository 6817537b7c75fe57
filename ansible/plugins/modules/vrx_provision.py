#!/usr/bin/python
# -*- coding: utf-8 -*-
# Sets the recorders of one site up with vrx-provision, run on a machine on the site's LAN.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
---
module: vrx_provision
short_description: Set the VRX-410Q recorders of one site up from an answer file
version_added: "1.0.0"
description:
  - Runs C(vrx-provision apply) (in check mode C(vrx-provision plan)) on the managed host, which must sit on the
    site's LAN, since recorders are found by broadcast.
  - The answer file is a path on the managed host (I(src)) or inline data (I(answers)) that the module writes to
    a temporary file only its owner can read and removes afterwards.
  - Secrets are never written to a file, the command line or the environment. The answer file names them
    (C(admin_password_env = "NVR01_PW")) and I(secrets) gives their values, which reach vrx-provision on its
    standard input (C(--secrets -)).
  - The task reports C(changed) when a step changed something (in check mode, when a step would change
    something), and fails when a recorder failed or was refused, with the recorder's own words.
  - Quote every MAC in YAML. An unquoted C(10:20:30:40:50:59) is read by YAML as a number; the module refuses a
    MAC that is not text.
options:
  src:
    description:
      - Path of the answer file (TOML) on the managed host. Relative C(*_file) paths in it resolve against its
        folder.
      - Exactly one of I(src) and I(answers) is required.
    type: path
  answers:
    description:
      - The answer file as data, in the TOML file's shape (C(version), C(defaults), a list C(recorder) of tables
        with their C(disk) and C(camera) lists).
      - Secrets are refused inline (C(admin_password), C(password), C(new_password), C(current_admin_password));
        give their C(*_env) form and the value in I(secrets).
      - Relative C(*_file) paths resolve against I(base_dir).
    type: dict
  secrets:
    description:
      - Values of the answer file's C(*_env) names, NAME -> text. Handed to vrx-provision on standard input and
        looked up there before its environment. Keep them in Ansible Vault.
      - Quote every value: YAML turns an unquoted C(007) into the number 7, which the module refuses.
    type: dict
    default: {}
  allow_format:
    description: Lets apply format the disks the answer file lists with C(format = true).
    type: bool
    default: false
  jobs:
    description: Recorders set up at the same time (vrx-provision's default is 4).
    type: int
  recorder_timeout:
    description: Time limit of one recorder in seconds (vrx-provision's default is 900).
    type: int
  lock_timeout:
    description: Seconds to wait while another vrx-provision run on this machine holds its lock.
    type: int
  limit:
    description: Only these recorders of the answer file, by MAC (quoted).
    type: list
    elements: raw
  fail_fast:
    description: Stops the other recorders when one fails.
    type: bool
    default: false
  launcher_dir:
    description: Folder for the desktop launchers instead of the user's desktop.
    type: path
  base_dir:
    description:
      - Folder that relative C(*_file) paths of inline I(answers) resolve against; without it, the module's
        working folder.
    type: path
  executable:
    description: The vrx-provision program.
    type: path
    default: vrx-provision
notes:
  - Supports check mode (runs C(plan), which writes nothing) and diff mode (each changing step's value before
    and after).
  - Other settings reach vrx-provision through the task's C(environment) keyword; never put a secret there,
    Ansible shows the environment at -vvv and on the process list.
requirements:
  - vrx-provision with C(--secrets), C(--detailed-exitcode) and the JSON Lines report (schema 2) on the managed
    host
author:
  - Halvik
'''

EXAMPLES = r'''
- name: Set up the recorders of the site
  halvik.vrx.vrx_provision:
    src: /etc/vrx/site.toml
    allow_format: true
    secrets: "{{ vault_vrx_secrets }}"   # {NVR01_PW: ..., KELVARO_PW: ...} from an Ansible Vault file

- name: One recorder, the answers inline
  halvik.vrx.vrx_provision:
    answers:
      version: 1
      defaults:
        time_zone: "(GMT+01:00) Amsterdam, Berlin, Madrid, Paris, Rome"
        shortcut: true
      recorder:
        - mac: "00:1d:4f:a1:00:01"      # quoted: YAML reads some unquoted MACs as numbers
          admin_password_env: NVR01_PW
          disk:
            - {bay: 1, model: "WDC WD10EZEX", size_mb: 953869, format: true}
    allow_format: true
    limit: ["00:1d:4f:a1:00:01"]
    secrets:
      NVR01_PW: "{{ vault_nvr01_pw }}"
  register: site

- name: What a plan would change, without writing anything
  halvik.vrx.vrx_provision:
    src: /etc/vrx/site.toml
    secrets: "{{ vault_vrx_secrets }}"
  check_mode: true
  diff: true
'''

RETURN = r'''
recorders:
  description: Each recorder of the run, in the report's order, with its result record and its steps.
  returned: when vrx-provision ran
  type: list
  elements: dict
  sample:
    - recorder: "00:1d:4f:a1:00:01"
      index: 0
      result: done
      changed: 6
      would_change: 0
      unchanged: 2
      seconds: 7.4
      reason: ""
      detail: ""
      steps:
        - {index: 0, step: password, status: changed, reason: "", before: blank, after: set, detail: ""}
summary:
  description: The report's end record (results per verdict, steps changed and would change, exit code).
  returned: when vrx-provision finished its report
  type: dict
  sample: {results: {done: 3, planned: 0, refused: 0, failed: 0, interrupted: 0, skipped: 0},
           steps_changed: 18, steps_would_change: 0, exit_code: 0, signal: null, formats_running: [],
           ended: "2026-12-11T13:00:00Z"}
start:
  description: The report's start record (mode, answer file and its SHA-256, program version).
  returned: when vrx-provision ran
  type: dict
failures:
  description: Each failed, refused or interrupted recorder in its own words, "MAC result - detail".
  returned: always
  type: list
  elements: str
rc:
  description: vrx-provision's exit code (with --detailed-exitcode).
  returned: when vrx-provision ran
  type: int
cmd:
  description: The command line run (it holds no secret).
  returned: when vrx-provision ran
  type: list
  elements: str
stderr:
  description: What vrx-provision wrote to standard error.
  returned: when vrx-provision ran
  type: str
'''

import os
import tempfile

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.halvik.vrx.plugins.module_utils.vrx import (
    AnswerError, Report, check_inline_answers, check_secrets, exit_words, mac_text, program,
    secrets_document, toml_document)

ARGUMENT_SPEC = dict(
    src=dict(type='path'),
    answers=dict(type='dict'),
    secrets=dict(type='dict', default={}, no_log=True),
    allow_format=dict(type='bool', default=False),
    jobs=dict(type='int'),
    recorder_timeout=dict(type='int'),
    lock_timeout=dict(type='int'),
    limit=dict(type='list', elements='raw'),
    fail_fast=dict(type='bool', default=False),
    launcher_dir=dict(type='path'),
    base_dir=dict(type='path'),
    executable=dict(type='path', default='vrx-provision'),
)

# Exit codes with --detailed-exitcode that end a run whose recorders all did what they could.
GOOD_EXIT = {'plan': (0, 4), 'apply': (0,)}


def command_line(module, mode, answer_file):
    p = module.params
    argv = [program(module), mode, answer_file, '--json', '--detailed-exitcode', '--secrets', '-']
    if p['allow_format']:
        argv.append('--allow-format')
    if p['fail_fast']:
        argv.append('--fail-fast')
    for option, name in (('--jobs', 'jobs'), ('--recorder-timeout', 'recorder_timeout'),
                         ('--lock-timeout', 'lock_timeout'), ('--launcher-dir', 'launcher_dir')):
        if p[name] is not None:
            argv += [option, str(p[name])]
    if p['limit']:
        argv += ['--limit', ','.join(mac_text(mac, 'limit[%d]' % i) for i, mac in enumerate(p['limit']))]
    return argv


def write_inline_answers(module):
    """The inline answers as an answer file only its owner can read, in the module's private folder."""
    base_dir = module.params['base_dir'] or os.getcwd()
    text = toml_document(check_inline_answers(module.params['answers'], base_dir))
    fd, path = tempfile.mkstemp(prefix='vrx-answers-', suffix='.toml', dir=module.tmpdir)
    with os.fdopen(fd, 'w') as f:  # mkstemp creates it with mode 0600
        f.write(text)
    module.add_cleanup_file(path)
    return path


def run_module():
    module = AnsibleModule(argument_spec=ARGUMENT_SPEC, mutually_exclusive=[('src', 'answers')],
                           required_one_of=[('src', 'answers')], supports_check_mode=True)
    mode = 'plan' if module.check_mode else 'apply'
    result = dict(changed=False, failures=[])
    try:
        check_secrets(module.params['secrets'])
        answer_file = module.params['src'] or write_inline_answers(module)
        argv = command_line(module, mode, answer_file)
    except AnswerError as e:
        module.fail_json(msg=str(e), **result)

    rc, stdout, stderr = module.run_command(argv, data=secrets_document(module.params['secrets']),
                                            binary_data=True)
    report = Report(stdout)
    result.update(rc=rc, cmd=argv, stderr=stderr, start=report.start, summary=report.summary(),
                  recorders=report.recorders, failures=report.failures())
    result['changed'] = bool(report.steps('would-change' if module.check_mode else 'changed'))
    if module._diff:
        result['diff'] = report.diff(('would-change',) if module.check_mode else ('changed',))

    if result['failures']:
        module.fail_json(msg='; '.join(result['failures']), **result)
    if rc not in GOOD_EXIT[mode]:
        # Errors the program printed as records of their own (a bad answer file) stand in for an empty stderr.
        module.fail_json(msg=exit_words(rc, stderr.strip() or '\n'.join(report.unreadable)), **result)
    if not report.finished:
        module.fail_json(msg='vrx-provision left its report unfinished (no end record)', **result)
    # failed=False said outright: Ansible takes a result with a non-zero rc (4: changes pending) for a failure.
    module.exit_json(msg=summary_words(report, mode), failed=False, **result)


def summary_words(report, mode):
    results = (report.end or {}).get('results') or {}
    counted = ', '.join('%d %s' % (n, verdict) for verdict, n in sorted(results.items()) if n)
    steps = report.end.get('steps_would_change' if mode == 'plan' else 'steps_changed', 0)
    return '%d recorders%s; %d steps %s' % (len(report.recorders), ' (' + counted + ')' if counted else '', steps,
                                            'would change' if mode == 'plan' else 'changed')


def main():
    run_module()


if __name__ == '__main__':
    main()
