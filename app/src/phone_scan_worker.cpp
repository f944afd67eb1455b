// PhoneScanWorker: one scan thread at a time, its result queued to the receiver's thread.
#include "app/src/phone_scan_worker.h"

#include <QMetaObject>

PhoneScanWorker::PhoneScanWorker(QObject* context, Receiver receiver)
    : context_(context), receiver_(std::move(receiver)) {}

PhoneScanWorker::~PhoneScanWorker() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
}

void PhoneScanWorker::Start() {
    if (running_.load()) return;
    if (thread_.joinable()) thread_.join();  // the last scan has ended; its thread is done
    running_ = true;
    thread_ = std::thread([this, places = places_] {
        const PhoneScan scan = ScanPhones(places);
        // A queued call to an object that is deleted before it runs is dropped by Qt.
        if (!stopping_.load())
            QMetaObject::invokeMethod(
                context_, [receiver = receiver_, scan] { receiver(scan); }, Qt::QueuedConnection);
        running_ = false;
    });
}
