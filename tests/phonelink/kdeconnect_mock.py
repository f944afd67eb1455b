'''KDE Connect stand-in for phonelink's tests: a python-dbusmock template serving
org.kde.kdeconnect on the session bus with the daemon's devices(bb) on /modules/kdeconnect,
one object per device (/modules/kdeconnect/devices/<id>, interface org.kde.kdeconnect.device
with name, isReachable and isTrusted or isPaired) and, for devices that take files, the share
plug-in's object (<device>/share, org.kde.kdeconnect.device.share) with shareUrl(s) or
shareUrls(as).

Run: python3 -m dbusmock --session --template kdeconnect_mock.py

Control interface org.morvane.KdeConnectMock on /modules/kdeconnect:
  AddDevice(s id, s name, b reachable, b paired, s pairedProperty, s shareMethod)
      pairedProperty: "isTrusted" or "isPaired"; shareMethod: "shareUrl", "shareUrls" or
      "none" (no share plug-in object)
  SetShareError(s message)   the share methods fail with it (empty: they succeed)
  SetListDelay(u ms)         devices() answers only after that long
  Shared() -> as             "<device id> <method> <url>" for every file shared, in order
'''

import time

import dbus

from dbusmock import mockobject

BUS_NAME = 'org.kde.kdeconnect'
MAIN_OBJ = '/modules/kdeconnect'
MAIN_IFACE = 'org.kde.kdeconnect.daemon'
SYSTEM_BUS = False
IS_OBJECT_MANAGER = False

DEVICE_IFACE = 'org.kde.kdeconnect.device'
SHARE_IFACE = 'org.kde.kdeconnect.device.share'
CONTROL_IFACE = 'org.morvane.KdeConnectMock'

state = {
    'devices': {},
    'shared': [],
    'share_error': '',
    'list_delay_ms': 0,
}


def load(mock, _parameters):
    mock.AddMethods(MAIN_IFACE, [('devices', 'bb', 'as', Devices)])
    mock.AddMethods(CONTROL_IFACE, [
        ('AddDevice', 'ssbbss', '', AddDevice),
        ('SetShareError', 's', '', SetShareError),
        ('SetListDelay', 'u', '', SetListDelay),
        ('Shared', '', 'as', Shared),
    ])


def Devices(_self, only_reachable, only_paired):
    if state['list_delay_ms']:
        time.sleep(state['list_delay_ms'] / 1000.0)
    return dbus.Array([device_id for device_id, device in state['devices'].items()
                       if (device['reachable'] or not only_reachable) and (device['paired'] or not only_paired)],
                      signature='s')


def AddDevice(self, device_id, name, reachable, paired, paired_property, share_method):
    path = '%s/devices/%s' % (MAIN_OBJ, device_id)
    state['devices'][str(device_id)] = {'reachable': bool(reachable), 'paired': bool(paired)}
    self.AddObject(path, DEVICE_IFACE, {
        'name': dbus.String(name, variant_level=1),
        'type': dbus.String('smartphone', variant_level=1),
        'isReachable': dbus.Boolean(reachable, variant_level=1),
        str(paired_property): dbus.Boolean(paired, variant_level=1),
    }, [])
    if share_method == 'none':
        return
    self.AddObject(path + '/share', SHARE_IFACE, {}, [])
    share = mockobject.objects[path + '/share']
    share.device_id = str(device_id)
    if share_method == 'shareUrl':
        share.AddMethods(SHARE_IFACE, [('shareUrl', 's', '', ShareUrl)])
    else:
        share.AddMethods(SHARE_IFACE, [('shareUrls', 'as', '', ShareUrls)])
    share.AddMethods(SHARE_IFACE, [('shareText', 's', '', '')])


def Share(share, method, urls):
    if state['share_error']:
        raise dbus.exceptions.DBusException(state['share_error'], name='org.kde.kdeconnect.Error')
    for url in urls:
        state['shared'].append('%s %s %s' % (share.device_id, method, url))


def ShareUrl(self, url):
    Share(self, 'shareUrl', [url])


def ShareUrls(self, urls):
    Share(self, 'shareUrls', urls)


def SetShareError(_self, message):
    state['share_error'] = str(message)


def SetListDelay(_self, milliseconds):
    state['list_delay_ms'] = int(milliseconds)


def Shared(_self):
    return dbus.Array(state['shared'], signature='s')
