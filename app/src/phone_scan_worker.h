// Looks for USB, KDE Connect and GSConnect phones on a thread of its own, one scan at a time,
// and hands each result to its receiver on the receiver's thread, so the window never waits
// for a slow bus or mount.
#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <thread>

#include "phonelink/phones.h"

class PhoneScanWorker {
public:
    using Receiver = std::function<void(const PhoneScan&)>;
    // receiver runs on context's thread, and not at all once context is gone; context must
    // outlive the worker (the worker is normally its member).
    PhoneScanWorker(QObject* context, Receiver receiver);
    // Waits for a running scan; its result is dropped.
    ~PhoneScanWorker();
    PhoneScanWorker(const PhoneScanWorker&) = delete;
    PhoneScanWorker& operator=(const PhoneScanWorker&) = delete;

    void SetPlaces(const ScanPlaces& places) { places_ = places; }
    // Starts a scan unless one is running.
    void Start();

private:
    QObject* context_;
    Receiver receiver_;
    ScanPlaces places_;  // copied into each scan when it starts
    // thread_ is started and joined by the owner's thread only; running_ is cleared by the
    // scan thread as its last step.
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopping_{false};
};
