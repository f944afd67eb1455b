// phonelink: the phones reachable over USB, KDE Connect and GSConnect, and sending a
// ringtone to one of them.
#pragma once

#include "phonelink/phones.h"
#include "phonelink/send.h"
