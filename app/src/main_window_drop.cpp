// CTessalyDlg, page 1: audio files dropped from a file manager. A drop onto a track's box
// fills that track; anywhere else on the window the first file fills track 1 and a second
// track 2. Only local files are taken, and only while page 1 shows.
#include "app/main_window.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>

namespace {

// The local files of a drag; empty when it carries anything else.
QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return {};
        files.push_back(url.toLocalFile());
    }
    return files;
}

// Watches the window and its text fields (which would take the file's address as text)
// for drags of files and hands drops to the window.
class FileDropFilter : public QObject {
public:
    explicit FileDropFilter(CTessalyDlg& window) : QObject(&window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDragMoveEvent*>(event);
                if (!Takes(drag->mimeData())) {
                    // A text field on another page refuses the files rather than take their
                    // addresses as text.
                    if (watched == &m_window || LocalFiles(drag->mimeData()).isEmpty()) return false;
                    drag->ignore();
                    return true;
                }
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                if (!Takes(drop->mimeData())) return false;
                const auto* widget = qobject_cast<QWidget*>(watched);
                const QPoint point = widget != nullptr ? widget->mapTo(&m_window, drop->position().toPoint())
                                                       : drop->position().toPoint();
                const QStringList files = LocalFiles(drop->mimeData());
                const int target = m_window.TrackBoxAt(point);
                drop->setDropAction(Qt::CopyAction);
                drop->accept();
                // The drag source waits for the drop to end: the files are checked (and any
                // message shown) after it.
                QTimer::singleShot(0, &m_window, [window = QPointer<CTessalyDlg>(&m_window), files, target] {
                    if (window) window->TakeDroppedFiles(files, target);
                });
                return true;
            }
            default: return false;
        }
    }

private:
    bool Takes(const QMimeData* data) const { return m_window.Page() == 0 && !LocalFiles(data).isEmpty(); }

    CTessalyDlg& m_window;
};

}  // namespace

void CTessalyDlg::SetUpFileDrops() {
    if (!m_fileDrops) {
        m_fileDrops = new FileDropFilter(*this);
        installEventFilter(m_fileDrops);
    }
    setAcceptDrops(true);
    // The controls are made anew for each run of the window.
    for (QWidget* child : findChildren<QWidget*>())
        if (child->acceptDrops()) child->installEventFilter(m_fileDrops);
}
