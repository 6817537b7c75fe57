# The collection's example playbooks against the simulated site, in the order an installer runs them: survey,
# check mode, apply, apply again; then the failures a playbook must end on, and where secrets must not show.
# The tests build on each other's state of the site and run in this file's order.
import json
import subprocess

from conftest import MACS, PROVISION, RECAPS, REPO, ProcessWatch, password

UNKNOWN_MAC = '00:1d:4f:a1:00:09'
DEFAULTS = {'time_zone': '(GMT+01:00) Amsterdam, Berlin, Madrid, Paris, Rome', 'shortcut': False,
            'cloud': {'mode': 'skip'}}


def test_survey_finds_the_site_and_writes_nothing(ansible, site):
    run = ansible.play('survey.yml')
    assert run.code == 0, run
    for mac in MACS:
        assert '"msg": "%s at ' % mac in run.output, run
    assert run.count('changed') == 0 and run.count('failed') == 0, run.recap
    assert site.writes() == []


def provision(ansible, site, *args):
    """vrx-provision itself on the example answer file, the secrets on its standard input."""
    env = ansible.env()
    for name in site.secrets:
        env.pop(name, None)
    stdin = ''.join('%s = "%s"\n' % item for item in site.secrets.items())
    return subprocess.run([str(PROVISION), args[0], str(ansible.tree / 'site.toml')] + list(args[1:]) +
                          ['--secrets', '-'], input=stdin, capture_output=True, text=True, env=env)


def test_check_mode_reports_changes_and_writes_nothing(ansible, site):
    run = ansible.play('site.yml', '--check', '--diff')
    RECAPS.append(('check', run.recap))
    assert run.code == 0, run
    assert run.count('changed') == 1 and run.count('failed') == 0, run.recap
    # The diff: each recorder whose plan gives a changing step a value before or after.
    plan = [json.loads(line) for line in provision(ansible, site, 'plan', '--json').stdout.splitlines()]
    valued = {r['recorder'] for r in plan if r['type'] == 'step' and r['status'] == 'would-change'
              and (r['before'] is not None or r['after'] is not None)}
    for mac in MACS:
        assert ('+++ after: recorder %s' % mac in run.output) == (mac in valued), run
    assert site.writes() == []


def test_apply_sets_the_site_up_and_a_second_apply_changes_nothing(ansible, site):
    run = ansible.play('site.yml')
    RECAPS.append(('apply', run.recap))
    assert run.code == 0, run
    assert run.count('changed') == 1 and run.count('failed') == 0, run.recap
    secrets = site.secrets
    assert site.recorder(MACS[0])['admin_password'] == secrets['NVR01_PW']
    assert site.recorder(MACS[1])['admin_password'] == secrets['NVR02_PW']
    assert site.recorder(MACS[2])['admin_password'] == secrets['NVR03_PW']
    assert [c['password'] for c in site.recorder(MACS[0])['cameras']] == [secrets['GATE_PW'], secrets['YARD_PW']]
    writes = len(site.writes())

    again = ansible.play('site.yml')
    RECAPS.append(('apply again', again.recap))
    assert again.code == 0, again
    assert again.count('changed') == 0 and again.count('failed') == 0, again.recap
    assert len(site.writes()) == writes


def inline_play(ansible, answers):
    """tests/ansible/integration/inline.yml with the answers given as data and secrets from the vault."""
    extra = ansible.folder / 'answers.json'
    extra.write_text(json.dumps({'inline_answers': answers}))
    playbook = ansible.tree / 'inline.yml'
    playbook.write_text((REPO / 'tests' / 'ansible' / 'integration' / 'inline.yml').read_text())
    return ansible.play('inline.yml', '-e', '@' + str(extra))


def test_failures_end_the_play_with_the_recorders_words(ansible, site):
    wrong = password('Wrong')
    ansible.write_vault({'vault_other_secrets': {'WRONG_PW': wrong}}, 'other.yml')
    cases = [  # no recorder answers for an unknown MAC; a set-up recorder refuses a wrong current password
        ('unknown MAC', {'version': 1, 'defaults': DEFAULTS,
                         'recorder': [{'mac': UNKNOWN_MAC, 'admin_password_env': 'WRONG_PW'}]},
         UNKNOWN_MAC + ' failed: '),
        ('wrong password', {'version': 1, 'defaults': DEFAULTS,
                            'recorder': [{'mac': MACS[2], 'if_set_up': 'reconfigure',
                                          'current_admin_password_env': 'WRONG_PW', 'admin_password_env': 'WRONG_PW'}]},
         MACS[2] + ' refused: '),
    ]
    writes = len(site.writes())
    for case, answers, words in cases:
        run = inline_play(ansible, answers)
        RECAPS.append((case, run.recap))
        assert run.code == 2 and run.count('failed') == 1, run
        result = run.fatal()
        RECAPS.append(('  msg', result and result['msg']))
        assert result and result['msg'].startswith(words), run
        # the words are the recorder's own, as its report gave them
        (recorder,) = result['recorders']
        detail = recorder['detail'] or next(s['detail'] for s in recorder['steps']
                                            if s['status'] in ('failed', 'refused'))
        assert detail and detail in result['msg'], result
        assert wrong not in run.output
    assert site.recorder(MACS[2])['admin_password'] == site.secrets['NVR03_PW']
    assert len(site.writes()) == writes


def test_a_verbose_run_and_the_process_list_hold_no_secret(ansible, site):
    with ProcessWatch() as watch:
        run = ansible.play('site.yml', '-vvv')
    assert run.code == 0, run
    assert watch.saw('vrx-provision') and watch.saw('ansible-playbook'), watch.rounds
    assert 'VALUE_SPECIFIED_IN_NO_LOG_PARAMETER' in run.output  # -vvv shows the module's arguments, masked
    vault_password = ansible.vault_password.read_text().strip()
    for name, value in list(site.secrets.items()) + [('the vault password', vault_password)]:
        assert value not in run.output, name
        assert watch.holding(value) == [], name


def test_secrets_on_standard_input_reach_no_command_line_or_environment(ansible, site, tmp_path):
    report = tmp_path / 'report.jsonl'
    with ProcessWatch() as watch:
        run = provision(ansible, site, 'plan', '--report', str(report), '--detailed-exitcode')
    assert run.returncode == 0, run.stdout + run.stderr  # the site is set up: nothing to change
    assert watch.saw(str(PROVISION)), watch.rounds
    records = [json.loads(line) for line in report.read_text().splitlines()]
    assert [r['result'] for r in records if r['type'] == 'recorder'] == ['planned'] * 3
    for name, value in site.secrets.items():
        assert watch.holding(value) == [], name
        assert value not in run.stdout + run.stderr + report.read_text(), name
