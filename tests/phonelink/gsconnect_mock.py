'''GSConnect stand-in for phonelink's tests: a python-dbusmock template serving
org.gnome.Shell.Extensions.GSConnect on the session bus with an object manager on
/org/gnome/Shell/Extensions/GSConnect and one object per device below it
(.../Device/<id>, interface org.gnome.Shell.Extensions.GSConnect.Device with Id, Name,
Connected, Paired and Type) exporting its actions on org.gtk.Actions: Describe(s) ->
(bgav) and Activate(s, av, a{sv}). The only action is "shareFile", whose parameter is
(sb): the file's path or URI and whether the phone opens it.

Run: python3 -m dbusmock --session --template gsconnect_mock.py

Control interface org.morvane.GSConnectMock on /org/gnome/Shell/Extensions/GSConnect:
  AddDevice(s id, s name, b connected, b paired, b shareEnabled)
  SetShareError(s message)   Activate fails with it (empty: it succeeds)
  Shared() -> as             "<device id> <file> <open>" for every shareFile activated with
                             a parameter of type (sb), "bad parameter: ..." for any other
'''

import dbus

from dbusmock import mockobject

BUS_NAME = 'org.gnome.Shell.Extensions.GSConnect'
MAIN_OBJ = '/org/gnome/Shell/Extensions/GSConnect'
MAIN_IFACE = 'org.gnome.Shell.Extensions.GSConnect'
SYSTEM_BUS = False
IS_OBJECT_MANAGER = True

DEVICE_IFACE = 'org.gnome.Shell.Extensions.GSConnect.Device'
ACTIONS_IFACE = 'org.gtk.Actions'
CONTROL_IFACE = 'org.morvane.GSConnectMock'

state = {
    'shared': [],
    'share_error': '',
}


def load(mock, _parameters):
    mock.AddMethods(CONTROL_IFACE, [
        ('AddDevice', 'ssbbb', '', AddDevice),
        ('SetShareError', 's', '', SetShareError),
        ('Shared', '', 'as', Shared),
    ])


def AddDevice(self, device_id, name, connected, paired, share_enabled):
    path = '%s/Device/%s' % (MAIN_OBJ, device_id)
    self.AddObject(path, DEVICE_IFACE, {
        'Id': dbus.String(device_id, variant_level=1),
        'Name': dbus.String(name, variant_level=1),
        'Connected': dbus.Boolean(connected, variant_level=1),
        'Paired': dbus.Boolean(paired, variant_level=1),
        'Type': dbus.String('phone', variant_level=1),
    }, [])
    device = mockobject.objects[path]
    device.device_id = str(device_id)
    device.share_enabled = bool(share_enabled)
    device.AddMethods(ACTIONS_IFACE, [
        ('Describe', 's', '(bgav)', Describe),
        ('Activate', 'sava{sv}', '', Activate),
    ])


def Describe(self, action):
    if action != 'shareFile':
        raise dbus.exceptions.DBusException('Unknown action ' + action, name='org.freedesktop.DBus.Error.InvalidArgs')
    return dbus.Struct((dbus.Boolean(self.share_enabled), dbus.Signature('(sb)'), dbus.Array([], signature='v')),
                       signature='bgav')


def Activate(self, action, parameter, _platform_data):
    if action != 'shareFile':
        raise dbus.exceptions.DBusException('Unknown action ' + action, name='org.freedesktop.DBus.Error.InvalidArgs')
    if state['share_error']:
        raise dbus.exceptions.DBusException(state['share_error'], name='org.gtk.GDBus.UnmappedGError')
    value = parameter[0] if len(parameter) == 1 else None
    if (isinstance(value, dbus.Struct) and value.variant_level == 1 and len(value) == 2
            and isinstance(value[0], dbus.String) and isinstance(value[1], dbus.Boolean)):
        state['shared'].append('%s %s %s' % (self.device_id, value[0], 'true' if value[1] else 'false'))
    else:
        state['shared'].append('bad parameter: %r' % (parameter,))


def SetShareError(_self, message):
    state['share_error'] = str(message)


def Shared(_self):
    return dbus.Array(state['shared'], signature='s')
