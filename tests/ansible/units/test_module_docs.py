# ansible-doc and the playbook's checks rely on each module's DOCUMENTATION matching what the module takes.
import pytest
import yaml

from ansible_collections.halvik.vrx.plugins.modules import vrx_provision, vrx_survey


@pytest.mark.parametrize('module', [vrx_provision, vrx_survey], ids=lambda m: m.__name__.rsplit('.', 1)[-1])
def test_documentation_matches_the_argument_spec(module):
    doc = yaml.safe_load(module.DOCUMENTATION)
    assert doc['module'] == module.__name__.rsplit('.', 1)[-1]
    assert yaml.safe_load(module.EXAMPLES) and yaml.safe_load(module.RETURN)
    documented = {name: (o['type'], o.get('elements'), o.get('default'))
                  for name, o in doc['options'].items()}
    taken = {name: (o['type'], o.get('elements'), o.get('default'))
             for name, o in module.ARGUMENT_SPEC.items()}
    assert documented == taken
