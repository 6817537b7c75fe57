import json
import os
import tomllib

import pytest
from ansible.parsing.yaml.loader import AnsibleLoader

from ansible_collections.halvik.vrx.plugins.modules import vrx_provision
from conftest import end, lines, recorder, start, step

MAC1, MAC2 = '00:1d:4f:a1:00:01', '00:1d:4f:a1:00:02'
# Secrets a naive writer would break: quotes, backslashes, a newline, a TOML comment sign, non-ASCII.
SECRETS = {'NVR01_PW': 'Nvr"01\\pw#x', 'CAM_PW': 'line1\nline2', 'KELVARO_PW': 'k\u00e9lvaro\u2603'}

ANSWERS = {
    'version': 1,
    'defaults': {'time_zone': '(GMT+01:00) Amsterdam, Berlin, Madrid, Paris, Rome', 'shortcut': True,
                 'cloud': {'mode': 'sign_in', 'email': 'owner@kelvaro.test', 'password_env': 'KELVARO_PW'}},
    'recorder': [
        {'mac': MAC1, 'admin_password_env': 'NVR01_PW',
         'disk': [{'bay': 1, 'model': 'WDC WD10EZEX', 'size_mb': 953869, 'format': True}],
         'camera': [{'address': '127.1.1.1', 'password_env': 'CAM_PW'},
                    {'address': '127.1.1.2', 'create': True, 'new_password_file': 'secrets/cam-yard'}]},
        {'mac': MAC2, 'admin_password_env': 'NVR01_PW', 'time_zone_number': 14, 'remove_unlisted_cameras': False},
    ],
}

APPLIED = lines(start(), step(MAC1, 0, 'password', 'changed', 'blank', 'set'),
                step(MAC1, 0, 'zone', 'unchanged', '15', '15'), recorder(MAC1, 0, 'done', changed=1, unchanged=1),
                end(0, steps_changed=1, done=1))


def test_inline_answers_and_secrets_reach_the_program_without_touching_disk_argv_or_environment(runner):
    runner.answer(APPLIED)
    result = runner.run(vrx_provision, {'answers': ANSWERS, 'secrets': SECRETS, 'allow_format': True, 'jobs': 2,
                                        'recorder_timeout': 60, 'lock_timeout': 30, 'limit': [MAC1],
                                        'base_dir': '/srv/site'})
    given = runner.given()
    assert not result.get('failed'), result
    argv = given['argv']
    assert argv[0] == 'apply' and argv[2:] == ['--json', '--detailed-exitcode', '--secrets', '-', '--allow-format',
                                              '--jobs', '2', '--recorder-timeout', '60', '--lock-timeout', '30',
                                              '--limit', MAC1]
    # The answer file: owner-only, the same data, a relative *_file made absolute; gone after the run.
    assert given['answer_mode'] == 0o600
    written = tomllib.loads(given['answer_text'])
    expected = dict(ANSWERS)
    expected['recorder'] = [dict(r) for r in ANSWERS['recorder']]
    expected['recorder'][0]['camera'] = [ANSWERS['recorder'][0]['camera'][0],
                                         dict(ANSWERS['recorder'][0]['camera'][1],
                                              new_password_file='/srv/site/secrets/cam-yard')]
    assert written == expected
    assert not os.path.exists(argv[1])
    # The secrets: exactly the given values on standard input, nowhere else, and masked in the result.
    assert tomllib.loads(given['stdin']) == SECRETS
    for value in SECRETS.values():
        assert value not in given['answer_text']
        assert all(value not in a for a in argv)
        assert all(value not in v for v in given['environ'].values())
    assert 'NVR01_PW' not in given['environ']
    assert all(value not in json.dumps(result) for value in SECRETS.values())
    assert set(result['invocation']['module_args']['secrets'].values()) == {'VALUE_SPECIFIED_IN_NO_LOG_PARAMETER'}


def yaml(text):
    return AnsibleLoader(text).get_single_data()


# Each refusal comes before the program runs.
@pytest.mark.parametrize('args, words', [
    ({'answers': {'recorder': [{'mac': MAC1, 'admin_password': 'Inline1pw'}]}},
     'answers.recorder[0].admin_password: a secret is refused inline; give admin_password_env'),
    ({'answers': {'defaults': {'cloud': {'password': 'x'}}}}, 'answers.defaults.cloud.password: a secret is refused'),
    # What YAML does to an unquoted MAC of digits alone: a base-60 number.
    ({'answers': yaml('recorder:\n  - mac: 10:20:30:40:50:59\n')},
     'answers.recorder[0].mac is int (8041827059), not text: YAML reads an unquoted MAC'),
    ({'src': '/srv/site.toml', 'limit': yaml('[10:20:30:40:50:59]')}, 'limit[0] is int'),
    ({'src': '/srv/site.toml', 'secrets': yaml('NVR01_PW: 007\n')}, 'secrets.NVR01_PW is int, not text: quote it'),
    ({'src': '/srv/site.toml', 'secrets': {'NVR-01': 'x'}}, "secrets: 'NVR-01' is no *_env name"),
    ({'answers': yaml('recorder:\n  - mac: "00:1d:4f:a1:00:01"\n    admin_password_env:\n')},
     'answers.recorder[0].admin_password_env has no value'),
    ({'src': '/srv/site.toml', 'answers': {'version': 1}}, 'mutually exclusive'),
])
def test_refused_before_running(runner, args, words):
    result = runner.run(vrx_provision, args)
    assert result['failed'] and words in result['msg'], result['msg']
    assert runner.given() is None


# What the report and the exit code make of the task.
REFUSED = lines(start(), step(MAC1, 0, 'password', 'changed', 'blank', 'set'), recorder(MAC1, 0, 'done', 1),
                step(MAC2, 1, 'password', 'refused', detail='the current password is not the recorder\'s'),
                recorder(MAC2, 1, 'refused', detail='set up before; its current password is not the recorder\'s'),
                end(5, steps_changed=1, done=1, refused=1))
FAILED = lines(start(), step(MAC1, 0, 'search', 'failed', detail='no recorder with this MAC answered'),
               recorder(MAC1, 0, 'failed'), end(1, failed=1))
UNCHANGED = lines(start(), step(MAC1, 0, 'password', 'unchanged', 'set', 'set'), recorder(MAC1, 0, 'done'),
                  end(0, done=1))
PLANNED = lines(start('plan'), step(MAC1, 0, 'zone', 'would-change', '14', '15'),
                step(MAC1, 0, 'password', 'unchanged', 'set', 'set'), recorder(MAC1, 0, 'planned', would_change=1),
                end(4, steps_would_change=1, planned=1))


@pytest.mark.parametrize('check, stdout, rc, stderr, changed, failure', [
    (False, APPLIED, 0, '', True, None),
    (False, UNCHANGED, 0, '', False, None),
    (True, PLANNED, 4, '', True, None),
    (True, UNCHANGED.replace('"done"', '"planned"'), 0, '', False, None),
    (False, REFUSED, 5, '', True,
     "00:1d:4f:a1:00:02 refused: set up before; its current password is not the recorder's"),
    (False, FAILED, 1, '', False, '00:1d:4f:a1:00:01 failed: search: no recorder with this MAC answered'),
    (False, '', 2, 'site.toml:3:1: recorder.mac: not a MAC\n', False,
     'refused the command line or the answer file: site.toml:3:1: recorder.mac: not a MAC'),
    (False, '', 3, 'this computer has no IPv4 address\n', False, 'could not run: this computer has no IPv4'),
    (False, '{"file": "site.toml", "line": 3, "column": 1, "key": "recorder.mac", "message": "not a MAC"}\n', 2, '',
     False, 'answer file: {"file": "site.toml", "line": 3'),
    (False, APPLIED.rsplit('{"type": "end"', 1)[0], 143, '', True, 'stopped by SIGTERM'),
    (False, APPLIED.rsplit('{"type": "end"', 1)[0], 0, '', True, 'left its report unfinished'),
    (True, APPLIED, 0, '', False, None),  # check mode counts only what would change
], ids=[
    'applied', 'unchanged', 'planned', 'plan-nothing', 'refused', 'failed', 'bad-file', 'cannot-run',
    'bad-file-as-records', 'sigterm', 'unfinished', 'check-counts-would-change-only'])
def test_report_and_exit_code_decide_changed_and_failed(runner, check, stdout, rc, stderr, changed, failure):
    runner.answer(stdout, rc, stderr)
    result = runner.run(vrx_provision, {'src': '/srv/site.toml'}, check=check)
    assert runner.given()['argv'][:2] == ['plan' if check else 'apply', '/srv/site.toml']
    assert result['changed'] is changed
    if failure:
        assert result.get('failed') and failure in result['msg'], result['msg']
    else:
        # said outright: Ansible fails a task whose result has a non-zero rc and no "failed"
        assert result['failed'] is False, result['msg']
        assert result['summary']['exit_code'] == rc


def test_result_holds_each_recorders_steps_and_the_summary(runner):
    runner.answer(REFUSED, 5)
    result = runner.run(vrx_provision, {'src': '/srv/site.toml'})
    assert [(r['recorder'], r['result'], [s['step'] for s in r['steps']]) for r in result['recorders']] == [
        (MAC1, 'done', ['password']), (MAC2, 'refused', ['password'])]
    assert result['recorders'][0]['steps'][0] == {'index': 0, 'step': 'password', 'status': 'changed',
                                                  'reason': '', 'before': 'blank', 'after': 'set', 'detail': ''}
    assert result['summary']['results']['refused'] == 1 and result['summary']['steps_changed'] == 1
    assert result['start']['mode'] == 'apply'
    assert result['failures'] == [
        "00:1d:4f:a1:00:02 refused: set up before; its current password is not the recorder's"]


def test_diff_shows_the_changing_steps_before_and_after(runner):
    runner.answer(PLANNED + lines(step(MAC2, 1, 'cloud', 'would-change', None, 'owner@kelvaro.test')), 4)
    result = runner.run(vrx_provision, {'src': '/srv/site.toml'}, check=True, diff=True)
    assert result['diff'] == [
        {'before_header': 'recorder ' + MAC1, 'after_header': 'recorder ' + MAC1,
         'before': 'zone: 14\n', 'after': 'zone: 15\n'},
        {'before_header': 'recorder ' + MAC2, 'after_header': 'recorder ' + MAC2,
         'before': 'cloud: (none)\n', 'after': 'cloud: owner@kelvaro.test\n'}]
