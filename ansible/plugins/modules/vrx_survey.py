#!/usr/bin/python
# -*- coding: utf-8 -*-
# What the recorders of one site are like, as vrx-provision's survey finds them; it changes nothing.
from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
---
module: vrx_survey
short_description: Find the VRX-410Q recorders of one site and what they hold
version_added: "1.0.0"
description:
  - Runs C(vrx-provision survey --json) on the managed host, which must sit on the site's LAN, and returns each
    recorder it finds, with its MAC, address, whether it is new, its disks, the cameras it sees, its time zone and its
    cloud registration.
  - Read-only: the task never reports a change and runs the same in check mode.
  - What a recorder shows only behind its password is null, and its C(note) says so.
options:
  limit:
    description: Only these recorders, by MAC (quoted; YAML reads some unquoted MACs as numbers).
    type: list
    elements: raw
  zones:
    description: Also list the time zones each recorder offers.
    type: bool
    default: false
  executable:
    description: The vrx-provision program.
    type: path
    default: vrx-provision
requirements:
  - vrx-provision with the C(survey) command on the managed host
author:
  - Halvik
'''

EXAMPLES = r'''
- name: What is on the site's LAN
  halvik.vrx.vrx_survey:
  register: survey

- name: New recorders that still have an unformatted disk
  ansible.builtin.debug:
    msg: "{{ item.mac }} at {{ item.address }}"
  loop: "{{ survey.recorders | selectattr('new') | list }}"

- name: Two recorders, with their time zones
  halvik.vrx.vrx_survey:
    limit: ["00:1d:4f:a1:00:01", "00:1d:4f:a1:00:02"]
    zones: true
'''

RETURN = r'''
recorders:
  description: Each recorder found, as the survey's JSON record (without its "type").
  returned: success
  type: list
  elements: dict
  sample:
    - mac: "00:1d:4f:a1:00:01"
      address: 127.0.11.1
      web_port: 80
      new: true
      disks: [{bay: 1, plugged: true, model: "WDC WD10EZEX", size_mb: 953869, formatted: false}]
      cameras: [{id: "001D4FB10101", address: 127.1.1.1, model: HVC-2230, assigned: false}]
      zone: {name: "(GMT+01:00) Amsterdam, Berlin, Madrid, Paris, Rome", number: 14}
      cloud: {offered: true, registered: false, email: ""}
rc:
  description: vrx-provision's exit code.
  returned: always
  type: int
cmd:
  description: The command line run.
  returned: always
  type: list
  elements: str
stderr:
  description: What vrx-provision wrote to standard error.
  returned: always
  type: str
'''

import json

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.halvik.vrx.plugins.module_utils.vrx import AnswerError, exit_words, mac_text, program

ARGUMENT_SPEC = dict(
    limit=dict(type='list', elements='raw'),
    zones=dict(type='bool', default=False),
    executable=dict(type='path', default='vrx-provision'),
)


def survey_records(stdout):
    recorders = []
    for line in stdout.splitlines():
        if not line.strip():
            continue
        record = json.loads(line)
        if isinstance(record, dict) and record.get('type') == 'recorder':
            recorders.append(dict((k, v) for k, v in record.items() if k != 'type'))
    return recorders


def run_module():
    module = AnsibleModule(argument_spec=ARGUMENT_SPEC, supports_check_mode=True)
    argv = [program(module), 'survey', '--json']
    if module.params['zones']:
        argv.append('--zones')
    try:
        if module.params['limit']:
            argv += ['--limit', ','.join(mac_text(m, 'limit[%d]' % i) for i, m in enumerate(module.params['limit']))]
    except AnswerError as e:
        module.fail_json(msg=str(e), changed=False)

    rc, stdout, stderr = module.run_command(argv)
    result = dict(changed=False, rc=rc, cmd=argv, stderr=stderr)
    if rc != 0:
        module.fail_json(msg=exit_words(rc, stderr), **result)
    try:
        result['recorders'] = survey_records(stdout)
    except ValueError as e:
        module.fail_json(msg='vrx-provision survey printed a line that is no JSON: %s' % e, **result)
    module.exit_json(**result)


def main():
    run_module()


if __name__ == '__main__':
    main()
