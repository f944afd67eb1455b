// libbtlink.so: Bluetooth device search and object push (sending one file to a phone) on
// BlueZ over D-Bus: org.bluez Adapter1/Device1 on the system bus for the search,
// org.bluez.obex Client1/ObjectPush1/Transfer1 on the session bus for sending.
//
// Both operations run on btlink's own threads and call their callbacks there. A device
// address is the 48-bit Bluetooth address: its low 32 bits and its high 16 bits
// (AA:BB:CC:DD:EE:FF is low 0xCCDDEEFF, high 0xAABB). Texts are UTF-8.
//
// btlink needs the application object (QCoreApplication) to exist while it works; without
// one a search finishes at once and an upload fails at once.
#pragma once

#include <cstdint>

#pragma GCC visibility push(default)

// Whether this computer can search for devices: the Bluetooth service (org.bluez on the
// system bus) runs and has an adapter that is switched on.
enum BtState : int {
    kBtReady = 0,
    kBtNoService = 1,   // no system bus, or no org.bluez on it
    kBtNoAdapter = 2,   // the service knows no adapter
    kBtAdapterOff = 3,  // no adapter is powered
};

class IBtSearchCb {
public:
    // Once per device; name may be empty when the device does not tell one.
    virtual void OnDeviceFound(const char* name, uint32_t addressLow, uint32_t addressHigh) = 0;
    // Exactly once per StartSearch; stopped is set when StopSearch (or a new search) ended it.
    virtual void OnSearchFinished(bool stopped) = 0;
    // A BtState: exactly once per CheckBluetooth (kBtReady also when it was stopped), and
    // for a StartSearch that could not search, before its OnSearchFinished(false).
    virtual void OnBluetoothChecked(int state) { (void)state; }

protected:
    ~IBtSearchCb() = default;
};

class IBtUploadCb {
public:
    // Exactly one of these two ends every StartUpload.
    virtual void OnUploadFinished(bool cancelled) = 0;
    virtual void OnUploadError() = 0;
    // Reads the next bytes of the file to send into buffer (at most count). Returning true
    // with *bytesRead == 0 marks the end of the file; false is a read error.
    virtual bool ReadData(void* buffer, uint32_t count, uint32_t* bytesRead) = 0;

protected:
    ~IBtUploadCb() = default;
};

class IBtSearch {
public:
    // Searches for devices near the first adapter; the search ends by itself after the
    // search time. A search still running is stopped first. A null callback does nothing.
    virtual void StartSearch(IBtSearchCb* callback) = 0;
    // Ends the running search and returns once its OnSearchFinished has returned (called
    // from a search callback it only asks the search to end). Without a search: nothing.
    virtual void StopSearch() = 0;
    // How long a search lasts (10 s unless changed).
    virtual void SetSearchTime(uint32_t milliseconds) = 0;
    // Looks whether a search could run, without searching, and tells the callback's
    // OnBluetoothChecked. Runs in turn with the searches: StopSearch ends it too, and a
    // StartSearch stops it first. A null callback does nothing.
    virtual void CheckBluetooth(IBtSearchCb* callback) = 0;

protected:
    ~IBtSearch() = default;
};

class IBtUpload {
public:
    // Sends the bytes read through the callback's ReadData to the device under fileName
    // (a plain file name: empty, ".", ".." and names with '/' fail). While an upload runs a
    // second one fails at once. A null callback does nothing.
    virtual void StartUpload(uint32_t addressLow, uint32_t addressHigh, const char* fileName,
                             IBtUploadCb* callback) = 0;
    // Asks the running upload to stop; it ends with OnUploadFinished(true). Any thread, any
    // number of times.
    virtual void CancelUpload() = 0;
    // A transfer whose progress stands still this long fails (120 s unless changed).
    virtual void SetStallTimeout(uint32_t milliseconds) = 0;

protected:
    ~IBtUpload() = default;
};

// The process-wide search and upload objects.
extern "C" IBtSearch* GetBtSearchSingleton();
extern "C" IBtUpload* GetBtUploadSingleton();

#pragma GCC visibility pop
