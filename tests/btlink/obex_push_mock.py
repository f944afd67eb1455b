'''OBEX object-push stand-in for btlink's tests: a python-dbusmock template serving
org.bluez.obex on the session bus with Client1 (CreateSession, RemoveSession),
ObjectPush1.SendFile on each session and Transfer1 (Status, Transferred, Cancel) on each
transfer.

Run: python3 -m dbusmock --template obex_push_mock.py -p '{"inbox": "/some/folder"}'

A completed transfer reads the sent file at its end (as the real service streams it during
the transfer) and writes its bytes to the inbox under the sent file's name.

Control interface org.morvane.ObexPushMock on /org/bluez/obex:
  SetMode(s)  "ok" (default): the transfer completes after a few progress steps;
              "slow": the same, spread over about two seconds;
              "fail": the transfer ends with status "error";
              "refuse": CreateSession fails;
              "stall": the transfer never moves.
  OpenSessions() -> u        sessions made and not removed
  Destinations() -> as       the device address of every CreateSession, in order
  Targets() -> as            the Target option of every CreateSession
  CancelledTransfers() -> u  transfers cancelled through Transfer1.Cancel
'''

import json
import os

import dbus
from gi.repository import GLib

from dbusmock import mockobject

BUS_NAME = 'org.bluez.obex'
MAIN_OBJ = '/org/bluez/obex'
MAIN_IFACE = 'org.bluez.obex.Client1'
SYSTEM_BUS = False
IS_OBJECT_MANAGER = False

CLIENT_IFACE = 'org.bluez.obex.Client1'
SESSION_IFACE = 'org.bluez.obex.Session1'
PUSH_IFACE = 'org.bluez.obex.ObjectPush1'
TRANSFER_IFACE = 'org.bluez.obex.Transfer1'
CONTROL_IFACE = 'org.morvane.ObexPushMock'

STEPS = 4
STEP_MS = {'ok': 20, 'slow': 500}

state = {
    'inbox': '',
    'mode': 'ok',
    'sessions': set(),
    'destinations': [],
    'targets': [],
    'cancelled': 0,
    'next_session': 0,
}


def load(mock, parameters):
    if isinstance(parameters, str):
        parameters = json.loads(parameters)
    state['inbox'] = parameters.get('inbox', '')
    mock.AddMethods(CLIENT_IFACE, [
        ('CreateSession', 'sa{sv}', 'o', CreateSession),
        ('RemoveSession', 'o', '', RemoveSession),
    ])
    mock.AddMethods(CONTROL_IFACE, [
        ('SetMode', 's', '', SetMode),
        ('OpenSessions', '', 'u', OpenSessions),
        ('Destinations', '', 'as', Destinations),
        ('Targets', '', 'as', Targets),
        ('CancelledTransfers', '', 'u', CancelledTransfers),
    ])


@dbus.service.method(CONTROL_IFACE, in_signature='s', out_signature='')
def SetMode(_self, mode):
    state['mode'] = str(mode)


@dbus.service.method(CONTROL_IFACE, in_signature='', out_signature='u')
def OpenSessions(_self):
    return dbus.UInt32(len(state['sessions']))


@dbus.service.method(CONTROL_IFACE, in_signature='', out_signature='as')
def Destinations(_self):
    return dbus.Array(state['destinations'], signature='s')


@dbus.service.method(CONTROL_IFACE, in_signature='', out_signature='as')
def Targets(_self):
    return dbus.Array(state['targets'], signature='s')


@dbus.service.method(CONTROL_IFACE, in_signature='', out_signature='u')
def CancelledTransfers(_self):
    return dbus.UInt32(state['cancelled'])


@dbus.service.method(CLIENT_IFACE, in_signature='sa{sv}', out_signature='o')
def CreateSession(self, destination, args):
    state['destinations'].append(str(destination))
    state['targets'].append(str(args.get('Target', '')))
    if state['mode'] == 'refuse':
        raise dbus.exceptions.DBusException('Connection refused', name='org.bluez.obex.Error.Failed')
    if str(args.get('Target', '')).lower() != 'opp':
        raise dbus.exceptions.DBusException('Only object push here', name='org.bluez.obex.Error.InvalidArguments')
    path = '%s/client/session%d' % (MAIN_OBJ, state['next_session'])
    state['next_session'] += 1
    self.AddObject(path, SESSION_IFACE, {
        'Destination': dbus.String(destination, variant_level=1),
        'Target': dbus.String('00001105-0000-1000-8000-00805f9b34fb', variant_level=1),
    }, [])
    session = mockobject.objects[path]
    session.AddMethods(PUSH_IFACE, [('SendFile', 's', 'oa{sv}', SendFile)])
    session.transfers = 0
    state['sessions'].add(path)
    return dbus.ObjectPath(path)


@dbus.service.method(CLIENT_IFACE, in_signature='o', out_signature='')
def RemoveSession(self, path):
    path = str(path)
    if path not in state['sessions']:
        raise dbus.exceptions.DBusException('No such session', name='org.bluez.obex.Error.InvalidArguments')
    state['sessions'].discard(path)
    for child in [p for p in mockobject.objects if p.startswith(path + '/')]:
        self.RemoveObject(child)
    self.RemoveObject(path)


@dbus.service.method(PUSH_IFACE, in_signature='s', out_signature='oa{sv}')
def SendFile(self, source):
    source = str(source)
    if not os.path.isfile(source):
        raise dbus.exceptions.DBusException('No such file', name='org.bluez.obex.Error.Failed')
    path = '%s/transfer%d' % (self.path, self.transfers)
    self.transfers += 1
    props = {
        'Status': dbus.String('queued', variant_level=1),
        'Session': dbus.ObjectPath(self.path, variant_level=1),
        'Name': dbus.String(os.path.basename(source), variant_level=1),
        'Size': dbus.UInt64(os.path.getsize(source), variant_level=1),
        'Transferred': dbus.UInt64(0, variant_level=1),
        'Filename': dbus.String(source, variant_level=1),
    }
    self.AddObject(path, TRANSFER_IFACE, props, [('Cancel', '', '', Cancel)])
    transfer = mockobject.objects[path]
    transfer.ended = False
    transfer.source = source
    mode = state['mode']
    if mode in STEP_MS:
        transfer.step = 0
        GLib.timeout_add(STEP_MS[mode], Advance, transfer)
    elif mode == 'fail':
        GLib.timeout_add(20, Fail, transfer)
    return (dbus.ObjectPath(path), props)


@dbus.service.method(TRANSFER_IFACE, in_signature='', out_signature='')
def Cancel(self):
    if self.ended:
        raise dbus.exceptions.DBusException('Not in progress', name='org.bluez.obex.Error.NotInProgress')
    state['cancelled'] += 1
    Emit(self, {'Status': dbus.String('error', variant_level=1)})
    self.ended = True


def Emit(transfer, changed):
    for key, value in changed.items():
        transfer.props[TRANSFER_IFACE][key] = value
    transfer.EmitSignal(dbus.PROPERTIES_IFACE, 'PropertiesChanged', 'sa{sv}as', [TRANSFER_IFACE, changed, []])


def Advance(transfer):
    if transfer.ended or transfer.path not in mockobject.objects:
        return False
    transfer.step += 1
    size = int(transfer.props[TRANSFER_IFACE]['Size'])
    if transfer.step < STEPS:
        Emit(transfer, {
            'Status': dbus.String('active', variant_level=1),
            'Transferred': dbus.UInt64(size * transfer.step // STEPS, variant_level=1),
        })
        return True
    try:
        with open(transfer.source, 'rb') as sent:
            data = sent.read()
    except OSError:
        return Fail(transfer)
    name = os.path.basename(transfer.source)
    with open(os.path.join(state['inbox'], name), 'wb') as received:
        received.write(data)
    transfer.ended = True
    Emit(transfer, {
        'Status': dbus.String('complete', variant_level=1),
        'Transferred': dbus.UInt64(len(data), variant_level=1),
    })
    return False


def Fail(transfer):
    if not transfer.ended:
        transfer.ended = True
        Emit(transfer, {'Status': dbus.String('error', variant_level=1)})
    return False
