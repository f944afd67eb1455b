// The scan of all ways: USB first, then the two services on one session-bus connection.
#include "phonelink/phones.h"
#include "phonelink/src/gs_connect.h"
#include "phonelink/src/kde_connect.h"
#include "phonelink/src/session_bus.h"
#include "phonelink/src/usb_discovery.h"

namespace {

void Merge(WayScan&& way, PhoneScan& scan) {
    for (Phone& phone : way.phones) scan.phones.push_back(std::move(phone));
    scan.ways.push_back(std::move(way.state));
}

}  // namespace

PhoneScan ScanPhones(const ScanPlaces& places) {
    PhoneScan scan;
    Merge(ScanUsb(places.gvfsRoot.empty() ? DefaultGvfsRoot() : places.gvfsRoot,
                  places.mountTable.empty() ? std::string("/proc/self/mounts") : places.mountTable),
          scan);
    if (places.sessionBus) {
        SessionBus bus;
        Merge(ScanKdeConnect(bus), scan);
        Merge(ScanGsConnect(bus), scan);
    }
    return scan;
}
