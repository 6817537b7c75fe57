import json

import pytest

from ansible_collections.halvik.vrx.plugins.modules import vrx_survey

FOUND = [
    {'type': 'recorder', 'mac': '00:1d:4f:a1:00:01', 'address': '127.0.11.1', 'web_port': 80, 'new': True,
     'disks': [{'bay': 1, 'plugged': True, 'model': 'WDC WD10EZEX', 'size_mb': 953869, 'formatted': False}],
     'cameras': [], 'zone': {'name': '(GMT+01:00) Amsterdam, Berlin, Madrid, Paris, Rome', 'number': 14},
     'cloud': {'offered': True, 'registered': False, 'email': ''}},
    {'type': 'recorder', 'mac': '00:1d:4f:a1:00:03', 'address': '127.0.11.3', 'web_port': 80, 'new': False,
     'disks': None, 'cameras': None, 'zone': None, 'cloud': None, 'note': 'set up: disks, cameras, zone and '
                                                                      'cloud need its password'},
]


@pytest.mark.parametrize('check', [False, True])
def test_survey_lists_the_recorders_and_never_changes(runner, check):
    runner.answer(''.join(json.dumps(r) + '\n' for r in FOUND))
    result = runner.run(vrx_survey, {'zones': True, 'limit': ['00:1d:4f:a1:00:01', '00:1d:4f:a1:00:03']},
                        check=check)
    assert runner.given()['argv'] == ['survey', '--json', '--zones', '--limit',
                                      '00:1d:4f:a1:00:01,00:1d:4f:a1:00:03']
    assert result['changed'] is False and not result.get('failed')
    assert result['recorders'] == [dict((k, v) for k, v in r.items() if k != 'type') for r in FOUND]


@pytest.mark.parametrize('stdout, rc, stderr, words', [
    ('', 3, 'this computer has no IPv4 address\n', 'could not run: this computer has no IPv4 address'),
    ('{"type": "recorder", "mac": \n', 0, '', 'printed a line that is no JSON'),
])
def test_survey_fails_with_the_programs_words(runner, stdout, rc, stderr, words):
    runner.answer(stdout, rc, stderr)
    result = runner.run(vrx_survey, {})
    assert result['failed'] and words in result['msg'] and result['changed'] is False
